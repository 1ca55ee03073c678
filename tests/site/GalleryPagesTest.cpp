// Gallery pages: the template filled page by page, byte for byte.
#include "GalleryPages.h"
#include "JpegFixtures.h"
#include "SiteError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace pixelnook;
using fixtures::ReadText;
using fixtures::TempDir;
using fixtures::WriteText;

namespace {

class GalleryPagesTest : public ::testing::Test {
protected:
    GalleryPagesTest()
    {
        settings.SiteFolder = site.str();
        templatePath = (dir.path() / "template.html").string();
    }

    void UsePictures(size_t n)
    {
        pictures.clear();
        for (size_t i = 1; i <= n; ++i)
            pictures.push_back({"p" + std::to_string(i) + ".jpg", "/photos/"});
    }

    int Write(const std::string &templateText)
    {
        WriteText(templatePath, templateText);
        return WriteGalleryPages(settings, pictures, templatePath);
    }

    std::string Page(int p) const { return ReadText(site.path() / ("index" + std::to_string(p) + ".html")); }
    bool PageExists(int p) const
    {
        return std::filesystem::exists(site.path() / ("index" + std::to_string(p) + ".html"));
    }

    TempDir dir;
    TempDir site;
    SiteSettings settings;
    PictureList pictures;
    std::string templatePath;
};

std::string OffLink(const std::string &name)
{
    return "<a href=\"images/" + name + "\"><img src=\"thumbnails/tn" + name + "\" border=\"0\"></a>";
}

// The pictures a page links to, in order, as their 1-based numbers.
std::string Placed(const std::string &page)
{
    std::string out;
    size_t at = 0;
    while ((at = page.find("<a href=\"images/p", at)) != std::string::npos) {
        at += 17;
        const size_t dot = page.find('.', at);
        out += (out.empty() ? "" : ",") + page.substr(at, dot - at);
    }
    return out;
}

} // namespace

TEST_F(GalleryPagesTest, SmallSiteBytesWithImagePagesOffAndOn)
{
    const std::string templ = "<html><head><title>%title%</title>\n"
                              "<meta name=\"keywords\" content=\"%metakey%\">\n"
                              "<meta name=\"description\" content=\"%metadescrip%\">\n"
                              "</head><body><h1>%title%</h1>\n"
                              "%image% %image%\n"
                              "<p>%nextprev%</p></body></html>\n";
    settings.SiteDescription = "Line one\r\nLine two";
    pictures = {{"beach.jpg", "/a/"}, {"sea side.jpg", "/b/"}, {"R&B.jpg", "/a/"}};

    const std::string head = "<html><head><title>My Picture Site</title>\r\n"
                             "<meta name=\"keywords\" content=\"photos, family pics, holiday, christmas\">\r\n"
                             "<meta name=\"description\" content=\"Line one\r\nLine two\">\r\n"
                             "</head><body><h1>My Picture Site</h1>\r\n";

    settings.MakeImagePages = false;
    ASSERT_EQ(Write(templ), 2);
    EXPECT_EQ(Page(1), head +
                           "<a href=\"images/beach.jpg\"><img src=\"thumbnails/tnbeach.jpg\" border=\"0\"></a> "
                           "<a href=\"images/sea%20side.jpg\"><img src=\"thumbnails/tnsea%20side.jpg\" border=\"0\"></a>\r\n"
                           "<p><a href=\"index2.html\">Next</a></p></body></html>\r\n");
    EXPECT_EQ(Page(2), head +
                           "<a href=\"images/R%26B.jpg\"><img src=\"thumbnails/tnR%26B.jpg\" border=\"0\"></a> \r\n"
                           "<p><a href=\"index1.html\">Previous</a></p></body></html>\r\n");

    settings.MakeImagePages = true;
    settings.ImagePagesFolderName = "pages";
    settings.ThumbnailsFolderName = "small";
    settings.ThumbnailPrefix = "t_";
    ASSERT_EQ(Write(templ), 2);
    EXPECT_EQ(Page(1), head +
                           "<a href=\"pages/imagepage1.html\"><img src=\"small/t_beach.jpg\" border=\"0\"></a> "
                           "<a href=\"pages/imagepage2.html\"><img src=\"small/t_sea%20side.jpg\" border=\"0\"></a>\r\n"
                           "<p><a href=\"index2.html\">Next</a></p></body></html>\r\n");
    EXPECT_EQ(Page(2), head +
                           "<a href=\"pages/imagepage3.html\"><img src=\"small/t_R%26B.jpg\" border=\"0\"></a> \r\n"
                           "<p><a href=\"index1.html\">Previous</a></p></body></html>\r\n");
}

