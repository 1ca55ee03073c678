// Gallery pages: the template filled page by page, byte for byte.
#include "site/GalleryPages.h"
#include "site/SiteError.h"
#include "tests/support/JpegFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

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

    std::string Page(int p) const
    {
        return ReadText(site.path() / ("index" + std::to_string(p) + ".html"));
    }
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
    return "<a href=\"images/" + name + "\"><img src=\"thumbnails/tn" + name +
           "\" border=\"0\"></a>";
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

    const std::string head =
        "<html><head><title>My Picture Site</title>\r\n"
        "<meta name=\"keywords\" content=\"photos, family pics, holiday, christmas\">\r\n"
        "<meta name=\"description\" content=\"Line one\r\nLine two\">\r\n"
        "</head><body><h1>My Picture Site</h1>\r\n";

    settings.MakeImagePages = false;
    ASSERT_EQ(Write(templ), 2);
    EXPECT_EQ(
        Page(1),
        head + "<a href=\"images/beach.jpg\"><img src=\"thumbnails/tnbeach.jpg\" border=\"0\"></a> "
               "<a href=\"images/sea%20side.jpg\"><img src=\"thumbnails/tnsea%20side.jpg\" "
               "border=\"0\"></a>\r\n"
               "<p><a href=\"index2.html\">Next</a></p></body></html>\r\n");
    EXPECT_EQ(Page(2), head + "<a href=\"images/R%26B.jpg\"><img src=\"thumbnails/tnR%26B.jpg\" "
                              "border=\"0\"></a> \r\n"
                              "<p><a href=\"index1.html\">Previous</a></p></body></html>\r\n");

    settings.MakeImagePages = true;
    settings.ImagePagesFolderName = "pages";
    settings.ThumbnailsFolderName = "small";
    settings.ThumbnailPrefix = "t_";
    ASSERT_EQ(Write(templ), 2);
    EXPECT_EQ(
        Page(1),
        head + "<a href=\"pages/imagepage1.html\"><img src=\"small/t_beach.jpg\" border=\"0\"></a> "
               "<a href=\"pages/imagepage2.html\"><img src=\"small/t_sea%20side.jpg\" "
               "border=\"0\"></a>\r\n"
               "<p><a href=\"index2.html\">Next</a></p></body></html>\r\n");
    EXPECT_EQ(Page(2), head + "<a href=\"pages/imagepage3.html\"><img src=\"small/t_R%26B.jpg\" "
                              "border=\"0\"></a> \r\n"
                              "<p><a href=\"index1.html\">Previous</a></p></body></html>\r\n");
}

struct PaginationCase {
    size_t N;
    int m;
    std::vector<std::string> placed;     // per page
    std::vector<std::string> navigation; // per page
};

class PaginationTest : public GalleryPagesTest,
                       public ::testing::WithParamInterface<PaginationCase> {};

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
const std::string kMiddle2 =
    "<a href=\"index1.html\">Previous</a> <a href=\"index3.html\">Next</a>";
const std::string kLast3 = "<a href=\"index2.html\">Previous</a>";
const std::string kLast2 = "<a href=\"index1.html\">Previous</a>";

INSTANTIATE_TEST_SUITE_P(
    Pages, PaginationTest,
    ::testing::Values(
        PaginationCase{25,
                       10,
                       {"1,2,3,4,5,6,7,8,9,10", "11,12,13,14,15,16,17,18,19,20", "21,22,23,24,25"},
                       {kNext2, kMiddle2, kLast3}},
        PaginationCase{
            20, 10, {"1,2,3,4,5,6,7,8,9,10", "11,12,13,14,15,16,17,18,19,20"}, {kNext2, kLast2}},
        PaginationCase{10, 10, {"1,2,3,4,5,6,7,8,9,10"}, {""}}, PaginationCase{2, 5, {"1,2"}, {""}},
        PaginationCase{3, 1, {"1", "2", "3"}, {kNext2, kMiddle2, kLast3}}),
    // "25Pictures10APage": the pictures and the template's places for them.
    [](const auto &info) {
        return std::to_string(info.param.N) + "Pictures" + std::to_string(info.param.m) + "APage";
    });

TEST_F(GalleryPagesTest, SurplusPlaceholdersOfTheLastPageVanish)
{
    UsePictures(25);
    ASSERT_EQ(
        Write("%image%|%image%|%image%|%image%|%image%|%image%|%image%|%image%|%image%|%image%"),
        3);
    EXPECT_EQ(Page(3), OffLink("p21.jpg") + "|" + OffLink("p22.jpg") + "|" + OffLink("p23.jpg") +
                           "|" + OffLink("p24.jpg") + "|" + OffLink("p25.jpg") + "|||||");
}

