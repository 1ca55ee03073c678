// pixelnook-build: builds a site from the command line with the same engine
// and the same answers as the wizard, printing what the wizard would show.
#include "site/BuildSite.h"
#include "site/FileSystem.h"
#include "site/SiteError.h"
#include "site/SiteSettings.h"
#include "site/TemplateCatalogue.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

using namespace pixelnook;

namespace {

// The longest side --web-size accepts: from a small preview to the largest
// picture JPEG can hold.
constexpr unsigned long kMinWebSize = 16;
constexpr unsigned long kMaxWebSize = 65500;
constexpr unsigned long kMaxWorkers = 1024;

// Everything the command line answers.
struct Answers {
    SiteSettings Settings;
    TemplateChoice Choice;
    BuildOptions Options;
    std::vector<int> TemplateClicks;
};

// One row per option. A row with a Value name takes the next argument; its
// Apply returns an error text for a value it refuses, or nothing. Default is
// what the option stands at when it is not given (empty: nothing to show),
// read from the answers the wizard's "Start Site" gives, so the help cannot
// drift from what a build really uses.
struct Option {
    const char *Name;
    const char *Value; // nullptr for a switch
    std::string Help;
    std::string Default;
    std::function<std::string(Answers &, const std::string &)> Apply;
};

// A whole decimal number with nothing else in the text.
bool ParseCount(const std::string &text, unsigned long max, unsigned long &value)
{
    if (text.empty() || text.size() > 9)
        return false;
    unsigned long v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + static_cast<unsigned long>(c - '0');
    }
    if (v > max)
        return false;
    value = v;
    return true;
}

// Sets a number in [min, max], or says what the option takes.
std::function<std::string(Answers &, const std::string &)>
CountOption(const char *name, unsigned long min, unsigned long max,
            std::function<void(Answers &, unsigned long)> set)
{
    return [=](Answers &answers, const std::string &value) {
        unsigned long n = 0;
        if (!ParseCount(value, max, n) || n < min)
            return std::string(name) + " takes a number from " + std::to_string(min) + " to " +
                   std::to_string(max) + ", not '" + value + "'";
        set(answers, n);
        return std::string();
    };
}

// Sets a text answer as given.
template <typename Member>
std::function<std::string(Answers &, const std::string &)> TextOption(Member SiteSettings::*member)
{
    return [member](Answers &answers, const std::string &value) {
        answers.Settings.*member = value;
        return std::string();
    };
}

std::function<std::string(Answers &, const std::string &)>
Switch(std::function<void(Answers &)> set)
{
    return [set](Answers &answers, const std::string &) {
        set(answers);
        return std::string();
    };
}

// The path as a person reads it in the help: the home folder as "~".
std::string HomeAsTilde(const std::string &path)
{
    const char *home = std::getenv("HOME");
    const std::string prefix = home ? home : "";
    if (!prefix.empty() && path.compare(0, prefix.size(), prefix) == 0 &&
        (path.size() == prefix.size() || path[prefix.size()] == '/'))
        return "~" + path.substr(prefix.size());
    return path;
}

std::vector<Option> Options(const Answers &start)
{
    const SiteSettings &s = start.Settings;
    return {
        {"--site-folder", "DIR", "the site's main folder (not empty, not /)",
         HomeAsTilde(s.SiteFolder), TextOption(&SiteSettings::SiteFolder)},
        {"--images-folder", "NAME", "sub-folder for the picture copies", s.ImagesFolderName,
         TextOption(&SiteSettings::ImagesFolderName)},
        {"--thumbnails-folder", "NAME", "sub-folder for the thumbnails", s.ThumbnailsFolderName,
         TextOption(&SiteSettings::ThumbnailsFolderName)},
        {"--image-pages", nullptr, "make one page per picture", "",
         Switch([](Answers &a) { a.Settings.MakeImagePages = true; })},
        {"--image-pages-folder", "NAME", "sub-folder for the image pages", s.ImagePagesFolderName,
         TextOption(&SiteSettings::ImagePagesFolderName)},
        {"--site-name", "TEXT", "the site's name", s.SiteName, TextOption(&SiteSettings::SiteName)},
        {"--description", "TEXT", "the site's description, line breaks made CR LF",
         s.SiteDescription,
         [](Answers &a, const std::string &value) {
             a.Settings.SiteDescription = ToCrLf(value); // as the description box gives it
             return std::string();
         }},
        {"--keywords", "TEXT", "the site's keywords", s.SiteKeywords,
         TextOption(&SiteSettings::SiteKeywords)},
        {"--prefix", "TEXT", "thumbnail file name prefix", s.ThumbnailPrefix,
         TextOption(&SiteSettings::ThumbnailPrefix)},
        {"--size", "TEXT", "thumbnail size in pixels", s.ThumbnailSize,
         TextOption(&SiteSettings::ThumbnailSize)},
        {"--template", "N",
         "use built-in template N (1 to " + std::to_string(kBuiltInTemplateCount) + ")", "",
         CountOption("--template", 1, kBuiltInTemplateCount,
                     [](Answers &a, unsigned long n) { a.TemplateClicks.push_back(int(n)); })},
        {"--custom-template", "PATH", "use the template file PATH", "",
         [](Answers &a, const std::string &value) {
             a.Choice.UseCustomTemplate = true;
             a.Choice.CustomTemplatePath = value;
             return std::string();
         }},
        {"--workers", "N", "threads making thumbnails (0: one per core)",
         std::to_string(start.Options.ThumbnailWorkers),
         CountOption(
             "--workers", 0, kMaxWorkers,
             [](Answers &a, unsigned long n) { a.Options.ThumbnailWorkers = unsigned(n); })},
        {"--web-ready", nullptr,
         "copies ready for the web: upright, at most --web-size pixels on the longest side, "
         "sRGB, location and other private metadata removed",
         "", Switch([](Answers &a) { a.Settings.WebReady = true; })},
        {"--web-size", "N", "longest side of the web-ready copies", std::to_string(s.WebSize),
         CountOption("--web-size", kMinWebSize, kMaxWebSize,
                     [](Answers &a, unsigned long n) { a.Settings.WebSize = int(n); })},
        {"--strip-location", nullptr,
         "copies with only the private metadata removed (location, serial numbers, owner, maker "
         "notes, Exif thumbnail); the image data stays as it is",
         "", Switch([](Answers &a) { a.Settings.StripLocation = true; })},
        {"--update", nullptr,
         "keep an earlier update of the site in step: unchanged pictures are not made again, "
         "pages are rewritten only where they change, and files of the last update no longer "
         "needed are removed (a record of what was written is kept in the site folder as "
         ".pixelnook-build-record)",
         "", Switch([](Answers &a) { a.Options.Update = true; })},
    };
}