struct PaginationCase {
    size_t N;
    int m;
    std::vector<std::string> placed;     // per page
    std::vector<std::string> navigation; // per page
};

class PaginationTest : public GalleryPagesTest, public ::testing::WithParamInterface<PaginationCase> {};

TEST_P(PaginationTest, PagesHoldConsecutivePicturesAndLinkEachOther)
{
    const PaginationCase &c = GetParam();
    UsePictures(c.N);
    std::string templ = "<body>\n";
    for (int i = 0; i < c.m; ++i)
        templ += "[%image%]";
    templ += "\n<nav>%nextprev%</nav>";
    ASSERT_EQ(Write(templ), static_cast<int>(c.placed.size()));
    for (size_t p = 1; p <= c.placed.size(); ++p) {
        SCOPED_TRACE("page " + std::to_string(p));
        const std::string page = Page(static_cast<int>(p));
        EXPECT_EQ(Placed(page), c.placed[p - 1]);
        EXPECT_EQ(page.substr(page.find("<nav>")), "<nav>" + c.navigation[p - 1] + "</nav>");
        EXPECT_EQ(page.find("%image%"), std::string::npos);
    }
    EXPECT_FALSE(PageExists(static_cast<int>(c.placed.size()) + 1));
}

const std::string kNext2 = "<a href=\"index2.html\">Next</a>";
const std::string kMiddle2 = "<a href=\"index1.html\">Previous</a> <a href=\"index3.html\">Next</a>";
const std::string kLast3 = "<a href=\"index2.html\">Previous</a>";
const std::string kLast2 = "<a href=\"index1.html\">Previous</a>";

INSTANTIATE_TEST_SUITE_P(
    Pages, PaginationTest,
    ::testing::Values(
        PaginationCase{25, 10,
                       {"1,2,3,4,5,6,7,8,9,10", "11,12,13,14,15,16,17,18,19,20", "21,22,23,24,25"},
                       {kNext2, kMiddle2, kLast3}},
        PaginationCase{20, 10, {"1,2,3,4,5,6,7,8,9,10", "11,12,13,14,15,16,17,18,19,20"}, {kNext2, kLast2}},
        PaginationCase{10, 10, {"1,2,3,4,5,6,7,8,9,10"}, {""}},
        PaginationCase{2, 5, {"1,2"}, {""}},
        PaginationCase{3, 1, {"1", "2", "3"}, {kNext2, kMiddle2, kLast3}}),
    // "25Pictures10APage": the pictures and the template's places for them.
    [](const auto &info) {
        return std::to_string(info.param.N) + "Pictures" + std::to_string(info.param.m) + "APage";
    });

TEST_F(GalleryPagesTest, SurplusPlaceholdersOfTheLastPageVanish)
{
    UsePictures(25);
    ASSERT_EQ(Write("%image%|%image%|%image%|%image%|%image%|%image%|%image%|%image%|%image%|%image%"), 3);
    EXPECT_EQ(Page(3), OffLink("p21.jpg") + "|" + OffLink("p22.jpg") + "|" + OffLink("p23.jpg") + "|" +
                           OffLink("p24.jpg") + "|" + OffLink("p25.jpg") + "|||||");
}

