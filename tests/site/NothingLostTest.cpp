// Nothing the user had is lost: a build never changes a source picture,
// never deletes anything in the site folder but the files it replaces,
// leaves earlier files in place when it stops, and reports a file it could
// not write in full as "Cannot create file", never as a success.
#include "site/BuildSite.h"
#include "site/FileSystem.h"
#include "site/SiteError.h"
#include "site/Thumbnail.h"
#include "tests/site/SiteTree.h"
#include "tests/support/JpegFixtures.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <map>
#include <set>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pixelnook;
using fixtures::ReadFile;
using fixtures::WriteFile;
using fixtures::WriteText;
namespace fs = std::filesystem;

namespace {

class NothingLost : public ::testing::Test {
public:
    NothingLost()
    {
        photos = root.path() / "photos";
        site = root.path() / "site";
        fs::create_directories(photos);
        for (const char *name : {"a.jpg", "b.jpg", "c.jpg"}) {
            fixtures::JpegSpec spec{96, 64};
            spec.Seed = static_cast<uint32_t>(name[0]);
            WriteFile(photos / name, fixtures::MakeJpeg(spec));
            pictures.push_back({name, photos.string() + "/"});
        }
        // What an earlier, larger run and the user left in the site folder.
        for (const char *path :
             {"notes.txt", "index1.html", "index7.html", "style/site.css", "images/a.jpg",
              "images/old.jpg", "thumbnails/tna.jpg", "thumbnails/tnc.jpg", "thumbnails/tnold.jpg",
              "imagepages/imagepage1.html", "imagepages/imagepage9.html"}) {
            fs::create_directories((site / path).parent_path());
            WriteText(site / path, std::string("earlier ") + path);
        }
        templatePath = (root.path() / "gallery.html").string();
        WriteText(templatePath, "<h1>%title%</h1>\n%image%%image%\n%nextprev%\n");
        settings.SiteFolder = site.string();
        settings.MakeImagePages = true;
        choice.TemplateSelected = "true";
        choice.TemplatePath = templatePath;
    }

    // The build's outcome: "built", the check's message, or the error.
    std::string Build()
    {
        NullObserver observer;
        try {
            const BuildResult result = BuildSite(settings, pictures, choice, observer);
            return result.Built ? "built" : result.CheckMessage;
        } catch (const SiteError &e) {
            return e.what();
        }
    }

