// pixelnook-build: builds a site from the command line with the same engine
// and the same answers as the wizard, printing what the wizard would show.
#include "BuildSite.h"
#include "SiteError.h"
#include "SiteSettings.h"
#include "TemplateCatalogue.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

using namespace pixelnook;

namespace {

const char *const kUsage =
    "Usage: pixelnook-build [options] PICTURE...\n"
    "Builds a picture gallery site from JPEG pictures, in the order given.\n"
    "\n"
    "Options. A value is taken exactly as given, blanks included; an empty\n"
    "folder name or site detail takes its default (in brackets), as the\n"
    "wizard's pages do.\n"
    "  --site-folder DIR          the site's main folder [~/mysite]; may not be\n"
    "                             empty\n"
    "  --images-folder NAME       sub-folder for the picture copies [images]\n"
    "  --thumbnails-folder NAME   sub-folder for the thumbnails [thumbnails]\n"
    "  --image-pages              make one page per picture\n"
    "  --image-pages-folder NAME  sub-folder for the image pages [imagepages]\n"
    "  --site-name TEXT           the site's name [My Picture Site]\n"
    "  --description TEXT         the site's description, line feeds made CR LF\n"
    "                             [My pictures of me and my family at the beach\n"
    "                             side - christmas last year.]\n"
    "  --keywords TEXT            the site's keywords\n"
    "                             [photos, family pics, holiday, christmas]\n"
    "  --prefix TEXT              thumbnail file name prefix [tn]\n"
    "  --size TEXT                thumbnail size in pixels [85]\n"
    "  --template N               use built-in template N (1 to 6)\n"
    "  --custom-template PATH     use the template file PATH\n"
    "  --workers N                threads making thumbnails [0: one per core]\n"
    "  --web-ready                copies ready for the web: upright, at most\n"
    "                             --web-size pixels on the longest side, sRGB,\n"
    "                             location and other private metadata removed\n"
    "  --web-size N               longest side of the web-ready copies [2048]\n"
    "  --strip-location           copies with only the private metadata removed\n"
    "                             (location, serial numbers, owner, maker notes,\n"
    "                             Exif thumbnail); the image data stays as it is\n"
    "  --update                   keep an earlier update of the site in step:\n"
    "                             unchanged pictures are not made again, pages\n"
    "                             are rewritten only where they change, and\n"
    "                             files of the last update no longer needed are\n"
    "                             removed (a record of what was written is kept\n"
    "                             in the site folder as .pixelnook-build-record)\n"
    "  --                         every later argument is a picture\n"
    "  -h, --help                 show this text\n"
    "  --version                  show the program's version\n"
    "\n"
    "Each stage is printed as TEXT|PERCENT, then the completed page's lines.\n"
    "Exit status: 0 built, 1 the build stopped on an error, 2 the answers were\n"
    "refused (no picture, no template, an empty --site-folder, an unknown\n"
    "option or a bad value).\n";

// The longest side --web-size accepts: from a small preview to the largest
// picture JPEG can hold.
constexpr unsigned long kMinWebSize = 16;
constexpr unsigned long kMaxWebSize = 65500;

// After "You must select atlest 1 image", for someone who ran the tool bare.
const char *const kUsageHint = "Usage: pixelnook-build [options] PICTURE... (pixelnook-build --help for more)";

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

int UsageError(const std::string &message)
{
    std::cerr << "pixelnook-build: " << message << "\n\n" << kUsage;
    return 2;
}

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
    SiteSettings settings;
    PictureList pictures;
    TemplateChoice choice;
    ResetToStartSite(settings, pictures, choice);
    BuildOptions options;
    std::vector<int> templateClicks;
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
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--version") {
            std::cout << "pixelnook-build " << PIXELNOOK_VERSION << '\n';
            return 0;
        }
        if (arg == "--image-pages") {
            settings.MakeImagePages = true;
            continue;
        }
        if (arg == "--web-ready") {
            settings.WebReady = true;
            continue;
        }
        if (arg == "--strip-location") {
            settings.StripLocation = true;
            continue;
        }
        if (arg == "--update") {
            options.Update = true;
            continue;
        }

        std::string *target = nullptr;
        if (arg == "--site-folder")
            target = &settings.SiteFolder;
        else if (arg == "--images-folder")
            target = &settings.ImagesFolderName;
        else if (arg == "--thumbnails-folder")
            target = &settings.ThumbnailsFolderName;
        else if (arg == "--image-pages-folder")
            target = &settings.ImagePagesFolderName;
        else if (arg == "--site-name")
            target = &settings.SiteName;
        else if (arg == "--keywords")
            target = &settings.SiteKeywords;
        else if (arg == "--prefix")
            target = &settings.ThumbnailPrefix;
        else if (arg == "--size")
            target = &settings.ThumbnailSize;
        else if (arg != "--description" && arg != "--template" && arg != "--custom-template" &&
                 arg != "--workers" && arg != "--web-size")
            return UsageError("unknown option '" + arg + "'");

        if (i + 1 >= argc)
            return UsageError("option '" + arg + "' needs a value");
        const std::string value = argv[++i];
        if (target) {
            *target = value;
        } else if (arg == "--description") {
            settings.SiteDescription = ToCrLf(value); // as the description box gives it
        } else if (arg == "--custom-template") {
            choice.UseCustomTemplate = true;
            choice.CustomTemplatePath = value;
        } else if (arg == "--template") {
            unsigned long n = 0;
            if (!ParseCount(value, kBuiltInTemplateCount, n) || n < 1)
                return UsageError("--template takes a number from 1 to 6, not '" + value + "'");
            templateClicks.push_back(static_cast<int>(n));
        } else if (arg == "--web-size") {
            unsigned long n = 0;
            if (!ParseCount(value, kMaxWebSize, n) || n < kMinWebSize)
                return UsageError("--web-size takes a number from " + std::to_string(kMinWebSize) +
                                  " to " + std::to_string(kMaxWebSize) + ", not '" + value + "'");
            settings.WebSize = static_cast<int>(n);
        } else {
            unsigned long n = 0;
            if (!ParseCount(value, 1024, n))
                return UsageError("--workers takes a number from 0 to 1024, not '" + value + "'");
            options.ThumbnailWorkers = static_cast<unsigned>(n);
        }
    }

    // An empty site folder would put the site at the file system's root.
    if (settings.SiteFolder.empty())
        return UsageError("--site-folder may not be empty: the site would be written at \"/\"");
    FillEmptyWithDefaults(settings);

    // The answers in the wizard's order: the picture list, then the template.
    for (const std::string &path : picturePaths)
        if (!AddPicture(pictures, SplitPicturePath(path)))
            std::cerr << kDuplicateNameMessage << '\n';
    if (pictures.empty()) {
        std::cerr << kNoPicturesMessage << '\n' << kUsageHint << '\n';
        return 2;
    }
    const std::string programFolder = ProgramFolder();
    for (const int n : templateClicks) {
        const std::string message = SelectBuiltInTemplate(choice, programFolder, n);
        if (!message.empty()) {
            std::cerr << message << '\n';
            return 2;
        }
    }

    PrintingObserver observer(isatty(fileno(stdout)) == 1);
    try {
        const BuildResult result = BuildSite(settings, pictures, choice, observer, options);
        if (!result.Built) {
            std::cerr << result.CheckMessage << '\n';
            return 2;
        }
        std::cout << result.SiteLine << '\n' << result.CountLine << '\n';
        if (!result.WebLine.empty())
            std::cout << result.WebLine << '\n';
        if (options.Update)
            PrintUpdate(result);
        std::cout << std::flush;
    } catch (const std::exception &error) {
        observer.EndCountLine();
        std::cout.flush();
        std::cerr << ErrorReportText(error.what()) << '\n';
        return 1;
    }
    return 0;
}