TEST_F(GalleryPagesTest, PlaceholdersInAnotherLetterCaseStay)
{
    UsePictures(1);
    const std::string others = "%Title% %TITLE% %MetaKey% %METADESCRIP% %Image% %IMAGE% %NextPrev% %NEXTPREV%";
    ASSERT_EQ(Write(others + " %image%"), 1);
    EXPECT_EQ(Page(1), others + " " + OffLink("p1.jpg"));
}

TEST_F(GalleryPagesTest, OnlyTheFirstKeywordsDescriptionAndNavigationAreFilled)
{
    UsePictures(2);
    settings.SiteKeywords = "K";
    settings.SiteDescription = "D";
    ASSERT_EQ(Write("%nextprev%|%metakey%|%metadescrip%|%image%|%metadescrip%|%metakey%|%nextprev%"), 2);
    EXPECT_EQ(Page(1), kNext2 + "|K|D|" + OffLink("p1.jpg") + "|%metadescrip%|%metakey%|%nextprev%");
    EXPECT_EQ(Page(2), kLast2 + "|K|D|" + OffLink("p2.jpg") + "|%metadescrip%|%metakey%|%nextprev%");
}

TEST_F(GalleryPagesTest, EveryTitleIsFilledAndValuesSeeEarlierReplacements)
{
    UsePictures(2);
    // A site name holding "%image%" takes a picture, before the template's own.
    settings.SiteName = "Name %image%";
    ASSERT_EQ(Write("%title%|%title%|%image%"), 1);
    EXPECT_EQ(Page(1), "Name " + OffLink("p1.jpg") + "|Name " + OffLink("p2.jpg") + "|");
}

struct LineBreakCase {
    const char *name;
    std::string in;
    std::string out;
};

class LineBreakTest : public GalleryPagesTest, public ::testing::WithParamInterface<LineBreakCase> {};

