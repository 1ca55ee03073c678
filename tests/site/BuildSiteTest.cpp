// The whole build: checks, stages and their reports, the output tree, and
// what is left on disk when a stage stops.
#include "site/BuildSite.h"
#include "site/GalleryPages.h"
#include "site/SiteError.h"
#include "tests/support/JpegFixtures.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <regex>
#include <set>
#include <sys/stat.h>
#include <thread>

using namespace pixelnook;
using fixtures::ReadFile;
using fixtures::ReadText;
using fixtures::TempDir;
using fixtures::WriteFile;
using fixtures::WriteText;
namespace fs = std::filesystem;

namespace {

class RecordingObserver : public BuildObserver {
public:
    void BuildStarted() override { Events.push_back("started"); }
    void Progress(const BuildProgress &progress) override
    {
        Events.push_back(progress.Text + "|" + std::to_string(progress.Percent));
    }
    std::vector<std::string> Events;
};

class BuildSiteTest : public ::testing::Test {
protected:
    BuildSiteTest()
    {
        site = root.path() / "out" / "mysite";
        photos = root.path() / "photos";
        fs::create_directories(photos);
        settings.SiteFolder = site.string();
        templatePath = (root.path() / "gallery.html").string();
        WriteText(templatePath, "<h1>%title%</h1>\n%image%%image%\n%nextprev%\n");
        choice.TemplateSelected = "true";
        choice.TemplatePath = templatePath;
    }

    // Writes a small JPEG into the photos folder and lists it.
    std::vector<unsigned char> AddPhoto(const std::string &name, uint32_t seed = 1)
    {
        fixtures::JpegSpec spec;
        spec.Seed = seed;
        const auto bytes = fixtures::MakeJpeg(spec);
        WriteFile(photos / name, bytes);
        pictures.push_back({name, photos.string() + "/"});
        return bytes;
    }

    BuildResult Build() { return BuildSite(settings, pictures, choice, observer, options); }

    // The text of the SiteError a build stops with.
    std::string BuildError()
    {
        try {
            Build();
        } catch (const SiteError &e) {
            return e.what();
        }
        ADD_FAILURE() << "the build did not stop";
        return std::string();
    }

    TempDir root;
    fs::path site;
    fs::path photos;
    std::string templatePath;
    SiteSettings settings;
    PictureList pictures;
    TemplateChoice choice;
    RecordingObserver observer;
    BuildOptions options;
};

const std::vector<std::string> kStagesWithImagePages = {
    "started",
    "Currenty: Building folders for files|10",
    "Currently: Making thumbnails of images|35",
    "Currently: Moving images to the images folder|50",
    "Currently: Creating images pages|65",
    "Currently: Making the gallery pages|80",
    "Currently:|0",
};

const std::vector<std::string> kStagesWithoutImagePages = {
    "started",
    "Currenty: Building folders for files|10",
    "Currently: Making thumbnails of images|35",
    "Currently: Moving images to the images folder|50",
    "Currently: Making the gallery pages|80",
    "Currently:|0",
};

} // namespace

TEST_F(BuildSiteTest, OnePictureWithoutImagePages)
{
    const auto bytes = AddPhoto("beach.jpg");
    const BuildResult result = Build();
    ASSERT_TRUE(result.Built) << result.CheckMessage;
    EXPECT_EQ(observer.Events, kStagesWithoutImagePages);
    EXPECT_EQ(result.PictureCount, 1);
    EXPECT_EQ(result.PageCount, 1);
    EXPECT_EQ(result.SiteLine, "Your site - My Picture Site has been made sucessfully");
    EXPECT_EQ(result.CountLine, "It contains 1 pictures and is on 1 pages");

    EXPECT_EQ(ReadFile(site / "images" / "beach.jpg"), bytes);
    const auto info = fixtures::InspectJpeg(ReadFile(site / "thumbnails" / "tnbeach.jpg"));
    EXPECT_EQ(info.Components, 3);
    EXPECT_EQ(ReadText(site / "index1.html"),
              "<h1>My Picture Site</h1>\r\n<a href=\"images/beach.jpg\"><img "
              "src=\"thumbnails/tnbeach.jpg\" "
              "border=\"0\"></a>\r\n\r\n");
    EXPECT_FALSE(fs::exists(site / "imagepages"));
    EXPECT_FALSE(fs::exists(site / "index2.html"));
}