    fixtures::TempDir root;
    fs::path photos;
    fs::path site;
    std::string templatePath;
    SiteSettings settings;
    PictureList pictures;
    TemplateChoice choice;
};

// Every output of a whole build of the three pictures.
const std::set<std::string> kAllOutputs = {"thumbnails/tna.jpg",
                                           "thumbnails/tnb.jpg",
                                           "thumbnails/tnc.jpg",
                                           "images/a.jpg",
                                           "images/b.jpg",
                                           "images/c.jpg",
                                           "imagepages/imagepage1.html",
                                           "imagepages/imagepage2.html",
                                           "imagepages/imagepage3.html",
                                           "index1.html",
                                           "index2.html"};

std::set<std::string> AllOutputsBut(const std::set<std::string> &kept)
{
    std::set<std::string> outputs;
    for (const std::string &path : kAllOutputs)
        if (!kept.count(path))
            outputs.insert(path);
    return outputs;
}

struct LostCase {
    const char *Name;
    // Arranges the case; returns the expected outcome ("built", a check
    // message or an error) with "@site" and "@photos" for the folders.
    std::function<std::string(NothingLost &)> Arrange;
    // The only files of the site folder whose content may differ after it.
    std::set<std::string> MayChange;
};

void PrintTo(const LostCase &c, std::ostream *os)
{
    *os << c.Name;
}

class NothingLostCases : public NothingLost, public ::testing::WithParamInterface<LostCase> {};

std::string Expand(std::string text, const std::string &name, const std::string &value)
{
    for (size_t at = text.find(name); at != std::string::npos;
         at = text.find(name, at + value.size()))
        text.replace(at, name.size(), value);
    return text;
}

TEST_P(NothingLostCases, OnlyReplacedFilesChangeAndNoSourceDoes)
{
    const LostCase c = GetParam();
    const std::string expected =
        Expand(Expand(c.Arrange(*this), "@site", site.string()), "@photos", photos.string());
    const Tree sitesBefore = Snapshot(site);
    const Tree photosBefore = Snapshot(photos);
    std::map<std::string, std::string> sourcesBefore;
    for (const PictureEntry &picture : pictures)
        if (fs::exists(picture.SourcePath()))
            sourcesBefore[picture.SourcePath()] = Checksum(ReadFile(picture.SourcePath()));

    EXPECT_EQ(Build(), expected);

    EXPECT_EQ(Snapshot(photos), photosBefore);
    for (const auto &[path, sum] : sourcesBefore)
        EXPECT_EQ(Checksum(ReadFile(path)), sum) << "source picture " << path << " changed";
    const Tree after = Snapshot(site);
    for (const auto &[path, what] : sitesBefore) {
        const auto found = after.find(path);
        if (found == after.end()) {
            ADD_FAILURE() << path << " was deleted";
        } else if (found->second != what && !c.MayChange.count(path)) {
            ADD_FAILURE() << path << " changed";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Builds, NothingLostCases,
    ::testing::Values(
        LostCase{"WholeBuild", [](NothingLost &) { return std::string("built"); }, kAllOutputs},
        // The picture lives in the folder its copy goes to: it is its own copy.
        LostCase{"PictureInTheImagesFolder",
                 [](NothingLost &t) {
                     fs::copy_file(t.photos / "b.jpg", t.site / "images" / "b.jpg");
                     t.pictures[1].SourceFolder = (t.site / "images").string() + "/";
                     return std::string("built");
                 },
                 AllOutputsBut({"images/b.jpg"})},
        // The images folder is the photos folder under another name.
        LostCase{"ImagesFolderLinkedToThePhotos",
                 [](NothingLost &t) {
                     fs::remove_all(t.site / "images");
                     fs::create_directory_symlink(t.photos, t.site / "images");
                     return std::string("built");
                 },
                 AllOutputsBut({"images/a.jpg", "images/b.jpg", "images/c.jpg"})},
        // The earlier copy is the picture itself, through a hard link.
        LostCase{"CopyHardLinkedToThePicture",
                 [](NothingLost &t) {
                     fs::remove(t.site / "images" / "a.jpg");
                     fs::create_hard_link(t.photos / "a.jpg", t.site / "images" / "a.jpg");
                     return std::string("built");
                 },
                 AllOutputsBut({"images/a.jpg"})},
        // A thumbnail that would be written over a chosen picture (one chosen
        // from the images folder, which is the thumbnails folder too): refused
        // before anything is written.
        LostCase{"ThumbnailOverAPicture",
                 [](NothingLost &t) {
                     t.pictures[0].SourceFolder = (t.site / "images").string() + "/";
                     t.settings.ThumbnailsFolderName = "images";
                     t.settings.ThumbnailPrefix = "";
                     return std::string(
                         "The thumbnail \"@site/images/a.jpg\" would be written over the picture "
                         "\"@site/images/a.jpg\"");
                 },
                 {}},
        // The same name reached through a linked thumbnails folder, and through
        // ".." after a folder the build has yet to make.
        LostCase{"ThumbnailOverAPictureThroughALinkedFolder",
                 [](NothingLost &t) {
                     fs::remove_all(t.site / "thumbnails");
                     fs::create_directory_symlink(t.photos, t.site / "thumbnails");
                     t.settings.ThumbnailPrefix = "";
                     return "The thumbnail \"@site/thumbnails/a.jpg\" would be written over the "
                            "picture \"@photos/a.jpg\"";
                 },
                 {}},
        // A folder name that climbs out of the site is refused before any
        // thumbnail could be written over a picture there.
        LostCase{"ThumbnailsFolderClimbingToThePictures",
                 [](NothingLost &t) {
                     t.settings.ThumbnailsFolderName = "new/../../photos";
                     t.settings.ThumbnailPrefix = "";
                     return std::string("The thumbnails folder name \"new/../../photos\" leads "
                                        "outside the site folder: "
                                        "it may not start with \"/\" or hold \"..\"");
                 },
                 {}},
        LostCase{"PictureGoneBeforeTheBuild",
                 [](NothingLost &t) {
                     fs::remove(t.photos / "b.jpg");
                     return std::string(
                         "Cannot open file \"@photos/b.jpg\". No such file or directory");
                 },
                 {"thumbnails/tna.jpg"}},
        LostCase{"PictureThatIsNoJpeg",
                 [](NothingLost &t) {
                     WriteText(t.photos / "b.jpg", "not a picture at all");
                     return std::string("JPEG error #53");
                 },
                 {"thumbnails/tna.jpg"}},
        LostCase{"PictureCutShortStillBuilds",
                 [](NothingLost &t) {
                     auto bytes = ReadFile(t.photos / "c.jpg");
                     bytes.resize(bytes.size() / 2);
                     WriteFile(t.photos / "c.jpg", bytes);
                     return std::string("built");
                 },
                 kAllOutputs},
        LostCase{"TemplateGoneAtTheGalleryStage",
                 [](NothingLost &t) {
                     fs::remove(t.templatePath);
                     return "Cannot open file \"" + t.templatePath +
                            "\". No such file or directory";
                 },
                 AllOutputsBut({"index1.html", "index2.html"})},
        // A folder where the second gallery page goes.
        LostCase{"PageThatCannotBeCreated",
                 [](NothingLost &t) {
                     fs::create_directories(t.site / "index2.html");
                     WriteText(t.site / "index2.html" / "kept.txt", "mine");
                     return std::string("Cannot create file \"@site/index2.html\". Is a directory");
                 },
                 AllOutputsBut({"index2.html"})},
        // Thumbnails folder under a file: its folder cannot be made, whoever
        // runs the build (root included).
        LostCase{"ThumbnailsFolderUnderAFile",
                 [](NothingLost &t) {
                     t.settings.ThumbnailsFolderName = "notes.txt/thumbs";
                     return std::string(
                         "Cannot create file \"@site/notes.txt/thumbs/tna.jpg\". Not a directory");
                 },
                 {}},
        LostCase{"SiteFolderUnderAFile",
                 [](NothingLost &t) {
                     t.settings.SiteFolder = (t.photos / "a.jpg" / "site").string();
                     return std::string(
                         "Cannot create file \"@photos/a.jpg/site/thumbnails/tna.jpg\". Not a "
                         "directory");
                 },
                 {}}),
    [](const ::testing::TestParamInfo<LostCase> &info) { return info.param.Name; });

struct LinkCase {
    const char *Name;
    const char *At;   // inside the site folder
    bool Symbolic;    // a symbolic link to photos/a.jpg, else a hard link
    bool StaysLinked; // the build may leave a hard link to the picture as it is
};

void PrintTo(const LinkCase &c, std::ostream *os)
{
    *os << c.Name;
}

class LinkToAPicture : public NothingLost, public ::testing::WithParamInterface<LinkCase> {};

// A link to a chosen picture at a thumbnail's or a copy's name is not the
// picture: the build replaces the link and the picture stays. A second run
// of the same build passes as the first did.
TEST_P(LinkToAPicture, IsReplacedAndTheBuildRepeats)
{
    const LinkCase &c = GetParam();
    const fs::path at = site / c.At;
    const fs::path picture = photos / "a.jpg";
    const std::string pictureSum = Checksum(ReadFile(picture));
    fs::remove(at);
    if (c.Symbolic)
        fs::create_symlink(picture, at);
    else
        fs::create_hard_link(picture, at);

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        EXPECT_EQ(Build(), "built");
        EXPECT_FALSE(fs::is_symlink(at));
        EXPECT_EQ(fs::equivalent(at, picture), c.StaysLinked);
        EXPECT_EQ(Checksum(ReadFile(picture)), pictureSum);
        EXPECT_TRUE(fs::is_regular_file(picture) && !fs::is_symlink(picture));
    }
    if (std::string(c.At).rfind("images/", 0) == 0) {
        EXPECT_EQ(Checksum(ReadFile(at)), pictureSum);
    } else {
        EXPECT_EQ(fixtures::InspectJpeg(ReadFile(at)).Height, 85); // a thumbnail, not the picture
    }
}

INSTANTIATE_TEST_SUITE_P(
    Links, LinkToAPicture,
    ::testing::Values(LinkCase{"SymlinkAtItsThumbnail", "thumbnails/tna.jpg", true, false},
                      LinkCase{"HardLinkAtItsThumbnail", "thumbnails/tna.jpg", false, false},
                      LinkCase{"SymlinkAtAnotherThumbnail", "thumbnails/tnb.jpg", true, false},
                      // An absolute link left among the copies would break once the site is
                      // moved: it becomes a real copy.
                      LinkCase{"SymlinkAtItsCopy", "images/a.jpg", true, false},
                      LinkCase{"HardLinkAtItsCopy", "images/a.jpg", false, true}),
    [](const ::testing::TestParamInfo<LinkCase> &info) { return info.param.Name; });

// A link at a thumbnail's name that leads nowhere (to a file outside the
// site that is not there, say) is replaced like any other link: the
// thumbnail is never written through it into another folder.
TEST_F(NothingLost, DanglingLinkAtAThumbnailIsReplaced)
{
    const fs::path outside = root.path() / "elsewhere" / "tna.jpg";
    fs::create_directories(outside.parent_path());
    const fs::path at = site / "thumbnails" / "tna.jpg";
    fs::remove(at);
    fs::create_symlink(outside, at);
    EXPECT_EQ(Build(), "built");
    EXPECT_FALSE(fs::exists(outside));
    EXPECT_FALSE(fs::is_symlink(at));
    EXPECT_EQ(fixtures::InspectJpeg(ReadFile(at)).Height, 85);
}

// A build stopped part-way and run again replaces only its own files, and
// the earlier partial run's files of other names stay.
TEST_F(NothingLost, RebuildAfterAStopChangesOnlyItsOutputs)
{
    fs::remove(templatePath);
    EXPECT_EQ(Build(), "Cannot open file \"" + templatePath + "\". No such file or directory");
    WriteText(templatePath, "%image%");
    const Tree before = Snapshot(site);
    EXPECT_EQ(Build(), "built");
    const Tree after = Snapshot(site);
    std::set<std::string> mayChange = kAllOutputs;
    mayChange.insert("index3.html");
    for (const auto &[path, what] : before) {
        ASSERT_TRUE(after.count(path)) << path << " was deleted";
        if (!mayChange.count(path)) {
            EXPECT_EQ(after.at(path), what) << path;
        }
    }
    EXPECT_EQ(ReadFile(site / "images" / "b.jpg"), ReadFile(photos / "b.jpg"));
}

// ------------------------------------------------------------ full disk

// Runs `work` in a child process that may write files of at most `limit`
// bytes: a write past it fails with EFBIG, as on a full disk (the signal
// that would end the process is ignored). Returns what `work` returned, or
// the text of its error.
std::string WithFileSizeLimit(rlim_t limit, const std::function<std::string()> &work)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return "(no pipe)";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit fsize{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &fsize);
        std::string result;
        try {
            result = work();
        } catch (const std::exception &e) {
            result = e.what();
        }
        ssize_t ignored = ::write(fds[1], result.data(), result.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string result;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
        result.append(buffer, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status))
        return "(the child died: status " + std::to_string(status) + ")";
    return result;
}

// A write cut short leaves an empty file, never part of the page.
TEST_F(NothingLost, ShortWriteIsTheCreateError)
{
    const std::string path = (root.path() / "page.html").string();
    const std::string text(10000, 'x');
    EXPECT_EQ(WithFileSizeLimit(4096,
                                [&] {
                                    WriteWholeFile(path, text);
                                    return std::string("written");
                                }),
              "Cannot create file \"" + path + "\". File too large");
    EXPECT_EQ(fs::file_size(path), 0u);
}

TEST_F(NothingLost, ThumbnailOnAFullDiskIsTheCreateError)
{
    const std::string source = (photos / "a.jpg").string();
    const std::string target = (root.path() / "tn.jpg").string();
    EXPECT_EQ(WithFileSizeLimit(1024,
                                [&] {
                                    MakeThumbnail(source, target, "60");
                                    return std::string("made");
                                }),
              "Cannot create file \"" + target + "\". File too large");
}

// A copy that cannot be written stops the build with the create error, as
// a thumbnail does, and leaves no copy cut short that would pass for the
// picture.
TEST_F(NothingLost, CopyOnAFullDiskStopsTheBuildAndLeavesNoCutCopy)
{
    settings.ThumbnailSize = "20";
    const rlim_t limit = 2048;
    for (const PictureEntry &picture : pictures)
        ASSERT_GT(fs::file_size(picture.SourcePath()), limit);
    EXPECT_EQ(WithFileSizeLimit(limit, [&] { return Build(); }),
              "Cannot create file \"" + site.string() + "/images/a.jpg\". File too large");
    EXPECT_FALSE(fs::exists(site / "images" / "a.jpg"));
    EXPECT_FALSE(fs::exists(site / "images" / "b.jpg"));
    EXPECT_EQ(fixtures::ReadText(site / "index1.html"), "earlier index1.html");
}

// A folder where a copy goes: the copy cannot be made, and the folder with
// what it holds stays.
TEST_F(NothingLost, FolderAtACopyStopsTheBuild)
{
    fs::remove(site / "images" / "b.jpg");
    fs::create_directory(site / "images" / "b.jpg");
    WriteText(site / "images" / "b.jpg" / "kept.txt", "mine");
    EXPECT_EQ(Build(), "Cannot create file \"" + site.string() + "/images/b.jpg\". Is a directory");
    EXPECT_EQ(fixtures::ReadText(site / "images" / "b.jpg" / "kept.txt"), "mine");
}

TEST_F(NothingLost, GalleryPageOnAFullDiskStopsTheBuild)
{
    // Every copy fits under the limit, the page does not.
    WriteText(templatePath, std::string(50000, ' ') + "%image%");
    settings.ThumbnailSize = "20";
    const rlim_t limit = 20000;
    for (const PictureEntry &picture : pictures)
        ASSERT_LT(fs::file_size(picture.SourcePath()), limit);
    EXPECT_EQ(WithFileSizeLimit(limit + 100000, [&] { return Build(); }), "built");
    EXPECT_EQ(WithFileSizeLimit(limit, [&] { return Build(); }),
              "Cannot create file \"" + site.string() + "/index1.html\". File too large");
    EXPECT_EQ(fs::file_size(site / "index1.html"), 0u) << "a page cut short";
}

// Outside root a read-only thumbnails folder stops the build the same way.
TEST_F(NothingLost, ReadOnlyThumbnailsFolderIsTheCreateError)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    fs::permissions(site / "thumbnails", fs::perms::owner_read | fs::perms::owner_exec);
    const std::string target = site.string() + "/thumbnails/tnb.jpg";
    EXPECT_EQ(Build(),
              "Cannot create file \"" + site.string() + "/thumbnails/tna.jpg\". Permission denied");
    EXPECT_EQ(fixtures::ReadText(site / "thumbnails" / "tna.jpg"), "earlier thumbnails/tna.jpg");
}

} // namespace