TEST_P(LineBreakTest, TemplateLineBreaksBecomeCrLfAndNoneIsAdded)
{
    UsePictures(1);
    ASSERT_EQ(Write(GetParam().in), 1);
    EXPECT_EQ(Page(1), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Templates, LineBreakTest,
    ::testing::Values(
        LineBreakCase{"LfOnly", "a\n%image%\nb\n", "a\r\n" + OffLink("p1.jpg") + "\r\nb\r\n"},
        LineBreakCase{"CrOnly", "a\r%image%\rb\r", "a\r\n" + OffLink("p1.jpg") + "\r\nb\r\n"},
        LineBreakCase{"CrLf", "a\r\n%image%\r\nb", "a\r\n" + OffLink("p1.jpg") + "\r\nb"},
        LineBreakCase{"Mixed", "a\n\r%image%\r\r\nb\n\n", "a\r\n\r\n" + OffLink("p1.jpg") + "\r\n\r\nb\r\n\r\n"},
        LineBreakCase{"NoFinalBreak", "%image%</html>", OffLink("p1.jpg") + "</html>"}),
    [](const auto &info) { return info.param.name; });

struct NavigationCase {
    int page;
    size_t cursor;
    size_t n;
    std::string text;
};

TEST(NavigationTextTest, FourCases)
{
    const NavigationCase cases[] = {
        {1, 10, 25, "<a href=\"index2.html\">Next</a>"},                                        // first of several
        {2, 20, 25, "<a href=\"index1.html\">Previous</a> <a href=\"index3.html\">Next</a>"},  // middle
        {11, 110, 250, "<a href=\"index10.html\">Previous</a> <a href=\"index12.html\">Next</a>"},
        {3, 25, 25, "<a href=\"index2.html\">Previous</a>"},                                    // last of several
        {1, 10, 10, ""},                                                                        // only page
    };
    for (const auto &c : cases)
        EXPECT_EQ(NavigationText(c.page, c.cursor, c.n), c.text) << "page " << c.page;
}

struct TitleCase {
    const char *name;
    std::string siteName;
    std::string page;
    std::string expected;
};

class TitleTest : public ::testing::TestWithParam<TitleCase> {};

// Replacing "%title%" always finishes: every occurrence the page held is
// replaced once, and text the replacements bring in is left as it is.
TEST_P(TitleTest, ReplacementFinishes)
{
    std::string buffer = GetParam().page;
    ReplaceTitles(buffer, GetParam().siteName);
    EXPECT_EQ(buffer, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, TitleTest,
    ::testing::Values(
        TitleCase{"Plain", "Site", "<t>%title%</t><h1>%title%</h1>", "<t>Site</t><h1>Site</h1>"},
        TitleCase{"NameHoldsTitle", "My %title% site", "<t>%title%</t> %title%",
                  "<t>My %title% site</t> My %title% site"},
        TitleCase{"NameIsTitle", "%title%", "%title%%title%", "%title%%title%"},
        TitleCase{"OverlappingInTemplate", "X", "%title%title%", "Xtitle%"},
        // Names that form a new "%title%" with their neighbours keep it.
        TitleCase{"FormsAgainWithFollowingText", "%ti", "%title%tle%", "%title%"},
        TitleCase{"EmptyNameJoinsNeighbours", "", "%ti%title%tle%", "%title%"},
        // This name never holds "%title%" yet forms a new one with every
        // replacement, growing without end; it is replaced once per
        // occurrence the page started with.
        TitleCase{"GrowsWithoutEnd", "title%%title", "%title%%title", "title%%title%title"}),
    [](const auto &info) { return info.param.name; });

TEST_F(GalleryPagesTest, SiteNameHoldingTitleStillWritesThePages)
{
    UsePictures(3);
    settings.SiteName = "%title%";
    ASSERT_EQ(Write("<title>%title%</title>%image%%image%"), 2);
    EXPECT_EQ(Page(2), "<title>%title%</title>" + OffLink("p3.jpg"));
}

TEST_F(GalleryPagesTest, TemplateThatHoldsNoPictureIsRefusedWithoutWriting)
{
    UsePictures(2);
    EXPECT_FALSE(TemplatePlacesPictures("<html>%title% %Image%</html>", settings));
    try {
        Write("<html>%title% %Image%</html>");
        FAIL() << "expected an error";
    } catch (const SiteError &e) {
        EXPECT_EQ(std::string(e.what()), NoImagePlaceholderMessage(templatePath));
        EXPECT_NE(std::string(e.what()).find(templatePath), std::string::npos);
    }
    EXPECT_FALSE(PageExists(1));

    // A value that brings "%image%" in makes the template usable.
    settings.SiteKeywords = "%image%";
    EXPECT_TRUE(TemplatePlacesPictures("%metakey%", settings));
    EXPECT_EQ(Write("%metakey%"), 2);
}

TEST_F(GalleryPagesTest, MissingTemplateGivesTheOpenError)
{
    UsePictures(1);
    const std::string missing = (dir.path() / "gone.html").string();
    try {
        WriteGalleryPages(settings, pictures, missing);
        FAIL() << "expected an error";
    } catch (const SiteError &e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + missing + "\". No such file or directory");
    }
}

TEST_F(GalleryPagesTest, PageThatCannotBeCreatedGivesTheCreateError)
{
    UsePictures(1);
    settings.SiteFolder = (dir.path() / "no" / "such").string();
    try {
        Write("%image%");
        FAIL() << "expected an error";
    } catch (const SiteError &e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + settings.SiteFolder + "/index1.html\". No such file or directory");
    }
}

TEST(TitleSweepTest, NameThatFormsTitleForEverOnALargePageFinishes)
{
    std::string page;
    for (int i = 0; i < 500; ++i)
        page += "<td>%title%%title</td>";
    const std::string name = "title%%title";
    std::string swept = page;
    ReplaceTitles(swept, name);
    // One replacement per occurrence the page started with.
    EXPECT_EQ(swept.size(), page.size() + 500 * (name.size() - 7));
}