TEST_F(BuildSiteTest, ThreePicturesWithImagePages)
{
    settings.MakeImagePages = true;
    settings.ImagesFolderName = "big";
    settings.ThumbnailsFolderName = "small";
    settings.ImagePagesFolderName = "pages";
    settings.ThumbnailPrefix = "t-";
    settings.SiteName = "Shore";
    AddPhoto("a.jpg", 1);
    AddPhoto("b.jpg", 2);
    AddPhoto("c.jpg", 3);
    const BuildResult result = Build();
    ASSERT_TRUE(result.Built) << result.CheckMessage;
    EXPECT_EQ(observer.Events, kStagesWithImagePages);
    EXPECT_EQ(result.CountLine, "It contains 3 pictures and is on 2 pages");
    EXPECT_EQ(result.SiteLine, "Your site - Shore has been made sucessfully");
    for (const char *name : {"a.jpg", "b.jpg", "c.jpg"}) {
        EXPECT_EQ(ReadFile(site / "big" / name), ReadFile(photos / name));
        EXPECT_TRUE(fs::exists(site / "small" / (std::string("t-") + name)));
    }
    for (int k = 1; k <= 3; ++k)
        EXPECT_TRUE(fs::exists(site / "pages" / ("imagepage" + std::to_string(k) + ".html")));
    EXPECT_NE(ReadText(site / "pages" / "imagepage2.html").find("<img src=\"../big/b.jpg\">"),
              std::string::npos);
    EXPECT_EQ(ReadText(site / "index2.html"),
              "<h1>Shore</h1>\r\n<a href=\"pages/imagepage3.html\"><img src=\"small/t-c.jpg\" "
              "border=\"0\"></a>\r\n"
              "<a href=\"index1.html\">Previous</a>\r\n");
}

struct CheckCase {
    const char *name;
    bool useCustom;
    const char *custom; // "" none, "missing", "folder", "good", "noimage"
    const char *selected;
    const char *builtIn; // TemplatePath: "good", "noimage", "missing"
    bool noPictures;
    std::string message; // empty: the checks pass
};

class BuildCheckTest : public BuildSiteTest, public ::testing::WithParamInterface<CheckCase> {
protected:
    std::string TemplateFile(const std::string &kind)
    {
        if (kind.empty())
            return std::string();
        const fs::path path = root.path() / ("t-" + kind + ".html");
        if (kind == "good")
            WriteText(path, "%image%");
        else if (kind == "noimage")
            WriteText(path, "<p>%title% %Image% %images</p>");
        else if (kind == "folder")
            fs::create_directory(path);
        return path.string();
    }
};

const std::string kNoImageMark = "no-image";

