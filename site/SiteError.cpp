#include "SiteError.h"

#include <cstring>

namespace pixelnook {

std::string ErrorReportText(const std::string &message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

std::string CannotOpenFileMessage(const std::string &path, int err)
{
    return "Cannot open file \"" + path + "\". " + std::strerror(err);
}

std::string CannotCreateFileMessage(const std::string &path, int err)
{
    return "Cannot create file \"" + path + "\". " + std::strerror(err);
}

std::string NotARegularFileMessage(const std::string &path)
{
    return "Cannot open file \"" + path + "\". Not a regular file";
}

} // namespace pixelnook