TEST_F(GalleryPagesTest, PlaceholdersInAnotherLetterCaseStay)
{
    UsePictures(1);
    const std::string others =
        "%Title% %TITLE% %MetaKey% %METADESCRIP% %Image% %IMAGE% %NextPrev% %NEXTPREV%";
    ASSERT_EQ(Write(others + " %image%"), 1);
    EXPECT_EQ(Page(1), others + " " + OffLink("p1.jpg"));
}

TEST_F(GalleryPagesTest, OnlyTheFirstKeywordsDescriptionAndNavigationAreFilled)
{
    UsePictures(2);
    settings.SiteKeywords = "K";
    settings.SiteDescription = "D";
    ASSERT_EQ(
        Write("%nextprev%|%metakey%|%metadescrip%|%image%|%metadescrip%|%metakey%|%nextprev%"), 2);
    EXPECT_EQ(Page(1),
              kNext2 + "|K|D|" + OffLink("p1.jpg") + "|%metadescrip%|%metakey%|%nextprev%");
    EXPECT_EQ(Page(2),
              kLast2 + "|K|D|" + OffLink("p2.jpg") + "|%metadescrip%|%metakey%|%nextprev%");
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

class LineBreakTest : public GalleryPagesTest,
                      public ::testing::WithParamInterface<LineBreakCase> {};

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
        LineBreakCase{"Mixed", "a\n\r%image%\r\r\nb\n\n",
                      "a\r\n\r\n" + OffLink("p1.jpg") + "\r\n\r\nb\r\n\r\n"},
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
        {1, 10, 25, "<a href=\"index2.html\">Next</a>"}, // first of several
        {2, 20, 25,
         "<a href=\"index1.html\">Previous</a> <a href=\"index3.html\">Next</a>"}, // middle
        {11, 110, 250, "<a href=\"index10.html\">Previous</a> <a href=\"index12.html\">Next</a>"},
        {3, 25, 25, "<a href=\"index2.html\">Previous</a>"}, // last of several
        {1, 10, 10, ""},                                     // only page
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
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open file \"" + missing + "\". No such file or directory");
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
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + settings.SiteFolder +
                                             "/index1.html\". No such file or directory");
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

// ------------------------------------------------ filling in one pass
//
// The pages are filled in one pass from left to right, but must come out
// byte for byte as the plain rule gives them: search the whole text from its
// start, replace the first "%image%", search again from the start, until none
// is left. The plain rule is kept here as the reference.

