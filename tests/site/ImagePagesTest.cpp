// Image pages: twelve fixed lines per picture, CR LF after each.
#include "site/ImagePages.h"
#include "site/SiteError.h"
#include "tests/support/JpegFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pixelnook;
using fixtures::ReadText;
using fixtures::TempDir;

namespace {

class ImagePagesTest : public ::testing::Test {
protected:
    ImagePagesTest()
    {
        settings.SiteFolder = site.str();
        std::filesystem::create_directory(site.path() / "imagepages");
    }
    std::string Page(int k) const
    {
        return ReadText(site.path() / "imagepages" / ("imagepage" + std::to_string(k) + ".html"));
    }

    TempDir site;
    SiteSettings settings;
};

} // namespace

TEST_F(ImagePagesTest, DefaultSettingsPageBytes)
{
    const PictureList pictures = {{"a.jpg", "/x/"}, {"b.jpg", "/y/"}, {"beach.jpg", "/z/"}};
    WriteImagePages(settings, pictures);
    EXPECT_EQ(Page(3),
              "<html>\r\n"
              "<Head>\r\n"
              "<Title>My Picture Site</title>\r\n"
              "photos, family pics, holiday, christmas\r\n"
              "My pictures of me and my family at the beach side - christmas last year.\r\n"
              "<META NAME=\"ROBOTS\" CONTENT = \"All\">\r\n"
              "</Head>\r\n"
              "<body>\r\n"
              "<p>\r\n"
              "<img src=\"../images/beach.jpg\">\r\n"
              "<p>\r\n"
              "</body></html>\r\n");
    EXPECT_NE(Page(1).find("<img src=\"../images/a.jpg\">\r\n"), std::string::npos);
    EXPECT_NE(Page(2).find("<img src=\"../images/b.jpg\">\r\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(site.path() / "imagepages" / "imagepage4.html"));
}

// Values in the head are written as they stand; the picture's link is
// percent-encoded, folder name included.
TEST_F(ImagePagesTest, HeadValuesUnchangedAndTheLinkEncoded)
{
    settings.SiteName = "Tom & Jerry <3";
    settings.SiteKeywords = "";
    settings.SiteDescription = "first line\r\nsecond line";
    settings.ImagesFolderName = "big pics";
    settings.ImagePagesFolderName = "pp";
    std::filesystem::create_directory(site.path() / "pp");
    WriteImagePages(settings, {{"R&B café.jpg", "/m/"}});
    EXPECT_EQ(ReadText(site.path() / "pp" / "imagepage1.html"),
              "<html>\r\n<Head>\r\n<Title>Tom & Jerry <3</title>\r\n\r\n"
              "first line\r\nsecond line\r\n"
              "<META NAME=\"ROBOTS\" CONTENT = \"All\">\r\n</Head>\r\n<body>\r\n<p>\r\n"
              "<img src=\"../big%20pics/R%26B%20caf%C3%A9.jpg\">\r\n<p>\r\n</body></html>\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(site.path() / "pp"),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(ImagePagesTest, PageThatCannotBeCreatedStopsWithTheCreateError)
{
    settings.ImagePagesFolderName = "missing";
    try {
        WriteImagePages(settings, {{"a.jpg", "/x/"}});
        FAIL() << "expected an error";
    } catch (const SiteError &e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + site.str() +
                      "/missing/imagepage1.html\". No such file or directory");
    }
}
