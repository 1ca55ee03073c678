#include "TemplateCatalogue.h"

#include "FileSystem.h"

#include <climits>
#include <unistd.h>
#include <vector>

namespace pixelnook {

std::string ProgramFolder()
{
    std::vector<char> buffer(PATH_MAX + 1);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            return "./";
        if (static_cast<size_t>(n) < buffer.size()) {
            const std::string exe(buffer.data(), static_cast<size_t>(n));
            return exe.substr(0, exe.rfind('/') + 1);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string BuiltInTemplatePath(const std::string &programFolder, int n)
{
    return programFolder + "templates/template" + std::to_string(n) + ".html";
}

std::string SelectBuiltInTemplate(TemplateChoice &choice, const std::string &programFolder, int n)
{
    const std::string path = BuiltInTemplatePath(programFolder, n);
    if (!FileExists(path))
        return "The file '" + path + "' could not be found. Please re-install";
    choice.TemplateSelected = "true";
    choice.TemplatePath = path;
    return std::string();
}

} // namespace pixelnook