namespace {
// The plain rule: every search from the start of the whole current text.
size_t ReplaceFromTheStartEachTime(std::string &text, const std::string &placeholder,
                                   const std::function<std::string()> &values)
{
    size_t replaced = 0;
    while (ReplaceFirst(text, placeholder, values(), 0) != std::string::npos)
        ++replaced;
    return replaced;
}

// Hands out the values in order, then empty texts; counts what was asked.
struct ValueList {
    std::vector<std::string> Values;
    size_t Asked = 0;
    std::string operator()()
    {
        return Asked < Values.size() ? Values[Asked++] : (++Asked, std::string());
    }
};

struct InTurnCase {
    const char *Name;
    std::string Text;
    std::vector<std::string> Values;
};

void PrintTo(const InTurnCase &c, std::ostream *os)
{
    *os << c.Name;
}

class ReplaceEachInTurnTest : public ::testing::TestWithParam<InTurnCase> {};

TEST_P(ReplaceEachInTurnTest, GivesWhatSearchingFromTheStartGives)
{
    const InTurnCase &c = GetParam();
    std::string expected = c.Text;
    // The reference takes a value even for its last, failed search: the
    // one-pass fill asks only for the values it puts in.
    ValueList reference{c.Values};
    const size_t expectedCount =
        ReplaceFromTheStartEachTime(expected, "%image%", std::ref(reference));
    std::string filled = c.Text;
    ValueList values{c.Values};
    EXPECT_EQ(ReplaceEachInTurn(filled, "%image%", std::ref(values)), expectedCount);
    EXPECT_EQ(filled, expected);
    EXPECT_EQ(values.Asked, expectedCount);
}

INSTANTIATE_TEST_SUITE_P(
    Tricky, ReplaceEachInTurnTest,
    ::testing::Values(
        InTurnCase{"NoPlaceholder", "<p>nothing % here %image</p>", {"A"}},
        InTurnCase{"Adjacent", "%image%%image%%image%", {"A", "B"}},
        InTurnCase{"SharingTheirPercentSigns", "%image%image%image%", {"", "", ""}},
        InTurnCase{"SharingWithValues", "%image%image%image%", {"A", "B", "C"}},
        // An empty value joins "%ima" and "ge%" into a new placeholder, which
        // the next search finds.
        InTurnCase{"FormedAcrossAnEmptyValue", "x%ima%image%ge%y", {}},
        InTurnCase{"FormedTwiceOver", "%i%ima%image%ge%mage%", {}},
        InTurnCase{"FormedAfterThePicturesRanOut", "%ima%image%ge%%image%", {"A"}},
        // Values that hold the placeholder, or form one with the text on
        // either side, are searched as the rule searches them.
        InTurnCase{"ValueHoldsThePlaceholder", "[%image%][%image%]", {"a%image%b", "c", "d"}},
        InTurnCase{"ValueHoldsItTwice", "<%image%>", {"%image%-%image%", "1", "2", "3"}},
        InTurnCase{"ValueEndsWhatTheTextBegins", "%im%image%", {"age%", "Z"}},
        InTurnCase{"ValueBeginsWhatTheTextEnds", "%image%age%", {"%im", "Z"}},
        InTurnCase{"ValueFormsOneAcrossItsOwnEnd", "%image%mage%", {"%i", "Q"}},
        InTurnCase{"CrLfAndHighBytes", "\r\n%image%\xc3\xa9%image%\r\n", {"\xe2\x82\xac", "\r\n"}},
        InTurnCase{"PlaceholderAtBothEnds", "%image%middle%image%", {"<a>", "</a>"}},
        InTurnCase{"OnlyAPercentSign", "%", {"A"}}, InTurnCase{"Empty", "", {"A"}}),
    [](const ::testing::TestParamInfo<InTurnCase> &info) { return info.param.Name; });

// Many texts and values made of the placeholder's own pieces, where
// placeholders are formed and broken at every turn.
TEST(ReplaceEachInTurnSweep, RandomPiecesGiveWhatSearchingFromTheStartGives)
{
    const std::vector<std::string> pieces = {"%",    "%i",      "%ima", "image", "ge%",
                                             "age%", "%image%", "x",    "e%",    "m"};
    uint32_t state = 12345;
    const auto next = [&](uint32_t n) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % n;
    };
    const auto piecesOf = [&](uint32_t most) {
        std::string text;
        for (uint32_t i = next(most + 1); i > 0; --i)
            text += pieces[next(static_cast<uint32_t>(pieces.size()))];
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        const std::string text = piecesOf(12);
        std::vector<std::string> values(next(5));
        for (std::string &value : values)
            value = next(3) == 0 ? std::string("<a>") : piecesOf(3);
        std::string expected = text;
        ValueList reference{values};
        ReplaceFromTheStartEachTime(expected, "%image%", std::ref(reference));
        std::string filled = text;
        ValueList inTurn{values};
        ReplaceEachInTurn(filled, "%image%", std::ref(inTurn));
        ASSERT_EQ(filled, expected) << "text \"" << text << "\", round " << round;
    }
}

// Whole pages of the old fill, step by step, against the pages written.
std::vector<std::string> ReferencePages(const SiteSettings &settings, const PictureList &pictures,
                                        const std::string &templateBytes)
{
    std::vector<std::string> pages;
    const std::string templateText = ToCrLf(templateBytes);
    const size_t N = pictures.size();
    size_t PictureCursor = 0;
    int PageNumber = 0;
    while (PictureCursor != N && pages.size() < 100) {
        ++PageNumber;
        std::string PageBuffer = templateText;
        ReplaceTitles(PageBuffer, settings.SiteName);
        ReplaceFirst(PageBuffer, "%metakey%", settings.SiteKeywords);
        ReplaceFirst(PageBuffer, "%metadescrip%", settings.SiteDescription);
        while (PageBuffer.find("%image%") != std::string::npos) {
            if (PictureCursor >= N) {
                ReplaceFirst(PageBuffer, "%image%", "");
                PictureCursor = N;
            } else {
                ReplaceFirst(PageBuffer, "%image%", PictureLink(settings, pictures, PictureCursor));
                ++PictureCursor;
            }
        }
        ReplaceFirst(PageBuffer, "%nextprev%", NavigationText(PageNumber, PictureCursor, N));
        pages.push_back(PageBuffer);
    }
    return pages;
}

struct WholePageCase {
    const char *Name;
    std::string Template;
    std::string SiteName, Keywords, Description;
    std::vector<std::string> FileNames;
    bool ImagePages;
};

void PrintTo(const WholePageCase &c, std::ostream *os)
{
    *os << c.Name;
}

class OnePassPagesTest : public GalleryPagesTest,
                         public ::testing::WithParamInterface<WholePageCase> {};

TEST_P(OnePassPagesTest, AreTheOldPagesByteForByte)
{
    const WholePageCase &c = GetParam();
    settings.SiteName = c.SiteName;
    settings.SiteKeywords = c.Keywords;
    settings.SiteDescription = c.Description;
    settings.MakeImagePages = c.ImagePages;
    pictures.clear();
    for (const std::string &name : c.FileNames)
        pictures.push_back({name, "/photos/"});
    const std::vector<std::string> expected = ReferencePages(settings, pictures, c.Template);
    ASSERT_EQ(Write(c.Template), static_cast<int>(expected.size()));
    for (size_t p = 1; p <= expected.size(); ++p)
        EXPECT_EQ(Page(static_cast<int>(p)), expected[p - 1]) << "page " << p;
}