// Appends the words of text to out, wrapped at kWidth columns; every line
// after the first starts at column `indent`, and the first goes on from
// column `column`.
void AppendWrapped(std::string &out, const std::string &text, size_t indent, size_t column)
{
    constexpr size_t kWidth = 78;
    size_t at = 0;
    bool lineHasWord = column > indent;
    while (at < text.size()) {
        size_t end = text.find(' ', at);
        if (end == std::string::npos)
            end = text.size();
        const size_t word = end - at;
        if (lineHasWord && column + 1 + word > kWidth) {
            out += '\n' + std::string(indent, ' ');
            column = indent;
            lineHasWord = false;
        }
        if (lineHasWord) {
            out += ' ';
            ++column;
        }
        out.append(text, at, word);
        column += word;
        lineHasWord = true;
        at = end + 1;
    }
    out += '\n';
}

std::string Usage(const std::vector<Option> &options)
{
    constexpr size_t kHelpColumn = 29;
    std::string out = "Usage: pixelnook-build [options] PICTURE...\n"
                      "Builds a picture gallery site from JPEG pictures, in the order given.\n"
                      "\n"
                      "Options. A value is taken exactly as given, blanks included; an empty\n"
                      "folder name or site detail takes its default (in brackets), as the\n"
                      "wizard's pages do.\n";
    const auto row = [&out](const std::string &left, const std::string &help) {
        std::string line = "  " + left;
        if (line.size() + 1 > kHelpColumn) {
            out += line + '\n';
            line.clear();
        }
        line.resize(kHelpColumn, ' ');
        out += line;
        AppendWrapped(out, help, kHelpColumn, kHelpColumn);
    };
    for (const Option &option : options) {
        std::string left = option.Name;
        if (option.Value)
            left += std::string(" ") + option.Value;
        std::string help = option.Help;
        if (!option.Default.empty())
            help += " [" + option.Default + "]";
        row(left, help);
    }
    row("--", "every later argument is a picture");
    row("-h, --help", "show this text");
    row("--version", "show the program's version");
    out += "\n";
    AppendWrapped(out,
                  "Each stage is printed as TEXT|PERCENT, then the completed page's lines. "
                  "Exit status: 0 built, 1 the build stopped on an error, 2 the answers were "
                  "refused and nothing was written (no picture, two pictures of the same name, "
                  "no template, an unusable --site-folder, a folder name or prefix that leads "
                  "out of the site, a picture or template that is not a regular file, a "
                  "template that is too large, an unknown option or a bad value).",
                  0, 0);
    return out;
}

// After "You must select atlest 1 image", for someone who ran the tool bare.
const char *const kUsageHint =
    "Usage: pixelnook-build [options] PICTURE... (pixelnook-build --help for more)";

// Prints each stage as TEXT|PERCENT. On a terminal the thumbnail stage,
// the long one, also counts its pictures on one line that rewrites itself
// (at most ten times a second); into a file or a pipe only the stages go.
class PrintingObserver : public BuildObserver {
public:
    explicit PrintingObserver(bool terminal) : terminal_(terminal) {}

    void Progress(const BuildProgress &progress) override
    {
        EndCountLine();
        std::cout << progress.Text << '|' << progress.Percent << '\n' << std::flush;
    }

