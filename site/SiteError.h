// The error every build stage raises: its text is exactly what the user is
// shown in the error report.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace pixelnook {

class SiteError : public std::runtime_error {
public:
    explicit SiteError(const std::string &message) : std::runtime_error(message) {}
};

// The failure of one picture. The message is the text of the error report
// as for any build error; the picture's full path travels beside it, so the
// wizard and the command-line tool can each name the picture their own way.
class PictureError : public SiteError {
public:
    PictureError(std::string path, const std::string &message)
        : SiteError(message), path_(std::move(path))
    {
    }
    const std::string &Path() const { return path_; }

private:
    std::string path_;
};

// The text of the application-wide error report: a full stop is appended
// when the message's last character comes after '.' in character-code
// order (so a text ending in '.', '"' or a blank gets none).
std::string ErrorReportText(const std::string &message);

// `Cannot open file "%s". %s` and `Cannot create file "%s". %s`, with the
// system's reason for errno.
std::string CannotOpenFileMessage(const std::string &path, int err);
std::string CannotCreateFileMessage(const std::string &path, int err);
// `Cannot open file "%s". Not a regular file`: a folder, pipe, socket or
// device given where a picture or template file is read.
std::string NotARegularFileMessage(const std::string &path);

} // namespace pixelnook