INSTANTIATE_TEST_SUITE_P(
    Templates, OnePassPagesTest,
    ::testing::Values(WholePageCase{"Plain",
                                    "<h1>%title%</h1>\n%image%%image%\n%nextprev%\n",
                                    "Site",
                                    "k",
                                    "d",
                                    {"a.jpg", "b.jpg", "c.jpg"},
                                    false},
                      WholePageCase{
                          "ImagePagesOn",
                          "%metakey%|%metadescrip%\r%image% %image% %image%\n%nextprev%%nextprev%",
                          "S",
                          "k",
                          "d",
                          {"a.jpg", "b.jpg", "c.jpg", "d.jpg"},
                          true},
                      // The values bring placeholders in, or complete them.
                      WholePageCase{"SiteNameHoldsImage",
                                    "<t>%title%</t>%image%\n%nextprev%",
                                    "%image% and %image%",
                                    "",
                                    "",
                                    {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"},
                                    false},
                      WholePageCase{"KeywordsFinishAPlaceholder",
                                    "%ima%metakey%%image%%nextprev%",
                                    "",
                                    "ge%",
                                    "",
                                    {"a.jpg", "b.jpg"},
                                    false},
                      WholePageCase{"DescriptionStartsOne",
                                    "%metadescrip%age%%image%",
                                    "",
                                    "",
                                    "line\r\n%im",
                                    {"a.jpg", "b.jpg", "c.jpg"},
                                    true},
                      WholePageCase{"FormedOnceThePicturesRunOut",
                                    "%image%%image%%ima%image%ge%|%nextprev%",
                                    "",
                                    "",
                                    "",
                                    {"a.jpg", "b.jpg", "c.jpg"},
                                    false},
                      WholePageCase{"FileNamesWithPercentAndBlanks",
                                    "%image%\n%image%\n%nextprev%",
                                    "",
                                    "",
                                    "",
                                    {"%image%.jpg", "a b&%ima.jpg", "ge%.jpg"},
                                    true},
                      WholePageCase{"ManyPages",
                                    "%image%,%image%,%image%|%nextprev%",
                                    "",
                                    "",
                                    "",
                                    {"1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg", "6.jpg", "7.jpg",
                                     "8.jpg", "9.jpg", "10.jpg"},
                                    false}),
    [](const ::testing::TestParamInfo<WholePageCase> &info) { return info.param.Name; });

// ------------------------------------------------ the template's size

struct TemplateSizeCase {
    const char *Name;
    uint64_t Bytes;
    bool Read;
};

void PrintTo(const TemplateSizeCase &c, std::ostream *os)
{
    *os << c.Name;
}

class TemplateSizeTest : public GalleryPagesTest,
                         public ::testing::WithParamInterface<TemplateSizeCase> {};

TEST_P(TemplateSizeTest, UpToTheLimitIsReadAndBeyondIsRefusedByName)
{
    const TemplateSizeCase &c = GetParam();
    WriteText(templatePath, "%image%");
    std::filesystem::resize_file(templatePath, c.Bytes);
    if (c.Read) {
        EXPECT_EQ(ReadTemplate(templatePath).size(), c.Bytes);
        return;
    }
    try {
        ReadTemplate(templatePath);
        FAIL() << "read a template of " << c.Bytes << " bytes";
    } catch (const SiteError &e) {
        EXPECT_EQ(std::string(e.what()),
                  "The template \"" + templatePath + "\" is larger than 16 MiB");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, TemplateSizeTest,
    ::testing::Values(TemplateSizeCase{"Small", 7, true},
                      TemplateSizeCase{"AtTheLimit", kMaxTemplateBytes, true},
                      TemplateSizeCase{"OneByteOver", kMaxTemplateBytes + 1, false},
                      TemplateSizeCase{"FarOver", uint64_t(200) << 20, false}),
    [](const ::testing::TestParamInfo<TemplateSizeCase> &info) { return info.param.Name; });

// A device or pipe is refused by name, never read without end or waited on.
TEST_F(GalleryPagesTest, TemplateThatIsNoRegularFileIsRefusedByName)
{
    const std::string fifo = (dir.path() / "pipe.html").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string &path : {std::string("/dev/zero"), fifo}) {
        try {
            ReadTemplate(path);
            ADD_FAILURE() << "read " << path;
        } catch (const SiteError &e) {
            EXPECT_EQ(std::string(e.what()),
                      "Cannot open file \"" + path + "\". Not a regular file");
        }
    }
}

} // namespace
