// The six built-in page templates beside the program, and picking one.
#pragma once

#include "SiteSettings.h"

#include <string>

namespace pixelnook {

inline constexpr int kBuiltInTemplateCount = 6;

// The folder of the running program, ending in "/".
std::string ProgramFolder();

// programFolder (ending in "/") + "templates/template" + n + ".html".
std::string BuiltInTemplatePath(const std::string &programFolder, int n);

// Picks built-in template n: when its file exists, TemplateSelected becomes
// "true" and TemplatePath its path, and the result is empty. Otherwise the
// choice is left as it was and the result is the message
// "The file '<path>' could not be found. Please re-install".
std::string SelectBuiltInTemplate(TemplateChoice &choice, const std::string &programFolder, int n);

} // namespace pixelnook