TEST_P(BuildCheckTest, RefusedBuildWritesNothingAndChangesNothing)
{
    const CheckCase &c = GetParam();
    choice.UseCustomTemplate = c.useCustom;
    choice.CustomTemplatePath = TemplateFile(c.custom);
    choice.TemplateSelected = c.selected;
    choice.TemplatePath = TemplateFile(c.builtIn);
    if (!c.noPictures)
        AddPhoto("a.jpg");
    const TemplateChoice before = choice;

    std::string expected = c.message;
    if (expected == kNoImageMark)
        expected = NoImagePlaceholderMessage(root.str() + "/t-noimage.html");

    BuildResult result;
    try {
        result = Build();
    } catch (const SiteError &) {
        // Stopped in a stage: the checks had passed.
    }
    EXPECT_EQ(result.CheckMessage, expected);
    if (expected.empty()) {
        ASSERT_FALSE(observer.Events.empty());
        EXPECT_EQ(observer.Events.front(), "started");
    } else {
        EXPECT_FALSE(result.Built);
        EXPECT_TRUE(observer.Events.empty());
        EXPECT_FALSE(fs::exists(root.path() / "out"));
        EXPECT_EQ(choice.TemplatePath, before.TemplatePath);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Checks, BuildCheckTest,
    ::testing::Values(
        CheckCase{"CustomOnPathEmpty", true, "", "true", "good", false,
                  kCustomTemplateMissingMessage},
        CheckCase{"CustomOnFileMissing", true, "missing", "true", "good", false,
                  kCustomTemplateMissingMessage},
        CheckCase{"CustomOnPathIsFolder", true, "folder", "true", "good", false,
                  kCustomTemplateMissingMessage},
        CheckCase{"CustomOnGoodNothingPicked", true, "good", "false", "", false, ""},
        CheckCase{"NothingPicked", false, "", "false", "", false, kNoTemplateSelectedMessage},
        CheckCase{"FlagNotExactlyTrue", false, "", "True", "good", false,
                  kNoTemplateSelectedMessage},
        CheckCase{"BuiltInPicked", false, "", "true", "good", false, ""},
        CheckCase{"BuiltInHasNoImage", false, "", "true", "noimage", false, kNoImageMark},
        // The custom file is used even unticked, so it is the one checked.
        CheckCase{"UntickedCustomHasNoImage", false, "noimage", "true", "good", false,
                  kNoImageMark},
        CheckCase{"CustomHasNoImage", true, "noimage", "false", "", false, kNoImageMark},
        CheckCase{"NoPictures", false, "", "true", "good", true, kNoPicturesMessage},
        // Order: the template checks come first.
        CheckCase{"CustomMissingAndNoPictures", true, "missing", "true", "good", true,
                  kCustomTemplateMissingMessage},
        CheckCase{"NothingPickedAndNoPictures", false, "", "false", "", true,
                  kNoTemplateSelectedMessage},
        CheckCase{"NoImageAndNoPictures", false, "", "true", "noimage", true, kNoImageMark},
        // An unreadable template passes the checks and stops the build later.
        CheckCase{"BuiltInMissingPassesChecks", false, "", "true", "missing", false, ""}),
    [](const auto &info) { return info.param.name; });

// The check above lets a missing template through: the gallery stage stops
// with the open error, after everything before it was written.
TEST_F(BuildSiteTest, UnreadableTemplateStopsAtTheGalleryStage)
{
    settings.MakeImagePages = true;
    AddPhoto("a.jpg");
    fs::remove(templatePath);
    EXPECT_EQ(BuildError(), "Cannot open file \"" + templatePath + "\". No such file or directory");
    EXPECT_EQ(observer.Events.back(), "Currently: Making the gallery pages|80");
    EXPECT_TRUE(fs::exists(site / "thumbnails" / "tna.jpg"));
    EXPECT_TRUE(fs::exists(site / "images" / "a.jpg"));
    EXPECT_TRUE(fs::exists(site / "imagepages" / "imagepage1.html"));
    EXPECT_FALSE(fs::exists(site / "index1.html"));
}

TEST_F(BuildSiteTest, MissingPictureStopsTheThumbnailsAndEarlierOnesStay)
{
    AddPhoto("a.jpg", 1);
    AddPhoto("b.jpg", 2);
    AddPhoto("c.jpg", 3);
    fs::remove(photos / "b.jpg");
    EXPECT_EQ(BuildError(),
              "Cannot open file \"" + photos.string() + "/b.jpg\". No such file or directory");
    EXPECT_EQ(observer.Events.back(), "Currently: Making thumbnails of images|35");
    EXPECT_TRUE(fs::exists(site / "thumbnails" / "tna.jpg"));
    EXPECT_FALSE(fs::exists(site / "thumbnails" / "tnc.jpg"));
    EXPECT_TRUE(fs::is_empty(site / "images"));
}

TEST_F(BuildSiteTest, BadSizeTextStopsAtTheFirstPicture)
{
    AddPhoto("a.jpg");
    settings.ThumbnailSize = "12px";
    EXPECT_EQ(BuildError(), "'12px' is not a valid integer value");
    EXPECT_TRUE(fs::is_directory(site / "thumbnails"));
    EXPECT_FALSE(fs::exists(site / "thumbnails" / "tna.jpg"));
}

TEST_F(BuildSiteTest, ImagePagesFolderThatCannotBeMadeGivesTheCreateError)
{
    settings.MakeImagePages = true;
    AddPhoto("a.jpg");
    fs::create_directories(site);
    WriteText(site / "imagepages", "a file where the folder should be");
    EXPECT_EQ(BuildError(), "Cannot create file \"" + site.string() +
                                "/imagepages/imagepage1.html\". Not a directory");
    EXPECT_EQ(observer.Events.back(), "Currently: Creating images pages|65");
    EXPECT_TRUE(fs::exists(site / "images" / "a.jpg"));
    EXPECT_EQ(ReadText(site / "imagepages"), "a file where the folder should be");
}

TEST_F(BuildSiteTest, FoldersAreMadeWithTheirParents)
{
    settings.MakeImagePages = true;
    settings.ImagesFolderName = "pics/full";
    AddPhoto("a.jpg");
    ASSERT_TRUE(Build().Built);
    for (const char *folder : {"pics/full", "thumbnails", "imagepages"})
        EXPECT_TRUE(fs::is_directory(site / folder)) << folder;
}

TEST_F(BuildSiteTest, CustomTemplatePathOutlastsTheBuildAndIsUsedUnticked)
{
    const std::string custom = (root.path() / "mine.html").string();
    WriteText(custom, "MINE %image%");
    choice.CustomTemplatePath = custom;
    choice.UseCustomTemplate = false; // ticked, chosen, then unticked; a built-in one picked
    AddPhoto("a.jpg");
    ASSERT_TRUE(Build().Built);
    EXPECT_EQ(ReadText(site / "index1.html").substr(0, 5), "MINE ");
    EXPECT_EQ(choice.TemplatePath, custom);
    EXPECT_EQ(choice.CustomTemplatePath, custom);
}

TEST_F(BuildSiteTest, TemplatePathIsKeptWhenNoCustomFileWasChosen)
{
    AddPhoto("a.jpg");
    ASSERT_TRUE(Build().Built);
    EXPECT_EQ(choice.TemplatePath, templatePath);
}

TEST_F(BuildSiteTest, PictureChosenFromTheImagesFolderSurvives)
{
    // One picture lives in the very folder its copy goes to; the others are
    // copied beside it. No source picture changes.
    fs::create_directories(site / "images");
    fixtures::JpegSpec spec;
    spec.Seed = 7;
    const auto inPlace = fixtures::MakeJpeg(spec);
    WriteFile(site / "images" / "here.jpg", inPlace);
    const auto a = AddPhoto("a.jpg", 1);
    pictures.push_back({"here.jpg", (site / "images").string() + "/"});
    const auto b = AddPhoto("b.jpg", 2);

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        ASSERT_TRUE(Build().Built);
        EXPECT_EQ(ReadFile(site / "images" / "here.jpg"), inPlace);
        EXPECT_EQ(ReadFile(site / "images" / "a.jpg"), a);
        EXPECT_EQ(ReadFile(site / "images" / "b.jpg"), b);
        EXPECT_EQ(ReadFile(photos / "a.jpg"), a);
        EXPECT_EQ(ReadFile(photos / "b.jpg"), b);
        EXPECT_TRUE(fs::exists(site / "thumbnails" / "tnhere.jpg"));
    }
}

