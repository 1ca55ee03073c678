// The answers' data model: what "Start Site" resets and keeps, the defaults
// an empty answer takes, how a chosen path splits, and the one-name rule of
// the picture list.
#include "site/SiteSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace pixelnook;

namespace {

// The text answers that have a default, each with that default.
struct TextAnswer {
    const char *Name;
    std::string SiteSettings::*Field;
    const char *Default;
};

const TextAnswer kTextAnswers[] = {
    {"ImagesFolderName", &SiteSettings::ImagesFolderName, kDefaultImagesFolderName},
    {"ThumbnailsFolderName", &SiteSettings::ThumbnailsFolderName, kDefaultThumbnailsFolderName},
    {"ImagePagesFolderName", &SiteSettings::ImagePagesFolderName, kDefaultImagePagesFolderName},
    {"SiteName", &SiteSettings::SiteName, kDefaultSiteName},
    {"SiteDescription", &SiteSettings::SiteDescription, kDefaultSiteDescription},
    {"SiteKeywords", &SiteSettings::SiteKeywords, kDefaultSiteKeywords},
    {"ThumbnailPrefix", &SiteSettings::ThumbnailPrefix, kDefaultThumbnailPrefix},
    {"ThumbnailSize", &SiteSettings::ThumbnailSize, kDefaultThumbnailSize},
};

TEST(StartSite, EveryTextAnswerTakesItsDefaultAndTheSwitchesStay)
{
    const char *const home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    // What a user leaves behind before "Start Site": every answer changed,
    // the switches on, a list and a template chosen.
    SiteSettings settings;
    settings.SiteFolder = "/elsewhere/site";
    for (const TextAnswer &answer : kTextAnswers)
        settings.*answer.Field = std::string("not ") + answer.Default;
    settings.MakeImagePages = true;
    PictureList pictures = {{"a.jpg", "/photos/"}};
    TemplateChoice choice;
    choice.TemplatePath = "/t/template3.html";
    choice.TemplateSelected = "true";
    choice.UseCustomTemplate = true;
    choice.CustomTemplatePath = "/t/mine.html";

    ResetToStartSite(settings, pictures, choice);

    EXPECT_EQ(settings.SiteFolder, std::string(home) + "/mysite");
    for (const TextAnswer &answer : kTextAnswers)
        EXPECT_EQ(settings.*answer.Field, answer.Default) << answer.Name;
    EXPECT_TRUE(pictures.empty());
    EXPECT_EQ(choice.TemplatePath, "");
    EXPECT_EQ(choice.TemplateSelected, "false");
    EXPECT_EQ(choice.CustomTemplatePath, "");
    // The two switches are left as the user set them.
    EXPECT_TRUE(settings.MakeImagePages);
    EXPECT_TRUE(choice.UseCustomTemplate);
}

TEST(StartSite, DefaultSiteFolderIsMysiteInTheHomeFolder)
{
    const char *const home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    EXPECT_EQ(DefaultSiteFolder(), std::string(home) + "/mysite");
}

// Only an answer with no characters at all takes its default; blanks are
// an answer, and the site folder and the switches are never touched.
TEST(FillEmpty, EmptyAnswersTakeTheirDefaultsAndBlanksStay)
{
    for (const char *blank : {" ", "\t", "\r\n"}) {
        for (const TextAnswer &kept : kTextAnswers) {
            SiteSettings settings;
            settings.SiteFolder = "";
            settings.MakeImagePages = true;
            for (const TextAnswer &answer : kTextAnswers)
                settings.*answer.Field = "";
            settings.*kept.Field = blank;

            FillEmptyWithDefaults(settings);

            EXPECT_EQ(settings.SiteFolder, "");
            EXPECT_TRUE(settings.MakeImagePages);
            for (const TextAnswer &answer : kTextAnswers)
                EXPECT_EQ(settings.*answer.Field,
                          answer.Field == kept.Field ? blank : answer.Default)
                    << answer.Name << " with " << kept.Name << " blank";
        }
    }
}

struct SplitCase {
    const char *Name;
    const char *Path;
    const char *SourceFolder;
    const char *FileName;
};

class SplitPicturePathTable : public ::testing::TestWithParam<SplitCase> {};

// The path splits at its last "/", which stays with the folder, and the two
// parts put together give the path back.
TEST_P(SplitPicturePathTable, SplitsAtTheLastSlash)
{
    const SplitCase c = GetParam();
    const PictureEntry entry = SplitPicturePath(c.Path);
    EXPECT_EQ(entry.SourceFolder, c.SourceFolder);
    EXPECT_EQ(entry.FileName, c.FileName);
    EXPECT_EQ(entry.SourcePath(), c.Path);
}

INSTANTIATE_TEST_SUITE_P(Paths, SplitPicturePathTable,
                         ::testing::Values(SplitCase{"Nested", "/home/ann/photos/beach.jpg",
                                                     "/home/ann/photos/", "beach.jpg"},
                                           SplitCase{"InTheRoot", "/beach.jpg", "/", "beach.jpg"},
                                           SplitCase{"NoFolder", "beach.jpg", "", "beach.jpg"},
                                           SplitCase{"DotsAndSpaces", "/a b/.c/d e.JPG", "/a b/.c/",
                                                     "d e.JPG"},
                                           SplitCase{"FolderOnly", "/photos/", "/photos/", ""}),
                         [](const auto &info) { return info.param.Name; });

struct LineBreakCase {
    const char *Name;
    std::string Text;
    std::string CrLf;
};

class ToCrLfTable : public ::testing::TestWithParam<LineBreakCase> {};

// A CR LF pair is one break; every other CR and LF is one of its own.
TEST_P(ToCrLfTable, EveryLineBreakBecomesOneCrLf)
{
    EXPECT_EQ(ToCrLf(GetParam().Text), GetParam().CrLf);
}

INSTANTIATE_TEST_SUITE_P(Texts, ToCrLfTable,
                         ::testing::Values(LineBreakCase{"Empty", "", ""},
                                           LineBreakCase{"NoBreak", "a b", "a b"},
                                           LineBreakCase{"Lf", "a\nb", "a\r\nb"},
                                           LineBreakCase{"CrLf", "a\r\nb", "a\r\nb"},
                                           LineBreakCase{"LoneCr", "a\rb", "a\r\nb"},
                                           LineBreakCase{"LfCr", "a\n\rb", "a\r\n\r\nb"},
                                           LineBreakCase{"CrCrLf", "\r\r\n", "\r\n\r\n"},
                                           LineBreakCase{"CrAtTheEnd", "a\r", "a\r\n"},
                                           LineBreakCase{"LfLf", "\n\n", "\r\n\r\n"}),
                         [](const auto &info) { return info.param.Name; });

// A name is taken once, whatever folder it comes from; names that differ
// only in letter case are different names.
TEST(AddPicture, RefusesANameAlreadyListedExactly)
{
    PictureList pictures;
    EXPECT_TRUE(AddPicture(pictures, {"a.jpg", "/one/"}));
    EXPECT_FALSE(AddPicture(pictures, {"a.jpg", "/two/"}));
    EXPECT_TRUE(AddPicture(pictures, {"A.jpg", "/two/"}));
    EXPECT_TRUE(AddPicture(pictures, {"a.jpg ", "/two/"}));
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_EQ(pictures[0].SourcePath(), "/one/a.jpg");
    EXPECT_EQ(pictures[1].SourcePath(), "/two/A.jpg");
    EXPECT_EQ(pictures[2].SourcePath(), "/two/a.jpg ");
}

} // namespace
