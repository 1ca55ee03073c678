// Link values in the pages: what a URL path may not hold is percent-encoded.
#include "site/SiteLayout.h"

#include <gtest/gtest.h>

using namespace pixelnook;

namespace {

struct EncodeCase {
    const char *name;
    std::string text;
    std::string encoded;
};

class UrlPathEncodeTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(UrlPathEncodeTest, KeepsUnreservedAndSlashEncodesEveryOtherByte)
{
    EXPECT_EQ(UrlPathEncode(GetParam().text), GetParam().encoded);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UrlPathEncodeTest,
    ::testing::Values(
        EncodeCase{"Empty", "", ""},
        EncodeCase{"PlainNameUnchanged", "Beach-2024_01.JPG", "Beach-2024_01.JPG"},
        EncodeCase{"TildeAndSlashesUnchanged", "~ann/pics/full/a.jpg", "~ann/pics/full/a.jpg"},
        EncodeCase{"DotSegmentsUnchanged", "../images/a.jpg", "../images/a.jpg"},
        EncodeCase{"Space", "with space.jpg", "with%20space.jpg"},
        EncodeCase{"FragmentMark", "a#1.jpg", "a%231.jpg"},
        EncodeCase{"PercentIsEncodedAgain", "50%.jpg", "50%25.jpg"},
        EncodeCase{"EncodedLookingTextIsNotTrusted", "a%20b", "a%2520b"},
        EncodeCase{"AttributeBreakers", "R&D \"x\" <b>'y'", "R%26D%20%22x%22%20%3Cb%3E%27y%27"},
        EncodeCase{"QueryAndOtherDelimiters", "a?b:c;d=e+f,g@h!$*()[]",
                   "a%3Fb%3Ac%3Bd%3De%2Bf%2Cg%40h%21%24%2A%28%29%5B%5D"},
        EncodeCase{"Backslash", "a\\b", "a%5Cb"},
        EncodeCase{"Utf8BytesUpperCaseHex", "café 日本.jpg", "caf%C3%A9%20%E6%97%A5%E6%9C%AC.jpg"},
        EncodeCase{"ControlAndHighBytes", std::string("\x01\x1f\x7f\xff", 4), "%01%1F%7F%FF"},
        EncodeCase{"NulByte", std::string("a\0b", 3), "a%00b"}),
    [](const auto &info) { return info.param.name; });

// The links of one picture with folder names and a prefix that need
// encoding: each is a path part like the file name.
TEST(SiteLayoutLinks, FolderNamesAndPrefixAreEncodedLikeTheFileName)
{
    SiteSettings settings;
    settings.SiteFolder = "/home/ann/my site";
    settings.ImagesFolderName = "big pics";
    settings.ThumbnailsFolderName = "small&co";
    settings.ImagePagesFolderName = "pages #1";
    settings.ThumbnailPrefix = "t n";
    const PictureEntry picture{"a b.jpg", "/photos/"};
    EXPECT_EQ(CopyLinkFromGallery(settings, picture), "big%20pics/a%20b.jpg");
    EXPECT_EQ(ThumbnailLinkFromGallery(settings, picture), "small%26co/t%20na%20b.jpg");
    EXPECT_EQ(ImagePageLinkFromGallery(settings, 12), "pages%20%231/imagepage12.html");
    EXPECT_EQ(CopyLinkFromImagePage(settings, picture), "../big%20pics/a%20b.jpg");
    // Files on disk keep their names.
    EXPECT_EQ(CopyPath(settings, picture), "/home/ann/my site/big pics/a b.jpg");
    EXPECT_EQ(ThumbnailPath(settings, picture), "/home/ann/my site/small&co/t na b.jpg");
    EXPECT_EQ(ImagePagePath(settings, 12), "/home/ann/my site/pages #1/imagepage12.html");
    EXPECT_EQ(GalleryPagePath(settings.SiteFolder, 3), "/home/ann/my site/index3.html");
}

} // namespace