TEST_F(BuildSiteTest, CopyOverAnOlderCopyReplacesIt)
{
    const auto a = AddPhoto("a.jpg");
    fs::create_directories(site / "images");
    WriteText(site / "images" / "a.jpg", "an older, longer copy of something else entirely");
    ASSERT_TRUE(Build().Built);
    EXPECT_EQ(ReadFile(site / "images" / "a.jpg"), a);
}

TEST_F(BuildSiteTest, LaterSmallerRunLeavesEarlierFilesInPlace)
{
    WriteText(templatePath, "%image%");
    settings.MakeImagePages = true;
    for (int i = 1; i <= 5; ++i)
        AddPhoto("p" + std::to_string(i) + ".jpg", static_cast<uint32_t>(i));
    ASSERT_EQ(Build().PageCount, 5);

    pictures.erase(pictures.begin() + 2, pictures.end());
    settings.MakeImagePages = false;
    WriteText(site / "notes.txt", "mine");
    const std::string oldPage5 = ReadText(site / "index5.html");
    ASSERT_EQ(Build().PageCount, 2);
    EXPECT_EQ(ReadText(site / "index1.html"),
              "<a href=\"images/p1.jpg\"><img src=\"thumbnails/tnp1.jpg\" border=\"0\"></a>");
    EXPECT_EQ(ReadText(site / "index5.html"), oldPage5);
    EXPECT_TRUE(fs::exists(site / "index3.html"));
    EXPECT_TRUE(fs::exists(site / "imagepages" / "imagepage5.html"));
    EXPECT_TRUE(fs::exists(site / "images" / "p5.jpg"));
    EXPECT_TRUE(fs::exists(site / "thumbnails" / "tnp5.jpg"));
    EXPECT_EQ(ReadText(site / "notes.txt"), "mine");
}

