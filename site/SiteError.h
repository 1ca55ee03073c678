// The error every build stage raises: its text is exactly what the user is
// shown in the error report.
#pragma once

#include <stdexcept>
#include <string>

namespace pixelnook {

class SiteError : public std::runtime_error {
public:
    explicit SiteError(const std::string &message) : std::runtime_error(message) {}
};

// The text of the application-wide error report: a full stop is appended
// when the message's last character comes after '.' in character-code
// order (so a text ending in '.', '"' or a blank gets none).
std::string ErrorReportText(const std::string &message);

// `Cannot open file "%s". %s` and `Cannot create file "%s". %s`, with the
// system's reason for errno.
std::string CannotOpenFileMessage(const std::string &path, int err);
std::string CannotCreateFileMessage(const std::string &path, int err);

} // namespace pixelnook
