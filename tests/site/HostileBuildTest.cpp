// Builds an adversary would try: links where the pages go, pipes, devices
// and folders given as pictures or templates, folder names that climb out
// of the site, the site at the root. Every build ends by itself, changes
// nothing outside the site and no picture, and a refusal writes nothing.
#include "site/BuildSite.h"
#include "site/GalleryPages.h"
#include "site/SiteError.h"
#include "tests/site/SiteTree.h"
#include "tests/support/JpegFixtures.h"

#include <gtest/gtest.h>

#include <jpeglib.h>
// After jpeglib.h, whose types it uses.
#include <jerror.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <map>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pixelnook;
using fixtures::ReadFile;
using fixtures::ReadText;
using fixtures::WriteFile;
using fixtures::WriteText;
namespace fs = std::filesystem;

namespace {

// A build that has not ended by then is taken for a hang.
constexpr int kWatchdogSeconds = 60;

// Runs `work` in a child process and returns what it returned, or says that
// it did not end in time (the child is then killed).
std::string InChild(const std::function<std::string()> &work)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return "(no pipe)";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::string result;
        try {
            result = work();
        } catch (const std::exception &e) {
            result = std::string("unexpected error: ") + e.what();
        }
        ssize_t ignored = ::write(fds[1], result.data(), result.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string result;
    bool ended = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kWatchdogSeconds);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fds[0], POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            break;
        char buffer[4096];
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n <= 0) {
            ended = true;
            break;
        }
        result.append(buffer, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    if (!ended)
        ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!ended)
        return "(no end within " + std::to_string(kWatchdogSeconds) + " s)";
    return result;
}

class HostileBuild : public ::testing::Test {
public:
    HostileBuild()
    {
        photos = root.path() / "photos";
        site = root.path() / "site";
        outside = root.path() / "outside";
        fs::create_directories(photos);
        fs::create_directories(site);
        fs::create_directories(outside);
        for (const char *name : {"a.jpg", "b.jpg"}) {
            fixtures::JpegSpec spec{96, 64};
            spec.Seed = static_cast<uint32_t>(name[0]);
            WriteFile(photos / name, fixtures::MakeJpeg(spec));
            pictures.push_back({name, photos.string() + "/"});
        }
        WriteText(site / "notes.txt", "mine");
        WriteText(outside / "keep.txt", "not the site's");
        templatePath = (root.path() / "gallery.html").string();
        WriteText(templatePath, "<h1>%title%</h1>\n%image%\n%nextprev%\n");
        settings.SiteFolder = site.string();
        choice.TemplateSelected = "true";
        choice.TemplatePath = templatePath;
    }

    // "built", the check's message, or the error's text, from a child
    // process: a build that waits for ever fails the test, not the suite.
    std::string Build()
    {
        return InChild([this] {
            NullObserver observer;
            try {
                const BuildResult result = BuildSite(settings, pictures, choice, observer);
                return result.Built ? std::string("built") : result.CheckMessage;
            } catch (const SiteError &e) {
                return std::string(e.what());
            }
        });
    }

    void UseCustomTemplate(const std::string &path)
    {
        choice.UseCustomTemplate = true;
        choice.CustomTemplatePath = path;
    }

    fixtures::TempDir root;
    fs::path photos, site, outside;
    std::string templatePath;
    SiteSettings settings;
    PictureList pictures;
    TemplateChoice choice;
};

struct HostileBuildCase {
    const char *Name;
    // Arranges the case and gives the outcome expected, "@site", "@photos"
    // and "@root" standing for the folders.
    std::function<std::string(HostileBuild &)> Arrange;
    // Refused before anything is written: the site folder stays as it was.
    bool Refused;
    // What else must hold afterwards (may be empty).
    std::function<void(HostileBuild &)> Check;
};

void PrintTo(const HostileBuildCase &c, std::ostream *os)
{
    *os << c.Name;
}

std::string Expand(std::string text, const std::string &name, const std::string &value)
{
    for (size_t at = text.find(name); at != std::string::npos;
         at = text.find(name, at + value.size()))
        text.replace(at, name.size(), value);
    return text;
}

class HostileBuildCases : public HostileBuild,
                          public ::testing::WithParamInterface<HostileBuildCase> {};

TEST_P(HostileBuildCases, EndsLosingNothing)
{
    const HostileBuildCase &c = GetParam();
    std::string expected = c.Arrange(*this);
    expected = Expand(Expand(Expand(expected, "@site", site.string()), "@photos", photos.string()),
                      "@root", root.path().string());
    const auto photosBefore = Snapshot(photos);
    const auto outsideBefore = Snapshot(outside);
    const auto siteBefore = Snapshot(site);
    const std::string templateBefore = Snapshot(root.path())["gallery.html"];

    EXPECT_EQ(Build(), expected);

    EXPECT_EQ(Snapshot(photos), photosBefore);
    EXPECT_EQ(Snapshot(outside), outsideBefore);
    EXPECT_EQ(Snapshot(root.path())["gallery.html"], templateBefore);
    if (c.Refused) {
        EXPECT_EQ(Snapshot(site), siteBefore) << "a refused build wrote into the site";
    }
    if (c.Check)
        c.Check(*this);
}