TEST_F(BuildSiteTest, SiteNameHoldingTitleFinishes)
{
    settings.SiteName = "The %title% site";
    AddPhoto("a.jpg");
    ASSERT_TRUE(Build().Built);
    EXPECT_EQ(ReadText(site / "index1.html").rfind("<h1>The %title% site</h1>\r\n<a href=", 0), 0u);
    EXPECT_EQ(Build().SiteLine, "Your site - The %title% site has been made sucessfully");
}

namespace {

// A link value read back as a file name: every %XX becomes its byte.
std::string PercentDecode(const std::string &value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 2 < value.size() &&
            std::isxdigit(static_cast<unsigned char>(value[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(value[i + 2]))) {
            out += static_cast<char>(std::stoi(value.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += value[i];
        }
    }
    return out;
}

// Every href and src value of the page, in order.
std::vector<std::string> LinkValues(const std::string &page)
{
    static const std::regex attribute("(href|src)=\"([^\"]*)\"");
    std::vector<std::string> values;
    for (auto it = std::sregex_iterator(page.begin(), page.end(), attribute);
         it != std::sregex_iterator(); ++it)
        values.push_back((*it)[2]);
    return values;
}

} // namespace

// Names a browser would misread unencoded (a fragment mark, a percent, an
// ampersand, quotes, blanks, UTF-8) give links that lead to the files
// written, from the gallery pages and the image pages, with folder names and
// a prefix of the same kind.
TEST_F(BuildSiteTest, AnyFileNameGivesLinksToFilesThatExist)
{
    const std::vector<std::string> names = {
        "a#1.jpg",        "50%.jpg", "R&D \"x\".jpg", "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC.jpg",
        "with space.jpg", "<b>.jpg"};
    for (size_t i = 0; i < names.size(); ++i)
        AddPhoto(names[i], static_cast<uint32_t>(i + 1));
    settings.ImagesFolderName = "big & full";
    settings.ThumbnailsFolderName = "small #";
    settings.ImagePagesFolderName = "pages 100%";
    settings.ThumbnailPrefix = "tn ";
    WriteText(templatePath, "<h1>%title%</h1>\n%image%%image%%image%\n%nextprev%\n");

    for (const bool imagePages : {false, true}) {
        SCOPED_TRACE(imagePages ? "with image pages" : "without image pages");
        settings.MakeImagePages = imagePages;
        fs::remove_all(site);
        ASSERT_TRUE(Build().Built);
        std::vector<fs::path> pages = {site / "index1.html", site / "index2.html"};
        for (size_t k = 1; imagePages && k <= names.size(); ++k)
            pages.push_back(site / settings.ImagePagesFolderName /
                            ("imagepage" + std::to_string(k) + ".html"));
        std::set<fs::path> reached;
        for (const fs::path &page : pages) {
            const std::vector<std::string> links = LinkValues(ReadText(page));
            EXPECT_FALSE(links.empty()) << page;
            for (const std::string &link : links) {
                for (const char c : link)
                    EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) ||
                                std::strchr("-._~/%", c))
                        << "'" << c << "' in " << link;
                const fs::path target =
                    (page.parent_path() / PercentDecode(link)).lexically_normal();
                EXPECT_TRUE(fs::is_regular_file(target))
                    << link << " on " << page << " leads nowhere";
                reached.insert(target);
            }
        }
        for (const std::string &name : names) {
            EXPECT_TRUE(reached.count(site / settings.ImagesFolderName / name)) << name;
            EXPECT_TRUE(reached.count(site / settings.ThumbnailsFolderName / ("tn " + name)))
                << name;
        }
    }
}

