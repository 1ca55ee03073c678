// Update builds: after any change of the answers or of the site folder, an
// update ends in exactly the tree a fresh build of the same answers gives
// (beside the user's own files), or refuses before it writes anything; the
// build record reads back what it wrote and refuses what it cannot trust.
#include "site/BuildRecord.h"
#include "site/BuildSite.h"
#include "site/SiteError.h"
#include "tests/site/SiteTree.h"
#include "tests/support/JpegFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>

using namespace pixelnook;
using fixtures::ReadFile;
using fixtures::ReadText;
using fixtures::WriteFile;
using fixtures::WriteText;
namespace fs = std::filesystem;

namespace {

// Path relative to the folder -> a file's size and hash, a link's target,
// or "folder". The build record is left out: it holds stamps of this
// machine.

std::string Content(const std::string &bytes)
{
    return std::to_string(bytes.size()) + " bytes " + HashBytes(bytes);
}

Tree BuiltTree(const fs::path &folder)
{
    Tree tree;
    for (auto it = fs::recursive_directory_iterator(folder);
         it != fs::recursive_directory_iterator(); ++it) {
        const std::string path = it->path().lexically_relative(folder).string();
        if (path == kBuildRecordName)
            continue;
        if (it->is_symlink())
            tree[path] = "link to " + fs::read_symlink(it->path()).string();
        else if (it->is_directory())
            tree[path] = "folder";
        else
            tree[path] = Content(ReadText(it->path()));
    }
    return tree;
}

class SiteUpdateTest : public ::testing::Test {
public:
    SiteUpdateTest()
    {
        photos = root.path() / "photos";
        site = root.path() / "site";
        fs::create_directories(photos);
        for (const char *name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg", "f.jpg"})
            Photo(name, static_cast<uint32_t>(name[0]));
        for (const char *name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"})
            pictures.push_back({name, photos.string() + "/"});
        templatePath = (root.path() / "gallery.html").string();
        WriteText(templatePath, "<h1>%title%</h1>\n%image%%image%\n%nextprev%\n");
        settings.SiteFolder = site.string();
        settings.MakeImagePages = true;
        choice.TemplateSelected = "true";
        choice.TemplatePath = templatePath;
    }

    void Photo(const std::string &name, uint32_t seed)
    {
        fixtures::JpegSpec spec{96, 64};
        spec.Seed = seed;
        WriteFile(photos / name, fixtures::MakeJpeg(spec));
    }

    // "built", the refusal's message, or the error the build stopped with.
    std::string Build(const fs::path &folder, bool update)
    {
        SiteSettings s = settings;
        s.SiteFolder = folder.string();
        TemplateChoice c = choice;
        NullObserver observer;
        BuildOptions options;
        options.Update = update;
        try {
            result = BuildSite(s, pictures, c, observer, options);
            return result.Built ? "built" : result.CheckMessage;
        } catch (const SiteError &e) {
            return e.what();
        }
    }
    std::string Update() { return Build(site, true); }

    // A file of the user's in the site folder, expected to outlast every build.
    void UserFile(const std::string &path, const std::string &text)
    {
        fs::create_directories((site / path).parent_path());
        WriteText(site / path, text);
        userFiles[path] = text;
    }

    // What a fresh build of the current answers gives, with the user's files.
    Tree FreshTree()
    {
        const fs::path fresh = root.path() / "fresh";
        fs::remove_all(fresh);
        EXPECT_EQ(Build(fresh, false), "built");
        Tree tree = BuiltTree(fresh);
        for (const auto &[path, text] : userFiles) {
            tree[path] = text.rfind("link to ", 0) == 0 ? text : Content(text);
            for (fs::path p = fs::path(path).parent_path(); !p.empty(); p = p.parent_path())
                tree[p.string()] = "folder";
        }
        return tree;
    }

    std::string Counts() const
    {
        return std::to_string(result.PicturesNew) + " new, " +
               std::to_string(result.PicturesChanged) + " changed, " +
               std::to_string(result.PicturesUnchanged) + " unchanged, " +
               std::to_string(result.PicturesRemoved) + " removed";
    }

    fixtures::TempDir root;
    fs::path photos;
    fs::path site;
    std::string templatePath;
    SiteSettings settings;
    PictureList pictures;
    TemplateChoice choice;
    BuildResult result;
    std::map<std::string, std::string> userFiles;
};

struct UpdateCase {
    const char *Name;
    // Changes the answers, the pictures or the site after a first update.
    std::function<void(SiteUpdateTest &)> Change;
    // What the second update says: the counts of a built site, or a part
    // of the refusal's message (then nothing may change on disk).
    std::string Outcome;
    // Files kept in place of removing them, "path: reason".
    std::vector<std::string> Kept = {};
};

void Remove(PictureList &pictures, const std::string &name)
{
    pictures.erase(std::find_if(pictures.begin(), pictures.end(),
                                [&](const PictureEntry &p) { return p.FileName == name; }));
}

const UpdateCase kUpdateCases[] = {
    {"NothingChanged", [](SiteUpdateTest &) {}, "0 new, 0 changed, 5 unchanged, 0 removed"},
    {"Add",
     [](SiteUpdateTest &t) {
         t.pictures.push_back({"f.jpg", t.photos.string() + "/"});
     },
     "1 new, 0 changed, 5 unchanged, 0 removed"},
    {"RemoveTwoFromTheMiddle",
     [](SiteUpdateTest &t) {
         Remove(t.pictures, "b.jpg");
         Remove(t.pictures, "c.jpg");
     },
     "0 new, 0 changed, 3 unchanged, 2 removed"},
    {"Reorder", [](SiteUpdateTest &t) { std::reverse(t.pictures.begin(), t.pictures.end()); },
     "0 new, 0 changed, 5 unchanged, 0 removed"},
    {"RenameASource",
     [](SiteUpdateTest &t) {
         fs::rename(t.photos / "c.jpg", t.photos / "z.jpg");
         t.pictures[2].FileName = "z.jpg";
     },
     "1 new, 0 changed, 4 unchanged, 1 removed"},
    {"TouchASource",
     [](SiteUpdateTest &t) {
         fs::last_write_time(t.photos / "b.jpg",
                             fs::last_write_time(t.photos / "b.jpg") + std::chrono::seconds(5));
     },
     "0 new, 1 changed, 4 unchanged, 0 removed"},
    {"RewriteASourceKeepingItsSizeAndTime",
     [](SiteUpdateTest &t) {
         const fs::path d = t.photos / "d.jpg";
         const auto time = fs::last_write_time(d);
         std::vector<unsigned char> bytes = ReadFile(d);
         bytes[bytes.size() - 20] ^= 0x55; // inside the scan data
         WriteFile(d, bytes);
         fs::last_write_time(d, time);
     },
     "0 new, 1 changed, 4 unchanged, 0 removed"},
    {"ChangeTheSizeText", [](SiteUpdateTest &t) { t.settings.ThumbnailSize = "40"; },
     "0 new, 5 changed, 0 unchanged, 0 removed"},
    {"ChangeThePrefixAndFolders",
     [](SiteUpdateTest &t) {
         t.settings.ThumbnailPrefix = "small-";
         t.settings.ThumbnailsFolderName = "thumbs";
         t.settings.ImagePagesFolderName = "pages/one";
     },
     "0 new, 5 changed, 0 unchanged, 0 removed"},
    {"ChangeTheTemplate",
     [](SiteUpdateTest &t) { WriteText(t.templatePath, "<p>%image%%image%%image%</p>%nextprev%"); },
     "0 new, 0 changed, 5 unchanged, 0 removed"},
    {"ImagePagesTurnedOff", [](SiteUpdateTest &t) { t.settings.MakeImagePages = false; },
     "0 new, 0 changed, 5 unchanged, 0 removed"},
    {"ThumbnailDeletedFromTheSite",
     [](SiteUpdateTest &t) { fs::remove(t.site / "thumbnails/tnb.jpg"); },
     "0 new, 1 changed, 4 unchanged, 0 removed"},
    {"UsersOwnFilesBesideTheSite",
     [](SiteUpdateTest &t) {
         t.UserFile("notes.txt", "mine");
         t.UserFile("style/site.css", "body {}");
         t.UserFile("images/extra.jpg", "not a picture of the list");
         Remove(t.pictures, "e.jpg");
     },
     "0 new, 0 changed, 4 unchanged, 1 removed"},
    {"SiteCopiedElsewhere",
     [](SiteUpdateTest &t) {
         // New inodes and times, same bytes: nothing needs making again.
         const fs::path moved = t.root.path() / "moved";
         fs::copy(t.site, moved, fs::copy_options::recursive);
         fs::remove_all(t.site);
         fs::rename(moved, t.site);
     },
     "0 new, 0 changed, 5 unchanged, 0 removed"},
    {"BuildWithoutUpdateInBetween",
     [](SiteUpdateTest &t) { EXPECT_EQ(t.Build(t.site, false), "built"); },
     "0 new, 0 changed, 5 unchanged, 0 removed"},
    {"BuildWithoutUpdateInBetweenChangedFiles",
     [](SiteUpdateTest &t) {
         t.settings.ThumbnailSize = "40";
         EXPECT_EQ(t.Build(t.site, false), "built");
     },
     "thumbnails/tna.jpg: changed since the last update wrote it"},
    {"EditAListedCopyByHand", [](SiteUpdateTest &t) { t.UserFile("images/b.jpg", "retouched"); },
     "images/b.jpg: changed since the last update wrote it"},
    {"EditAPageByHand", [](SiteUpdateTest &t) { t.UserFile("index2.html", "my own page"); },
     "index2.html: changed since the last update wrote it"},
    {"UsersFileWhereANewPictureGoes",
     [](SiteUpdateTest &t) {
         t.UserFile("thumbnails/tnf.jpg", "mine");
         t.pictures.push_back({"f.jpg", t.photos.string() + "/"});
     },
     "thumbnails/tnf.jpg: not written by an update of this site"},
    {"EditedCopyOfARemovedPictureIsKept",
     [](SiteUpdateTest &t) {
         t.UserFile("images/e.jpg", "retouched");
         t.UserFile("imagepages/imagepage5.html", "my own page");
         Remove(t.pictures, "e.jpg");
     },
     "0 new, 0 changed, 4 unchanged, 1 removed",
     {"imagepages/imagepage5.html: changed since the last update wrote it",
      "images/e.jpg: changed since the last update wrote it"}},
    {"LinkInPlaceOfAStaleThumbnailIsKept",
     [](SiteUpdateTest &t) {
         fs::remove(t.site / "thumbnails/tne.jpg");
         fs::create_symlink(t.photos / "e.jpg", t.site / "thumbnails/tne.jpg");
         t.userFiles["thumbnails/tne.jpg"] = "link to " + (t.photos / "e.jpg").string();
         Remove(t.pictures, "e.jpg");
     },
     "0 new, 0 changed, 4 unchanged, 1 removed",
     {"thumbnails/tne.jpg: no longer a plain file"}},
    {"CorruptRecord",
     [](SiteUpdateTest &t) {
         std::string text = ReadText(t.site / kBuildRecordName);
         text[text.find("tnc.jpg")] = 'X';
         WriteText(t.site / kBuildRecordName, text);
         Remove(t.pictures, "a.jpg");
     },
     "cannot be read: its lines do not add up"},
    {"RecordCutShort",
     [](SiteUpdateTest &t) {
         const std::string text = ReadText(t.site / kBuildRecordName);
         WriteText(t.site / kBuildRecordName, text.substr(0, text.size() / 2));
     },
     "cannot be read: it was cut short"},
    {"RecordOfAnotherVersion",
     [](SiteUpdateTest &t) { WriteText(t.site / kBuildRecordName, "pixelnook-build record 7\n"); },
     "written by another version of pixelnook-build"},
    {"NoRecord", [](SiteUpdateTest &t) { fs::remove(t.site / kBuildRecordName); },
     "5 new, 0 changed, 0 unchanged, 0 removed"},
};

class UpdateChangeTest : public SiteUpdateTest, public ::testing::WithParamInterface<UpdateCase> {};

TEST_P(UpdateChangeTest, EndsInTheFreshTreeOrRefusesAndWritesNothing)
{
    const UpdateCase &c = GetParam();
    ASSERT_EQ(Update(), "built");
    c.Change(*this);
    const Tree before = BuiltTree(site);
    const std::string record =
        fs::exists(site / kBuildRecordName) ? ReadText(site / kBuildRecordName) : "";
    const std::string outcome = Update();

    if (outcome != "built") {
        EXPECT_NE(outcome.find(c.Outcome), std::string::npos) << outcome;
        EXPECT_EQ(BuiltTree(site), before);
        EXPECT_EQ(fs::exists(site / kBuildRecordName) ? ReadText(site / kBuildRecordName) : "",
                  record);
        for (const auto &[path, text] : userFiles)
            EXPECT_EQ(ReadText(site / path), text) << path;
        return;
    }
    EXPECT_EQ(Counts(), c.Outcome);
    std::vector<std::string> kept;
    for (const KeptFile &file : result.KeptFiles)
        kept.push_back(file.Path + ": " + file.Reason);
    EXPECT_EQ(kept, c.Kept);
    EXPECT_EQ(BuiltTree(site), FreshTree());

    // The record now trusts the tree: another update changes nothing.
    const Tree after = BuiltTree(site);
    ASSERT_EQ(Update(), "built");
    EXPECT_EQ(result.FilesWritten, 0);
    EXPECT_EQ(result.FilesRemoved, 0);
    EXPECT_EQ(BuiltTree(site), after);
}

INSTANTIATE_TEST_SUITE_P(Changes, UpdateChangeTest, ::testing::ValuesIn(kUpdateCases),
                         [](const ::testing::TestParamInfo<UpdateCase> &info) {
                             return info.param.Name;
                         });

TEST_F(SiteUpdateTest, UnchangedPicturesAreNotMadeAgainAndUnchangedPagesNotWritten)
{
    ASSERT_EQ(Update(), "built");
    const PathState thumbnail = StateOf((site / "thumbnails/tna.jpg").string());
    const PathState copy = StateOf((site / "images/a.jpg").string());
    const PathState firstPage = StateOf((site / "index1.html").string());
    const PathState lastPage = StateOf((site / "index3.html").string());

    pictures.push_back({"f.jpg", photos.string() + "/"}); // fills page 3
    ASSERT_EQ(Update(), "built");
    EXPECT_EQ(StateOf((site / "thumbnails/tna.jpg").string()).Stamp, thumbnail.Stamp);
    EXPECT_EQ(StateOf((site / "images/a.jpg").string()).Stamp, copy.Stamp);
    EXPECT_EQ(StateOf((site / "index1.html").string()).Stamp, firstPage.Stamp);
    EXPECT_NE(StateOf((site / "index3.html").string()).Stamp, lastPage.Stamp);
    // One thumbnail, one copy, one image page and the last gallery page.
    EXPECT_EQ(result.FilesWritten, 4);
}

// A build that stops midway (here a picture that cannot be read, after a
// new thumbnail was written) leaves a record saying which names it was
// writing: the next update takes them as its own, not as the user's.
TEST_F(SiteUpdateTest, BuildStoppedMidwayIsFinishedByTheNextUpdate)
{
    ASSERT_EQ(Update(), "built");
    pictures.insert(pictures.begin(), {"f.jpg", photos.string() + "/"});
    Remove(pictures, "b.jpg");
    const std::vector<unsigned char> d = ReadFile(photos / "d.jpg");
    WriteText(photos / "d.jpg", "");
    fs::last_write_time(photos / "d.jpg",
                        fs::last_write_time(photos / "d.jpg") + std::chrono::seconds(5));
    EXPECT_EQ(Update(), "Invalid floating point operation");
    EXPECT_TRUE(fs::exists(site / "thumbnails/tnf.jpg"));
    EXPECT_TRUE(fs::exists(site / "images/b.jpg")); // removal comes last

    WriteFile(photos / "d.jpg", d);
    ASSERT_EQ(Update(), "built");
    EXPECT_EQ(Counts(), "1 new, 1 changed, 3 unchanged, 1 removed");
    EXPECT_TRUE(result.KeptFiles.empty());
    EXPECT_EQ(BuiltTree(site), FreshTree());
}

TEST_F(SiteUpdateTest, EmptyFoldersOfTheLastUpdateGoOthersStay)
{
    settings.ThumbnailsFolderName = "small/thumbs";
    ASSERT_EQ(Update(), "built");
    settings.ThumbnailsFolderName = "thumbnails";
    settings.ImagesFolderName = "pictures";
    UserFile("images/mine.txt", "keep me");
    ASSERT_EQ(Update(), "built");
    EXPECT_FALSE(fs::exists(site / "small"));
    EXPECT_EQ(ReadText(site / "images/mine.txt"), "keep me");
    EXPECT_EQ(BuiltTree(site), FreshTree());
}

// A picture chosen from the images folder is its own copy: the user's file,
// never removed once the picture leaves the list.
TEST_F(SiteUpdateTest, PictureChosenFromTheImagesFolderIsNeverRemoved)
{
    fs::create_directories(site / "images");
    fs::copy_file(photos / "f.jpg", site / "images/f.jpg");
    pictures.push_back({"f.jpg", (site / "images").string() + "/"});
    ASSERT_EQ(Update(), "built");
    ASSERT_EQ(Update(), "built");
    EXPECT_EQ(result.FilesWritten, 0);
    pictures.pop_back();
    ASSERT_EQ(Update(), "built");
    EXPECT_EQ(ReadFile(site / "images/f.jpg"), ReadFile(photos / "f.jpg"));
    EXPECT_FALSE(fs::exists(site / "thumbnails/tnf.jpg"));
}

TEST_F(SiteUpdateTest, WithoutUpdateNoRecordIsWrittenAndNothingRemoved)
{
    ASSERT_EQ(Build(site, false), "built");
    EXPECT_FALSE(fs::exists(site / kBuildRecordName));
    Remove(pictures, "e.jpg");
    ASSERT_EQ(Build(site, false), "built");
    EXPECT_TRUE(fs::exists(site / "images/e.jpg"));
    EXPECT_TRUE(fs::exists(site / "index3.html"));
    EXPECT_FALSE(fs::exists(site / kBuildRecordName));
}

// ---- the record on its own

TEST(BuildRecordTest, ReadsBackWhatItWrote)
{
    BuildRecord record;
    record.Pictures = {"a b.jpg", "tab\there.jpg", "back\\slash\nline\r.jpg"};
    record.Folders = {"images", "small/thumbs"};
    RecordedFile thumbnail;
    thumbnail.Kind = OutputKind::Thumbnail;
    thumbnail.Stamp = {123, -5, 1700000000123456789, 66, 99};
    thumbnail.Hash = HashBytes("bytes");
    thumbnail.Settings = "program=1 size= 85\t";
    thumbnail.Source = "/photos/tab\there.jpg";
    thumbnail.SourceStamp = {5, 6, 0, 7, 8};
    record.Files["thumbnails/tntab\there.jpg"] = thumbnail;
    RecordedFile page;
    page.Hash = HashBytes("page");
    record.Files["index1.html"] = page;
    record.Pending = {"images/back\\slash\nline\r.jpg"};

    const BuildRecord back = ParseRecord(RecordText(record));
    EXPECT_EQ(back.Pictures, record.Pictures);
    EXPECT_EQ(back.Folders, record.Folders);
    EXPECT_EQ(back.Pending, record.Pending);
    ASSERT_EQ(back.Files.size(), 2u);
    const RecordedFile &t = back.Files.at("thumbnails/tntab\there.jpg");
    EXPECT_EQ(t.Stamp, thumbnail.Stamp);
    EXPECT_EQ(t.SourceStamp, thumbnail.SourceStamp);
    EXPECT_EQ(t.Settings, thumbnail.Settings);
    EXPECT_EQ(t.Source, thumbnail.Source);
    EXPECT_EQ(t.Hash, thumbnail.Hash);
    EXPECT_EQ(back.Files.at("index1.html").Kind, OutputKind::Page);
}

struct DamagedRecord {
    const char *Name;
    std::function<std::string(const std::string &)> Damage;
    const char *Reason;
};

const DamagedRecord kDamagedRecords[] = {
    {"Empty", [](const std::string &) { return std::string(); }, "it is empty"},
    {"NotARecord", [](const std::string &) { return std::string("<html>\n"); },
     "not a build record"},
    {"LastLineCut", [](const std::string &t) { return t.substr(0, t.size() - 1); }, "cut short"},
    {"EndLineMissing", [](const std::string &t) { return t.substr(0, t.rfind("end\t")); },
     "cut short"},
    {"ByteChanged",
     [](const std::string &t) {
         std::string s = t;
         s[s.find("images")] = 'I';
         return s;
     },
     "do not add up"},
    {"LineAdded",
     [](const std::string &t) {
         const size_t firstLine = t.find('\n') + 1;
         return t.substr(0, firstLine) + "picture\tx.jpg\n" + t.substr(firstLine);
     },
     "do not add up"},
    {"PathLeavesTheSite",
     [](const std::string &t) {
         std::string s = t.substr(0, t.rfind("end\t"));
         s += "pending\t../outside.jpg\n";
         return s;
     },
     "leads out of the site folder"},
    {"TextAfterTheEnd", [](const std::string &t) { return t + "picture\tx.jpg\n"; },
     "after its end"},
};

class DamagedRecordTest : public ::testing::TestWithParam<DamagedRecord> {};

TEST_P(DamagedRecordTest, IsRefusedWithItsReason)
{
    BuildRecord record;
    record.Pictures = {"a.jpg"};
    record.Folders = {"images"};
    RecordedFile copy;
    copy.Kind = OutputKind::Copy;
    copy.Source = "/p/a.jpg";
    record.Files["images/a.jpg"] = copy;
    try {
        ParseRecord(GetParam().Damage(RecordText(record)));
        ADD_FAILURE() << "the damaged record was read";
    } catch (const RecordError &e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().Reason), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Records, DamagedRecordTest, ::testing::ValuesIn(kDamagedRecords),
                         [](const ::testing::TestParamInfo<DamagedRecord> &info) {
                             return info.param.Name;
                         });

} // namespace