    void PictureDone(size_t done, size_t total) override
    {
        if (!terminal_)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (countShown_ && done != total && now - lastCount_ < std::chrono::milliseconds(100))
            return;
        lastCount_ = now;
        countShown_ = true;
        std::cout << '\r' << done << " / " << total << " pictures" << std::flush;
    }

    // Ends the count line, so that what comes next starts a line of its own.
    void EndCountLine()
    {
        if (countShown_)
            std::cout << '\n' << std::flush;
        countShown_ = false;
    }

private:
    bool terminal_;
    bool countShown_ = false;
    std::chrono::steady_clock::time_point lastCount_;
};

int UsageError(const std::string &message, const std::vector<Option> &options)
{
    std::cerr << "pixelnook-build: " << message << "\n\n" << Usage(options);
    return 2;
}

// What an update reused, rewrote and removed, and the files it kept.
void PrintUpdate(const BuildResult &result)
{
    std::cout << result.PicturesNew << " new, ";
    if (result.PicturesChanged > 0)
        std::cout << result.PicturesChanged << " changed, ";
    std::cout << result.PicturesUnchanged << " unchanged, " << result.PicturesRemoved
              << " removed\n"
              << "Files: " << result.FilesWritten << " written, " << result.FilesUnchanged
              << " unchanged, " << result.FilesRemoved << " removed\n";
    for (const KeptFile &kept : result.KeptFiles)
        std::cout << "Kept \"" << kept.Path << "\": " << kept.Reason << '\n';
}

} // namespace

int main(int argc, char **argv)
{
    FailWritesPastTheFileSizeLimit();
    Answers answers;
    PictureList pictures;
    ResetToStartSite(answers.Settings, pictures, answers.Choice);
    const std::vector<Option> options = Options(answers);
    std::vector<std::string> picturePaths;

    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            picturePaths.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            std::cout << Usage(options);
            return 0;
        }
        if (arg == "--version") {
            std::cout << "pixelnook-build " << PIXELNOOK_VERSION << '\n';
            return 0;
        }
        const auto option = std::find_if(options.begin(), options.end(),
                                         [&arg](const Option &o) { return arg == o.Name; });
        if (option == options.end())
            return UsageError("unknown option '" + arg + "'", options);
        std::string value;
        if (option->Value) {
            if (i + 1 >= argc)
                return UsageError("option '" + arg + "' needs a value", options);
            value = argv[++i];
        }
        const std::string refused = option->Apply(answers, value);
        if (!refused.empty())
            return UsageError(refused, options);
    }
    SiteSettings &settings = answers.Settings;
    TemplateChoice &choice = answers.Choice;

    // An empty site folder would put the site at the file system's root.
    if (settings.SiteFolder.empty())
        return UsageError("--site-folder may not be empty: the site would be written at \"/\"",
                          options);
    FillEmptyWithDefaults(settings);

    // The answers in the wizard's order: the picture list, then the template.
    // The wizard's list refuses a second picture of the same name while the
    // user looks on; here it would drop a picture unseen, so it refuses the
    // build and names both.
    bool duplicates = false;
    for (const std::string &path : picturePaths) {
        const PictureEntry entry = SplitPicturePath(path);
        if (AddPicture(pictures, entry))
            continue;
        for (const PictureEntry &added : pictures)
            if (added.FileName == entry.FileName)
                std::cerr << kDuplicateNameMessage << "\npixelnook-build: \"" << entry.SourcePath()
                          << "\" has the same name as \"" << added.SourcePath() << "\"\n";
        duplicates = true;
    }
    if (duplicates)
        return 2;
    if (pictures.empty()) {
        std::cerr << kNoPicturesMessage << '\n' << kUsageHint << '\n';
        return 2;
    }
    const std::string programFolder = ProgramFolder();
    for (const int n : answers.TemplateClicks) {
        const std::string message = SelectBuiltInTemplate(choice, programFolder, n);
        if (!message.empty()) {
            std::cerr << message << '\n';
            return 2;
        }
    }

    PrintingObserver observer(isatty(fileno(stdout)) == 1);
    try {
        const BuildResult result = BuildSite(settings, pictures, choice, observer, answers.Options);
        if (!result.Built) {
            std::cerr << result.CheckMessage << '\n';
            return 2;
        }
        std::cout << result.SiteLine << '\n' << result.CountLine << '\n';
        if (!result.WebLine.empty())
            std::cout << result.WebLine << '\n';
        if (answers.Options.Update)
            PrintUpdate(result);
        std::cout << std::flush;
    } catch (const PictureError &error) {
        // As command-line tools name a file: the picture, then the text.
        observer.EndCountLine();
        std::cout.flush();
        std::cerr << "pixelnook-build: " << error.Path() << ": " << ErrorReportText(error.what())
                  << '\n';
        return 1;
    } catch (const std::exception &error) {
        observer.EndCountLine();
        std::cout.flush();
        std::cerr << ErrorReportText(error.what()) << '\n';
        return 1;
    }
    return 0;
}