struct OverwriteCase {
    const char *name;
    const char *thumbnailsFolder;
    const char *prefix;
    const char *pictureFolder; // inside the site folder
    const char *pictureName;
};

class ThumbnailOverPictureTest : public BuildSiteTest,
                                 public ::testing::WithParamInterface<OverwriteCase> {};

// A thumbnail that would land on a chosen picture refuses the build before
// anything is written, so the picture is never lost.
TEST_P(ThumbnailOverPictureTest, IsRefusedBeforeAnythingIsWritten)
{
    const OverwriteCase &c = GetParam();
    settings.ThumbnailsFolderName = c.thumbnailsFolder;
    settings.ThumbnailPrefix = c.prefix;
    const fs::path folder = site / c.pictureFolder;
    fs::create_directories(folder);
    const auto inSite = fixtures::MakeJpeg({});
    WriteFile(folder / c.pictureName, inSite);
    AddPhoto("a.jpg", 3);
    pictures.push_back({c.pictureName, folder.string() + "/"});

    const BuildResult result = Build();
    EXPECT_FALSE(result.Built);
    const std::string target = site.string() + "/" + c.thumbnailsFolder + "/" + c.prefix +
                               (std::string(c.prefix).empty() ? c.pictureName : "a.jpg");
    EXPECT_EQ(result.CheckMessage, "The thumbnail \"" + target +
                                       "\" would be written over the picture \"" + folder.string() +
                                       "/" + c.pictureName + "\"");
    EXPECT_TRUE(observer.Events.empty());
    EXPECT_EQ(ReadFile(folder / c.pictureName), inSite);
    EXPECT_FALSE(fs::exists(site / "index1.html"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ThumbnailOverPictureTest,
    ::testing::Values(
        // Its own thumbnail: thumbnails and images share a folder, no prefix.
        OverwriteCase{"OwnThumbnail", "images", "", "images", "here.jpg"},
        // Another picture's thumbnail: a picture chosen from the thumbnails folder.
        OverwriteCase{"EarlierPicturesThumbnail", "thumbnails", "tn", "thumbnails", "tna.jpg"}),
    [](const auto &info) { return info.param.name; });

namespace {

struct TemplateCase {
    const char *name;
    const char *templateInSite; // where the custom template lies, inside the site folder
    const char *linkInSite;     // or: the template lies outside and a link to it lies here
    int images;                 // "%image%" in the template
    const char *keywords;       // SiteKeywords, or "" for the default
    bool imagePages;
    const char *overwrittenBy; // the file named in the message, or "" when the build runs
    int pages;                 // the pages a build that runs writes
};

class TemplateAmongWrittenFiles : public BuildSiteTest,
                                  public ::testing::WithParamInterface<TemplateCase> {};

// A custom template kept where the build writes a file would be lost: the
// build is refused before anything is written, naming both files. Where no
// file of this build goes, the build runs and the template is kept.
TEST_P(TemplateAmongWrittenFiles, IsRefusedOrKept)
{
    const TemplateCase &c = GetParam();
    settings.MakeImagePages = c.imagePages;
    if (*c.keywords)
        settings.SiteKeywords = c.keywords;
    const bool linked = *c.linkInSite;
    const fs::path custom = linked ? root.path() / "kept" / "mine.html" : site / c.templateInSite;
    fs::create_directories(custom.parent_path());
    std::string text = "<h1>%title%</h1>\n%metakey%";
    for (int i = 0; i < c.images; ++i)
        text += "%image%";
    text += "\n%nextprev%\n";
    WriteText(custom, text);
    if (linked) {
        fs::create_directories((site / c.linkInSite).parent_path());
        fs::create_symlink(custom, site / c.linkInSite);
    }
    choice.UseCustomTemplate = true;
    choice.CustomTemplatePath = custom.string();
    AddPhoto("a.jpg", 1);
    AddPhoto("b.jpg", 2);

    const BuildResult result = Build();
    if (std::string(c.overwrittenBy).empty()) {
        EXPECT_TRUE(result.Built) << result.CheckMessage;
        EXPECT_EQ(result.PageCount, c.pages);
        EXPECT_TRUE(fs::exists(site / "thumbnails" / "tnb.jpg"));
        if (linked) {
            EXPECT_FALSE(fs::is_symlink(site / c.linkInSite))
                << "the link was written through, not replaced";
        }
    } else {
        EXPECT_FALSE(result.Built);
        EXPECT_EQ(result.CheckMessage, "The file \"" + (site / c.overwrittenBy).string() +
                                           "\" would be written over the template \"" +
                                           custom.string() + "\"");
        EXPECT_TRUE(observer.Events.empty());
        std::vector<fs::path> files;
        for (const auto &entry : fs::recursive_directory_iterator(site))
            if (!entry.is_directory())
                files.push_back(entry.path());
        EXPECT_EQ(files, std::vector<fs::path>{site / (linked ? c.linkInSite : c.templateInSite)});
    }
    EXPECT_EQ(ReadText(custom), text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TemplateAmongWrittenFiles,
    ::testing::Values(
        TemplateCase{"FirstGalleryPage", "index1.html", "", 1, "", false, "index1.html", 0},
        TemplateCase{"FirstGalleryPageOfOnlyOne", "index1.html", "", 3, "", false, "index1.html",
                     0},
        TemplateCase{"LastGalleryPage", "index2.html", "", 1, "", false, "index2.html", 0},
        // Three pictures a page: two pictures fill index1.html alone.
        TemplateCase{"GalleryPageTheFillNeverReaches", "index2.html", "", 3, "", false, "", 1},
        // The keywords bring in a second "%image%": one page holds both.
        TemplateCase{"PageNeverReachedThroughTheValues", "index2.html", "", 1, "%image%", false, "",
                     1},
        TemplateCase{"PastTheLastPossiblePage", "index3.html", "", 1, "", false, "", 2},
        TemplateCase{"ImagePage", "imagepages/imagepage2.html", "", 1, "", true,
                     "imagepages/imagepage2.html", 0},
        TemplateCase{"ImagePageWhenNoneAreMade", "imagepages/imagepage2.html", "", 1, "", false, "",
                     2},
        TemplateCase{"CopyOfAPicture", "images/b.jpg", "", 1, "", false, "images/b.jpg", 0},
        TemplateCase{"ThumbnailOfAPicture", "thumbnails/tna.jpg", "", 1, "", false,
                     "thumbnails/tna.jpg", 0},
        TemplateCase{"OtherNameInTheImagesFolder", "images/c.jpg", "", 1, "", true, "", 2},
        TemplateCase{"OtherNameInTheSite", "my-template.html", "", 1, "", true, "", 2},
        // Every file replaces a link at its name, pages as copies and
        // thumbnails do: the template behind it is kept.
        TemplateCase{"LinkAtAGalleryPage", "", "index1.html", 1, "", false, "", 2},
        TemplateCase{"LinkAtAnImagePage", "", "imagepages/imagepage1.html", 1, "", true, "", 2},
        TemplateCase{"LinkAtACopy", "", "images/a.jpg", 1, "", false, "", 2},
        TemplateCase{"LinkAtAThumbnail", "", "thumbnails/tnb.jpg", 1, "", false, "", 2}),
    [](const auto &info) { return info.param.name; });

} // namespace

namespace {

// What a progress display within the thumbnail stage sees: one report per
// picture, each after its thumbnail is on disk, on the thread running the build.
class PictureObserver : public BuildObserver {
public:
    explicit PictureObserver(fs::path thumbnails) : thumbnails_(std::move(thumbnails)) {}
    void Progress(const BuildProgress &progress) override { percent_ = progress.Percent; }
    void PictureDone(size_t done, size_t total) override
    {
        Reports.push_back(std::to_string(done) + "/" + std::to_string(total) + " at " +
                          std::to_string(percent_));
        Written.push_back(fs::exists(thumbnails_ / ("tn" + std::to_string(done) + ".jpg")) &&
                          !fs::exists(thumbnails_ / ("tn" + std::to_string(done + 1) + ".jpg")));
        OnBuildThread = OnBuildThread && std::this_thread::get_id() == buildThread_;
    }
    std::vector<std::string> Reports;
    std::vector<bool> Written;
    bool OnBuildThread = true;

private:
    fs::path thumbnails_;
    int percent_ = -1;
    std::thread::id buildThread_ = std::this_thread::get_id();
};

struct PictureDoneCase {
    const char *name;
    unsigned workers;
    bool secondMissing;
    std::vector<std::string> reports;
};

class PictureDoneTest : public BuildSiteTest,
                        public ::testing::WithParamInterface<PictureDoneCase> {};

TEST_P(PictureDoneTest, ReportsEachWrittenThumbnailInOrder)
{
    const PictureDoneCase &c = GetParam();
    for (uint32_t k = 1; k <= 4; ++k)
        AddPhoto(std::to_string(k) + ".jpg", k);
    if (c.secondMissing)
        fs::remove(photos / "2.jpg");
    options.ThumbnailWorkers = c.workers;
    PictureObserver pictureObserver(site / "thumbnails");
    try {
        BuildSite(settings, pictures, choice, pictureObserver, options);
        EXPECT_FALSE(c.secondMissing) << "the build did not stop";
    } catch (const SiteError &) {
        EXPECT_TRUE(c.secondMissing);
    }
    EXPECT_EQ(pictureObserver.Reports, c.reports);
    EXPECT_EQ(pictureObserver.Written, std::vector<bool>(c.reports.size(), true));
    EXPECT_TRUE(pictureObserver.OnBuildThread);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PictureDoneTest,
    ::testing::Values(
        PictureDoneCase{
            "OneWorker", 1, false, {"1/4 at 35", "2/4 at 35", "3/4 at 35", "4/4 at 35"}},
        PictureDoneCase{
            "ThreeWorkers", 3, false, {"1/4 at 35", "2/4 at 35", "3/4 at 35", "4/4 at 35"}},
        PictureDoneCase{"StopsAtAMissingPicture", 3, true, {"1/4 at 35"}}),
    [](const ::testing::TestParamInfo<PictureDoneCase> &info) {
        return std::string(info.param.name);
    });

} // namespace

namespace {

class CountingObserver : public BuildObserver {
public:
    void Progress(const BuildProgress &) override {}
    void PictureDone(size_t done, size_t total) override
    {
        Reports.push_back(std::to_string(done) + "/" + std::to_string(total));
    }
    std::vector<std::string> Reports;
};

// An update counts the thumbnails it makes, not the ones it keeps.
TEST_F(BuildSiteTest, UpdateCountsOnlyTheThumbnailsItMakes)
{
    for (uint32_t k = 1; k <= 3; ++k)
        AddPhoto(std::to_string(k) + ".jpg", k);
    options.Update = true;
    CountingObserver first;
    ASSERT_TRUE(BuildSite(settings, pictures, choice, first, options).Built);
    EXPECT_EQ(first.Reports, (std::vector<std::string>{"1/3", "2/3", "3/3"}));

    AddPhoto("4.jpg", 4);
    CountingObserver second;
    ASSERT_TRUE(BuildSite(settings, pictures, choice, second, options).Built);
    EXPECT_EQ(second.Reports, std::vector<std::string>{"1/1"});
}

} // namespace
