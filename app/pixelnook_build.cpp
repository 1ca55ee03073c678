// pixelnook-build: builds a site from the command line with the same engine
// and the same answers as the wizard, printing what the wizard would show.
#include "BuildSite.h"
#include "SiteError.h"
#include "SiteSettings.h"
#include "TemplateCatalogue.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

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
    "  --                         every later argument is a picture\n"
    "  -h, --help                 show this text\n"
    "  --version                  show the program's version\n"
    "\n"
    "Each stage is printed as TEXT|PERCENT. Exit status: 0 built, 1 the build\n"
    "stopped on an error, 2 the answers were refused (no picture, no template,\n"
    "an empty --site-folder, an unknown option or a bad value).\n";

// After "You must select atlest 1 image", for someone who ran the tool bare.
const char *const kUsageHint = "Usage: pixelnook-build [options] PICTURE... (pixelnook-build --help for more)";

class PrintingObserver : public BuildObserver {
public:
    void Progress(const BuildProgress &progress) override
    {
        std::cout << progress.Text << '|' << progress.Percent << '\n' << std::flush;
    }
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
                 arg != "--workers")
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

    PrintingObserver observer;
    try {
        const BuildResult result = BuildSite(settings, pictures, choice, observer, options);
        if (!result.Built) {
            std::cerr << result.CheckMessage << '\n';
            return 2;
        }
        std::cout << result.SiteLine << '\n' << result.CountLine << '\n' << std::flush;
    } catch (const std::exception &error) {
        std::cout.flush();
        std::cerr << ErrorReportText(error.what()) << '\n';
        return 1;
    }
    return 0;
}