// The page at `path` is a page of this build: a file of its own, no link.
void IsAPageOfItsOwn(const fs::path &path, const std::string &begins)
{
    EXPECT_FALSE(fs::is_symlink(path)) << path;
    ASSERT_TRUE(fs::is_regular_file(path)) << path;
    EXPECT_EQ(fs::hard_link_count(path), 1u) << path;
    EXPECT_EQ(ReadText(path).substr(0, begins.size()), begins) << path;
}

const std::string kRefusedName = ": it may not start with \"/\" or hold \"..\"";

INSTANTIATE_TEST_SUITE_P(
    Attacks, HostileBuildCases,
    ::testing::Values(
        // ---- a page is written as a new file at its name, never through a link
        HostileBuildCase{"SymlinkToAPictureAtAGalleryPage",
                         [](HostileBuild &t) {
                             fs::create_symlink(t.photos / "a.jpg", t.site / "index1.html");
                             return std::string("built");
                         },
                         false,
                         [](HostileBuild &t) { IsAPageOfItsOwn(t.site / "index1.html", "<h1>"); }},
        HostileBuildCase{"HardLinkToAPictureAtAGalleryPage",
                         [](HostileBuild &t) {
                             fs::create_hard_link(t.photos / "b.jpg", t.site / "index2.html");
                             return std::string("built");
                         },
                         false,
                         [](HostileBuild &t) { IsAPageOfItsOwn(t.site / "index2.html", "<h1>"); }},
        HostileBuildCase{"SymlinkToAPictureAtAnImagePage",
                         [](HostileBuild &t) {
                             t.settings.MakeImagePages = true;
                             fs::create_directories(t.site / "imagepages");
                             fs::create_symlink(t.photos / "b.jpg",
                                                t.site / "imagepages" / "imagepage2.html");
                             return std::string("built");
                         },
                         false,
                         [](HostileBuild &t) {
                             IsAPageOfItsOwn(t.site / "imagepages" / "imagepage2.html", "<html>");
                         }},
        HostileBuildCase{"HardLinkToAPictureAtAnImagePage",
                         [](HostileBuild &t) {
                             t.settings.MakeImagePages = true;
                             fs::create_directories(t.site / "imagepages");
                             fs::create_hard_link(t.photos / "a.jpg",
                                                  t.site / "imagepages" / "imagepage1.html");
                             return std::string("built");
                         },
                         false,
                         [](HostileBuild &t) {
                             IsAPageOfItsOwn(t.site / "imagepages" / "imagepage1.html", "<html>");
                         }},
        HostileBuildCase{"SymlinkOutOfTheSiteAtAGalleryPage",
                         [](HostileBuild &t) {
                             fs::create_symlink(t.outside / "keep.txt", t.site / "index1.html");
                             return std::string("built");
                         },
                         false,
                         [](HostileBuild &t) { IsAPageOfItsOwn(t.site / "index1.html", "<h1>"); }},
        HostileBuildCase{"DanglingSymlinkAtAGalleryPage",
                         [](HostileBuild &t) {
                             fs::create_symlink(t.outside / "new.html", t.site / "index1.html");
                             return std::string("built");
                         },
                         false,
                         [](HostileBuild &t) {
                             IsAPageOfItsOwn(t.site / "index1.html", "<h1>");
                             EXPECT_FALSE(fs::exists(t.outside / "new.html"));
                         }},
        // A link to the template where a page goes is replaced as well.
        HostileBuildCase{"SymlinkToTheTemplateAtAGalleryPage",
                         [](HostileBuild &t) {
                             fs::create_symlink(t.templatePath, t.site / "index2.html");
                             return std::string("built");
                         },
                         false,
                         [](HostileBuild &t) { IsAPageOfItsOwn(t.site / "index2.html", "<h1>"); }},
        // ---- a chosen picture that is a page's own name
        HostileBuildCase{"PictureThatIsAGalleryPage",
                         [](HostileBuild &t) {
                             fs::copy_file(t.photos / "a.jpg", t.site / "index1.html");
                             t.pictures[0] = {"index1.html", t.site.string() + "/"};
                             return std::string(
                                 "The page \"@site/index1.html\" would be written over the picture "
                                 "\"@site/index1.html\"");
                         },
                         true, nullptr},
        HostileBuildCase{
            "PictureThatIsAnImagePage",
            [](HostileBuild &t) {
                t.settings.MakeImagePages = true;
                fs::create_directories(t.site / "imagepages");
                fs::copy_file(t.photos / "b.jpg", t.site / "imagepages" / "imagepage2.html");
                t.pictures[1] = {"imagepage2.html", (t.site / "imagepages").string() + "/"};
                return std::string(
                    "The page \"@site/imagepages/imagepage2.html\" would be written over "
                    "the picture \"@site/imagepages/imagepage2.html\"");
            },
            true, nullptr},
        // ---- no pipe, device or folder is read as a picture or template
        HostileBuildCase{"PipeAsAPicture",
                         [](HostileBuild &t) {
                             ::mkfifo((t.photos / "p.jpg").c_str(), 0600);
                             t.pictures.push_back({"p.jpg", t.photos.string() + "/"});
                             return std::string(
                                 "Cannot open file \"@photos/p.jpg\". Not a regular file");
                         },
                         true, nullptr},
        HostileBuildCase{
            "FolderAsAPicture",
            [](HostileBuild &t) {
                fs::create_directory(t.photos / "d.jpg");
                t.pictures.insert(t.pictures.begin(), {"d.jpg", t.photos.string() + "/"});
                return std::string("Cannot open file \"@photos/d.jpg\". Not a regular file");
            },
            true, nullptr},
        HostileBuildCase{"DeviceAsAPicture",
                         [](HostileBuild &t) {
                             t.pictures.push_back({"zero", "/dev/"});
                             return std::string(
                                 "Cannot open file \"/dev/zero\". Not a regular file");
                         },
                         true, nullptr},
        HostileBuildCase{"PipeAsTheTemplate",
                         [](HostileBuild &t) {
                             ::mkfifo((t.root.path() / "pipe.html").c_str(), 0600);
                             t.UseCustomTemplate((t.root.path() / "pipe.html").string());
                             return std::string(
                                 "Cannot open file \"@root/pipe.html\". Not a regular file");
                         },
                         true, nullptr},
        HostileBuildCase{"DeviceAsTheTemplate",
                         [](HostileBuild &t) {
                             t.UseCustomTemplate("/dev/zero");
                             return std::string(
                                 "Cannot open file \"/dev/zero\". Not a regular file");
                         },
                         true, nullptr},
        HostileBuildCase{"TemplateOverTheLimit",
                         [](HostileBuild &t) {
                             const fs::path big = t.root.path() / "big.html";
                             WriteText(big, "%image%");
                             fs::resize_file(big, kMaxTemplateBytes + 1);
                             t.UseCustomTemplate(big.string());
                             return std::string(
                                 "The template \"@root/big.html\" is larger than 16 MiB");
                         },
                         true, nullptr},
        // ---- folder names and the prefix stay inside the site
        HostileBuildCase{"ImagesFolderUp",
                         [](HostileBuild &t) {
                             t.settings.ImagesFolderName = "..";
                             return "The images folder name \"..\" leads outside the site folder" +
                                    kRefusedName;
                         },
                         true, nullptr},
        HostileBuildCase{
            "ImagesFolderClimbingOut",
            [](HostileBuild &t) {
                t.settings.ImagesFolderName = "a/../../outside";
                return "The images folder name \"a/../../outside\" leads outside the site folder" +
                       kRefusedName;
            },
            true, nullptr},
        HostileBuildCase{
            "ImagesFolderAbsolute",
            [](HostileBuild &t) {
                t.settings.ImagesFolderName = t.outside.string();
                return "The images folder name \"@root/outside\" leads outside the site folder" +
                       kRefusedName;
            },
            true, nullptr},
        HostileBuildCase{
            "ThumbnailsFolderUp",
            [](HostileBuild &t) {
                t.settings.ThumbnailsFolderName = "../outside";
                return "The thumbnails folder name \"../outside\" leads outside the site folder" +
                       kRefusedName;
            },
            true, nullptr},
        HostileBuildCase{
            "ImagePagesFolderUp",
            [](HostileBuild &t) {
                t.settings.MakeImagePages = true;
                t.settings.ImagePagesFolderName = "x/..";
                return "The image pages folder name \"x/..\" leads outside the site folder" +
                       kRefusedName;
            },
            true, nullptr},
        // Without image pages their folder name is never used.
        HostileBuildCase{"ImagePagesFolderUpWithoutImagePages",
                         [](HostileBuild &t) {
                             t.settings.ImagePagesFolderName = "..";
                             return std::string("built");
                         },
                         false, nullptr},
        HostileBuildCase{
            "PrefixClimbingOut",
            [](HostileBuild &t) {
                t.settings.ThumbnailPrefix = "../../";
                return "The thumbnail prefix \"../../\" leads outside the thumbnails folder" +
                       kRefusedName;
            },
            true, nullptr},
        HostileBuildCase{
            "PrefixAbsolute",
            [](HostileBuild &t) {
                t.settings.ThumbnailPrefix = "/tmp/";
                return "The thumbnail prefix \"/tmp/\" leads outside the thumbnails folder" +
                       kRefusedName;
            },
            true, nullptr},
        // Dots that are part of a name climb nowhere.
        HostileBuildCase{"DotsWithinNames",
                         [](HostileBuild &t) {
                             t.settings.ImagesFolderName = "..images";
                             t.settings.ThumbnailsFolderName = "thumbs../.x";
                             t.settings.ThumbnailPrefix = "tn..";
                             return std::string("built");
                         },
                         false,
                         [](HostileBuild &t) {
                             EXPECT_TRUE(fs::is_regular_file(t.site / "..images" / "a.jpg"));
                             EXPECT_TRUE(
                                 fs::is_regular_file(t.site / "thumbs.." / ".x" / "tn..b.jpg"));
                         }},
        // ---- the site is never the file system's root
        HostileBuildCase{
            "SiteFolderAtTheRoot",
            [](HostileBuild &t) {
                t.settings.SiteFolder = "/";
                return std::string(
                    "The site folder \"/\" is the root of the file system: the site would be "
                    "written at \"/\"");
            },
            true, nullptr},
        HostileBuildCase{
            "SiteFolderLeadingToTheRoot",
            [](HostileBuild &t) {
                std::string up = t.site.string();
                for (int i = 0; i < 40; ++i)
                    up += "/..";
                t.settings.SiteFolder = up;
                return "The site folder \"" + up +
                       "\" is the root of the file system: the site would be written at \"/\"";
            },
            true, nullptr}),
    [](const ::testing::TestParamInfo<HostileBuildCase> &info) { return info.param.Name; });

// A picture's failure carries the picture's full path beside the text the
// error report shows, which stays as it always was.
struct PictureFailureCase {
    const char *Name;
    std::function<std::vector<unsigned char>()> Picture;
    std::string Message;
};

void PrintTo(const PictureFailureCase &c, std::ostream *os)
{
    *os << c.Name;
}

class PictureFailureTest : public HostileBuild,
                           public ::testing::WithParamInterface<PictureFailureCase> {};

TEST_P(PictureFailureTest, NamesThePicture)
{
    const PictureFailureCase &c = GetParam();
    WriteFile(photos / "b.jpg", c.Picture());
    for (const unsigned workers : {1u, 2u}) {
        SCOPED_TRACE(std::to_string(workers) + " workers");
        const std::string outcome = InChild([&] {
            NullObserver observer;
            BuildOptions options;
            options.ThumbnailWorkers = workers;
            try {
                BuildSite(settings, pictures, choice, observer, options);
                return std::string("built");
            } catch (const PictureError &e) {
                return e.Path() + "|" + e.what();
            } catch (const SiteError &e) {
                return std::string("no picture named: ") + e.what();
            }
        });
        EXPECT_EQ(outcome, (photos / "b.jpg").string() + "|" + c.Message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, PictureFailureTest,
    ::testing::Values(
        PictureFailureCase{"NotAJpeg",
                           [] { return std::vector<unsigned char>{'G', 'I', 'F', '8', '9', 'a'}; },
                           "JPEG error #53"},
        PictureFailureCase{"EmptyFile", [] { return std::vector<unsigned char>(); },
                           "Invalid floating point operation"},
        PictureFailureCase{"TooSmallForTheSize",
                           [] {
                               return fixtures::MakeJpeg({120, 42});
                           },
                           "Floating point division by zero"},
        PictureFailureCase{"DamagedHeader",
                           [] {
                               std::vector<unsigned char> bytes = fixtures::MakeJpeg({64, 48});
                               bytes.resize(20);
                               return bytes;
                           },
                           "JPEG error #" + std::to_string(JERR_NO_IMAGE)}),
    [](const ::testing::TestParamInfo<PictureFailureCase> &info) { return info.param.Name; });

// The size text is the setting's fault, not the picture's: no path.
TEST_F(HostileBuild, SizeTextErrorNamesNoPicture)
{
    settings.ThumbnailSize = "85 ";
    const std::string outcome = InChild([&] {
        NullObserver observer;
        try {
            BuildSite(settings, pictures, choice, observer);
            return std::string("built");
        } catch (const PictureError &e) {
            return "picture " + e.Path();
        } catch (const SiteError &e) {
            return std::string(e.what());
        }
    });
    EXPECT_EQ(outcome, "'85 ' is not a valid integer value");
}

} // namespace
