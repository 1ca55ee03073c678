// Web-ready copies and location removal: the copies are read back with
// Exiv2 and decoded, and no private tag may survive; the default build's
// copies stay the pictures' own bytes.
#include "site/WebCopy.h"
#include "site/BuildSite.h"
#include "site/SiteError.h"
#include "tests/support/JpegFixtures.h"

#include <exiv2/exiv2.hpp>
#include <gtest/gtest.h>
#include <vips/vips.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>

using namespace pixelnook;
using fixtures::ReadFile;
using fixtures::ReadText;
using fixtures::TempDir;
using fixtures::WriteFile;
using fixtures::WriteText;
namespace fs = std::filesystem;

namespace {

// Written into every private value, so that the copies' bytes can be
// searched for any trace of one, whatever the tag.
const std::string kSecret = "SECRET-4711";

const char kDate[] = "2024:07:14 18:30:05";
const char kArtist[] = "Ann Example";
const char kCopyright[] = "(c) 2024 Ann Example";

using TagEdit = std::function<void(Exiv2::Image &)>;

// The picture with its metadata changed by Exiv2.
std::vector<unsigned char> Tagged(const std::vector<unsigned char> &jpeg, const TagEdit &edit)
{
    auto image = Exiv2::ImageFactory::open(jpeg.data(), static_cast<long>(jpeg.size()));
    image->readMetadata();
    edit(*image);
    image->writeMetadata();
    Exiv2::BasicIo &io = image->io();
    io.seek(0, Exiv2::BasicIo::beg);
    std::vector<unsigned char> out(io.size());
    io.read(out.data(), static_cast<long>(out.size()));
    return out;
}

// The public tags every tagged picture carries, and the camera.
void PublicTags(Exiv2::Image &image)
{
    Exiv2::ExifData &exif = image.exifData();
    exif["Exif.Photo.DateTimeOriginal"] = std::string(kDate);
    exif["Exif.Image.Artist"] = std::string(kArtist);
    exif["Exif.Image.Copyright"] = std::string(kCopyright);
    exif["Exif.Image.Make"] = std::string("Examplecam");
    exif["Exif.Image.Model"] = std::string("X100");
}

// Every key of the file's Exif, XMP and IPTC data.
std::set<std::string> Keys(const std::vector<unsigned char> &jpeg)
{
    auto image = Exiv2::ImageFactory::open(jpeg.data(), static_cast<long>(jpeg.size()));
    image->readMetadata();
    std::set<std::string> keys;
    for (const auto &d : image->exifData())
        keys.insert(d.key());
    for (const auto &d : image->xmpData())
        keys.insert(d.key());
    for (const auto &d : image->iptcData())
        keys.insert(d.key());
    return keys;
}

std::string ExifValue(const std::vector<unsigned char> &jpeg, const char *key)
{
    auto image = Exiv2::ImageFactory::open(jpeg.data(), static_cast<long>(jpeg.size()));
    image->readMetadata();
    const auto found = image->exifData().findKey(Exiv2::ExifKey(key));
    return found == image->exifData().end() ? std::string() : found->toString();
}

bool Contains(const std::vector<unsigned char> &bytes, const std::string &text)
{
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

// Everything of a JPEG stream but its APPn and comment segments: the
// tables, the frame and the coded scans.
std::vector<unsigned char> ImageData(const std::vector<unsigned char> &jpeg)
{
    std::vector<unsigned char> out;
    size_t i = 2;
    while (i + 4 <= jpeg.size() && jpeg[i] == 0xFF) {
        const unsigned char m = jpeg[i + 1];
        const size_t length = 2 + (static_cast<size_t>(jpeg[i + 2]) << 8 | jpeg[i + 3]);
        if (m == 0xDA) {
            out.insert(out.end(), jpeg.begin() + static_cast<long>(i), jpeg.end());
            return out;
        }
        if (!((m >= 0xE0 && m <= 0xEF) || m == 0xFE))
            out.insert(out.end(), jpeg.begin() + static_cast<long>(i),
                       jpeg.begin() + static_cast<long>(std::min(i + length, jpeg.size())));
        i += length;
    }
    ADD_FAILURE() << "no scan found";
    return out;
}

class WebSiteTest : public ::testing::Test {
protected:
    WebSiteTest()
    {
        site = root.path() / "site";
        photos = root.path() / "photos";
        fs::create_directories(photos);
        settings.SiteFolder = site.string();
        settings.ThumbnailSize = "16"; // small pictures make thumbnails too
        const std::string templatePath = (root.path() / "gallery.html").string();
        WriteText(templatePath, "<h1>%title%</h1>\n%image%%image%\n%nextprev%\n");
        choice.TemplateSelected = "true";
        choice.TemplatePath = templatePath;
    }

    void AddPhoto(const std::string &name, const std::vector<unsigned char> &bytes)
    {
        WriteFile(photos / name, bytes);
        pictures.push_back({name, photos.string() + "/"});
    }

    BuildResult Build(const BuildOptions &options = {})
    {
        BuildObserverStub observer;
        return BuildSite(settings, pictures, choice, observer, options);
    }

    std::vector<unsigned char> Copy(const std::string &name) const
    {
        return ReadFile(site / "images" / name);
    }

    struct BuildObserverStub : BuildObserver {
        void Progress(const BuildProgress &) override {}
    };

    TempDir root;
    fs::path site;
    fs::path photos;
    SiteSettings settings;
    PictureList pictures;
    TemplateChoice choice;
};

// ---- private metadata, a table of tagged pictures

struct TaggedCase {
    const char *name;
    TagEdit edit;
    bool location;                      // it tells where it was taken
    std::vector<std::string> forbidden; // key prefixes no copy may hold
};

std::vector<TaggedCase> TaggedCases()
{
    const fixtures::JpegSpec small;
    return {
        {"GpsInExif",
         [](Exiv2::Image &im) {
             Exiv2::ExifData &exif = im.exifData();
             exif["Exif.GPSInfo.GPSVersionID"] = std::string("2 3 0 0");
             exif["Exif.GPSInfo.GPSLatitudeRef"] = std::string("N");
             exif["Exif.GPSInfo.GPSLatitude"] = std::string("48/1 51/1 2400/100");
             exif["Exif.GPSInfo.GPSLongitudeRef"] = std::string("E");
             exif["Exif.GPSInfo.GPSLongitude"] = std::string("2/1 21/1 300/100");
             exif["Exif.GPSInfo.GPSAreaInformation"] = std::string("charset=Ascii " + kSecret);
         },
         true,
         {"Exif.GPSInfo.", "Exif.Image.GPSTag"}},
        {"GpsInXmp",
         [](Exiv2::Image &im) {
             im.xmpData()["Xmp.exif.GPSLatitude"] = "48,51.4" + kSecret + "N";
             im.xmpData()["Xmp.exif.GPSLongitude"] = std::string("2,21.05E");
         },
         true,
         {"Xmp.exif.GPS"}},
        {"PlaceInXmpAndIptc",
         [](Exiv2::Image &im) {
             im.xmpData()["Xmp.photoshop.City"] = "Paris " + kSecret;
             im.xmpData()["Xmp.iptc.Location"] = std::string("Montmartre");
             im.iptcData()["Iptc.Application2.City"] = "Paris " + kSecret;
             im.iptcData()["Iptc.Application2.CountryName"] = std::string("France");
         },
         true,
         {"Xmp.photoshop.City", "Xmp.iptc.Location", "Iptc.Application2.City",
          "Iptc.Application2.CountryName"}},
        {"SerialNumbersAndOwner",
         [](Exiv2::Image &im) {
             Exiv2::ExifData &exif = im.exifData();
             exif["Exif.Photo.BodySerialNumber"] = "B" + kSecret;
             exif["Exif.Photo.LensSerialNumber"] = "L" + kSecret;
             exif["Exif.Image.CameraSerialNumber"] = "C" + kSecret;
             exif["Exif.Photo.CameraOwnerName"] = "Owner " + kSecret;
             im.xmpData()["Xmp.aux.SerialNumber"] = "X" + kSecret;
         },
         false,
         {"Exif.Photo.BodySerialNumber", "Exif.Photo.LensSerialNumber",
          "Exif.Image.CameraSerialNumber", "Exif.Photo.CameraOwnerName", "Xmp.aux.SerialNumber"}},
        {"MakerNote",
         [](Exiv2::Image &im) {
             const std::string note = "Examplecam\0\0" + kSecret;
             Exiv2::DataValue value(reinterpret_cast<const Exiv2::byte *>(note.data()),
                                    static_cast<long>(note.size()), Exiv2::invalidByteOrder,
                                    Exiv2::undefined);
             im.exifData().add(Exiv2::ExifKey("Exif.Photo.MakerNote"), &value);
         },
         false,
         {"Exif.Photo.MakerNote", "Exif.MakerNote."}},
        {"ExifThumbnail",
         [small](Exiv2::Image &im) {
             std::vector<unsigned char> thumbnail = fixtures::MakeJpeg(small);
             thumbnail =
                 fixtures::WithMarkers(thumbnail, {[] {
                                           std::vector<unsigned char> com = {0xFF, 0xFE, 0, 0};
                                           com.insert(com.end(), kSecret.begin(), kSecret.end());
                                           com[3] = static_cast<unsigned char>(com.size() - 2);
                                           return com;
                                       }()});
             Exiv2::ExifThumb(im.exifData())
                 .setJpegThumbnail(thumbnail.data(), static_cast<long>(thumbnail.size()));
         },
         false,
         {"Exif.Thumbnail."}},
    };
}

class TaggedPictureTest : public WebSiteTest, public ::testing::WithParamInterface<TaggedCase> {
protected:
    // The picture with the public tags and the case's private ones.
    std::vector<unsigned char> Photo()
    {
        fixtures::JpegSpec spec;
        spec.Width = 96;
        spec.Height = 64;
        return Tagged(fixtures::MakeJpeg(spec), [&](Exiv2::Image &im) {
            PublicTags(im);
            GetParam().edit(im);
        });
    }

    void ExpectNothingPrivate(const std::vector<unsigned char> &copy)
    {
        EXPECT_FALSE(Contains(copy, kSecret));
        for (const std::string &key : Keys(copy))
            for (const std::string &prefix : GetParam().forbidden)
                EXPECT_NE(key.compare(0, prefix.size(), prefix), 0) << key << " survived";
        auto image = Exiv2::ImageFactory::open(copy.data(), static_cast<long>(copy.size()));
        image->readMetadata();
        EXPECT_EQ(Exiv2::ExifThumbC(image->exifData()).copy().size_, 0)
            << "an Exif thumbnail survived";
    }
};

TEST_P(TaggedPictureTest, FixtureHoldsWhatItShould)
{
    const std::vector<unsigned char> photo = Photo();
    EXPECT_TRUE(Contains(photo, kSecret));
    const std::set<std::string> keys = Keys(photo);
    bool found = false;
    for (const std::string &key : keys)
        for (const std::string &prefix : GetParam().forbidden)
            found = found || key.compare(0, prefix.size(), prefix) == 0;
    EXPECT_TRUE(found) << "the fixture carries none of the tags the case is about";
}

TEST_P(TaggedPictureTest, WebReadyCopyKeepsOnlyDateArtistAndCopyright)
{
    settings.WebReady = true;
    AddPhoto("p.jpg", Photo());
    const BuildResult result = Build();
    const std::vector<unsigned char> copy = Copy("p.jpg");
    ExpectNothingPrivate(copy);
    const std::set<std::string> allowed = {"Exif.Image.ExifTag", "Exif.Photo.DateTimeOriginal",
                                           "Exif.Image.Artist", "Exif.Image.Copyright"};
    for (const std::string &key : Keys(copy))
        EXPECT_EQ(allowed.count(key), 1u) << key << " is not a tag a web copy keeps";
    EXPECT_EQ(ExifValue(copy, "Exif.Photo.DateTimeOriginal"), kDate);
    EXPECT_EQ(ExifValue(copy, "Exif.Image.Artist"), kArtist);
    EXPECT_EQ(ExifValue(copy, "Exif.Image.Copyright"), kCopyright);
    EXPECT_EQ(
        result.WebLine.rfind(
            GetParam().location ? "Location removed from 1 picture; pictures " : "Pictures ", 0),
        0u)
        << result.WebLine;
}

TEST_P(TaggedPictureTest, StrippedCopyKeepsImageDataAndPublicTags)
{
    settings.StripLocation = true;
    const std::vector<unsigned char> photo = Photo();
    AddPhoto("p.jpg", photo);
    const BuildResult result = Build();
    const std::vector<unsigned char> copy = Copy("p.jpg");
    ExpectNothingPrivate(copy);
    EXPECT_EQ(ImageData(copy), ImageData(photo));
    EXPECT_EQ(ExifValue(copy, "Exif.Image.Make"), "Examplecam");
    EXPECT_EQ(ExifValue(copy, "Exif.Photo.DateTimeOriginal"), kDate);
    EXPECT_EQ(ExifValue(copy, "Exif.Image.Artist"), kArtist);
    EXPECT_EQ(result.WebLine, GetParam().location ? "Location removed from 1 picture" : "");
    EXPECT_FALSE(fs::exists(site / "index.html"));
}

TEST_P(TaggedPictureTest, DefaultCopyIsThePictureAndSaysWhereItWasTaken)
{
    const std::vector<unsigned char> photo = Photo();
    AddPhoto("p.jpg", photo);
    const BuildResult result = Build();
    EXPECT_EQ(Copy("p.jpg"), photo);
    EXPECT_EQ(result.WebLine,
              GetParam().location ? "1 picture publishes the place it was taken" : "");
    EXPECT_FALSE(fs::exists(site / "index.html"));
}

INSTANTIATE_TEST_SUITE_P(Private, TaggedPictureTest, ::testing::ValuesIn(TaggedCases()),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- upright, scaled, sRGB

// A 64 x 32 picture of four flat quarters: red, green / blue, white.
std::vector<unsigned char> Quarters(int orientation)
{
    fixtures::JpegSpec spec;
    spec.Width = 64;
    spec.Height = 32;
    spec.Quality = 95;
    spec.Pixels.resize(64 * 32 * 3);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            static const unsigned char colours[4][3] = {
                {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
            const unsigned char *c = colours[(y >= 16) * 2 + (x >= 32)];
            std::copy(c, c + 3, spec.Pixels.begin() + (y * 64 + x) * 3);
        }
    spec.App1 = fixtures::ExifBody(orientation, orientation % 2 == 0);
    return fixtures::MakeJpeg(spec);
}

struct OrientationCase {
    const char *name;
    int orientation;
    const char *corners; // top left, top right, bottom left, bottom right as shown
};

class OrientationTest : public WebSiteTest,
                        public ::testing::WithParamInterface<OrientationCase> {};

TEST_P(OrientationTest, CopyIsUprightAndHasNoOrientation)
{
    const OrientationCase &c = GetParam();
    settings.WebReady = true;
    settings.WebSize = 32; // shrinks the picture by half, too
    AddPhoto("q.jpg", Quarters(c.orientation));
    Build();
    const std::vector<unsigned char> copy = Copy("q.jpg");
    const fixtures::RgbPicture shown = fixtures::DecodeRgb(copy);
    const bool turned = c.orientation >= 5;
    ASSERT_EQ(shown.Width, turned ? 16 : 32);
    ASSERT_EQ(shown.Height, turned ? 32 : 16);
    const auto colourAt = [&](int x, int y) {
        const unsigned char *p = &shown.Pixels[static_cast<size_t>(y * shown.Width + x) * 3];
        const auto on = [](unsigned char v) { return v > 128; };
        if (on(p[0]) && on(p[1]) && on(p[2]))
            return 'W';
        if (on(p[0]) && !on(p[1]) && !on(p[2]))
            return 'R';
        if (!on(p[0]) && on(p[1]) && !on(p[2]))
            return 'G';
        if (!on(p[0]) && !on(p[1]) && on(p[2]))
            return 'B';
        return '?';
    };
    const int w = shown.Width, h = shown.Height;
    const std::string corners = {colourAt(w / 4, h / 4), colourAt(3 * w / 4, h / 4),
                                 colourAt(w / 4, 3 * h / 4), colourAt(3 * w / 4, 3 * h / 4)};
    EXPECT_EQ(corners, c.corners);
    EXPECT_EQ(Keys(copy).count("Exif.Image.Orientation"), 0u);
}

INSTANTIATE_TEST_SUITE_P(Exif, OrientationTest,
                         ::testing::Values(OrientationCase{"Normal", 1, "RGBW"},
                                           OrientationCase{"Mirrored", 2, "GRWB"},
                                           OrientationCase{"HalfTurn", 3, "WBGR"},
                                           OrientationCase{"Flipped", 4, "BWRG"},
                                           OrientationCase{"Transposed", 5, "RBGW"},
                                           OrientationCase{"TurnedRight", 6, "BRWG"},
                                           OrientationCase{"Transversed", 7, "WGBR"},
                                           OrientationCase{"TurnedLeft", 8, "GWRB"}),
                         [](const auto &info) { return std::string(info.param.name); });

struct SizeCase {
    const char *name;
    int width, height, webSize;
    int expectWidth, expectHeight;
};

class WebSizeTest : public WebSiteTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(WebSizeTest, LongestSideIsAtMostTheWebSize)
{
    const SizeCase &c = GetParam();
    settings.WebReady = true;
    settings.WebSize = c.webSize;
    fixtures::JpegSpec spec;
    spec.Width = c.width;
    spec.Height = c.height;
    AddPhoto("s.jpg", fixtures::MakeJpeg(spec));
    Build();
    const fixtures::JpegInfo info = fixtures::InspectJpeg(Copy("s.jpg"));
    EXPECT_EQ(info.Width, c.expectWidth);
    EXPECT_EQ(info.Height, c.expectHeight);
    EXPECT_TRUE(info.Progressive);
    EXPECT_EQ(info.Components, 3);
    EXPECT_FALSE(info.HasOtherMarkers) << "a picture without tags gets no metadata";
}

INSTANTIATE_TEST_SUITE_P(Sides, WebSizeTest,
                         ::testing::Values(SizeCase{"Landscape", 600, 400, 300, 300, 200},
                                           SizeCase{"Portrait", 400, 600, 300, 200, 300},
                                           SizeCase{"OddRatio", 1000, 333, 250, 250, 83},
                                           SizeCase{"AlreadySmallIsNotEnlarged", 64, 48, 2048, 64,
                                                    48},
                                           SizeCase{"ExactlyTheSize", 300, 200, 300, 300, 200}),
                         [](const auto &info) { return std::string(info.param.name); });

// A grayscale picture stays one component, progressive, with its own
// pixels (a row of the wrong width would shear or garble them).
TEST_F(WebSiteTest, GrayPictureStaysGray)
{
    settings.WebReady = true;
    fixtures::JpegSpec spec;
    spec.Width = 96;
    spec.Height = 64;
    spec.Components = 1;
    spec.Quality = 95;
    spec.Pixels.resize(96 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x)
            spec.Pixels[y * 96 + x] = static_cast<unsigned char>(x * 2 + y);
    const std::vector<unsigned char> gray = fixtures::MakeJpeg(spec);
    AddPhoto("g.jpg", gray);
    Build();
    const std::vector<unsigned char> copy = Copy("g.jpg");
    const fixtures::JpegInfo info = fixtures::InspectJpeg(copy);
    EXPECT_EQ(info.Components, 1);
    EXPECT_TRUE(info.Progressive);
    const fixtures::RgbPicture source = fixtures::DecodeRgb(gray);
    const fixtures::RgbPicture shown = fixtures::DecodeRgb(copy);
    ASSERT_EQ(shown.Width, 96);
    ASSERT_EQ(shown.Height, 64);
    int worst = 0;
    for (size_t k = 0; k < source.Pixels.size(); ++k)
        worst = std::max(worst, std::abs(source.Pixels[k] - shown.Pixels[k]));
    EXPECT_LE(worst, 12);
}

// A picture in Display P3 comes out in sRGB: its colour as it should look,
// and no profile left.
TEST_F(WebSiteTest, WideGamutPictureIsConvertedToSrgb)
{
    ASSERT_EQ(vips_init("site_tests"), 0);
    const unsigned char srgb[3] = {40, 190, 70};
    fixtures::JpegSpec spec;
    spec.Width = 32;
    spec.Height = 32;
    spec.Quality = 100;
    spec.Pixels.resize(32 * 32 * 3);
    for (size_t i = 0; i < spec.Pixels.size(); ++i)
        spec.Pixels[i] = srgb[i % 3];
    const std::vector<unsigned char> plain = fixtures::MakeJpeg(spec);

    // The same colour expressed in Display P3, with that profile embedded.
    VipsImage *in = nullptr, *p3 = nullptr;
    void *buffer = nullptr;
    size_t length = 0;
    ASSERT_EQ(
        vips_jpegload_buffer(const_cast<unsigned char *>(plain.data()), plain.size(), &in, nullptr),
        0);
    ASSERT_EQ(vips_icc_transform(in, &p3, "p3", "input_profile", "srgb", nullptr), 0);
    ASSERT_EQ(vips_jpegsave_buffer(p3, &buffer, &length, "Q", 100, nullptr), 0);
    const std::vector<unsigned char> wide(static_cast<unsigned char *>(buffer),
                                          static_cast<unsigned char *>(buffer) + length);
    g_free(buffer);
    g_object_unref(p3);
    g_object_unref(in);
    ASSERT_TRUE(fixtures::InspectJpeg(wide).HasOtherMarkers) << "the profile was not embedded";
    const fixtures::RgbPicture stored = fixtures::DecodeRgb(wide);
    ASSERT_GT(std::abs(stored.Pixels[0] - srgb[0]), 12) << "P3 values should differ from sRGB ones";

    settings.WebReady = true;
    AddPhoto("wide.jpg", wide);
    Build();
    const std::vector<unsigned char> copy = Copy("wide.jpg");
    EXPECT_FALSE(fixtures::InspectJpeg(copy).HasOtherMarkers)
        << "a profile or other marker was left";
    const fixtures::RgbPicture shown = fixtures::DecodeRgb(copy);
    const size_t centre = (16 * 32 + 16) * 3;
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(shown.Pixels[centre + c], srgb[c], 6) << "channel " << c;
}

// ---- one decode for the thumbnail and the copy

struct SharedDecodeCase {
    const char *name;
    fixtures::JpegSpec spec;
};

std::vector<SharedDecodeCase> SharedDecodeCases()
{
    fixtures::JpegSpec base;
    base.Width = 300;
    base.Height = 200;
    std::vector<SharedDecodeCase> cases{{"Baseline", base}};
    fixtures::JpegSpec progressive = base;
    progressive.Progressive = true;
    cases.push_back({"Progressive", progressive});
    fixtures::JpegSpec turned = base;
    turned.App1 = fixtures::ExifBody(6, false);
    cases.push_back({"TurnedRight", turned});
    fixtures::JpegSpec restarts = base;
    restarts.RestartRows = 1;
    restarts.HSamp = 1;
    restarts.VSamp = 1;
    cases.push_back({"RestartsAndFullChroma", restarts});
    fixtures::JpegSpec tall = base;
    tall.Width = 37;
    tall.Height = 301;
    cases.push_back({"TallOddSides", tall});
    fixtures::JpegSpec gray = base;
    gray.Components = 1;
    cases.push_back({"Gray", gray});
    fixtures::JpegSpec small = base;
    small.Width = 90;
    small.Height = 60;
    cases.push_back({"AlreadySmall", small});
    return cases;
}

class SharedDecodeTest : public WebSiteTest,
                         public ::testing::WithParamInterface<SharedDecodeCase> {};

// The thumbnail's decode goes through every row when it also feeds the web
// copy: the thumbnail must come out byte for byte as without the copy, and
// the copy as from a decode of its own.
TEST_P(SharedDecodeTest, ThumbnailUnchangedAndCopyAsFromItsOwnDecode)
{
    const std::vector<unsigned char> photo =
        Tagged(fixtures::MakeJpeg(GetParam().spec), [](Exiv2::Image &im) { PublicTags(im); });
    AddPhoto("p.jpg", photo);
    settings.ThumbnailSize = "40";
    Build();
    const std::vector<unsigned char> plainThumbnail = ReadFile(site / "thumbnails" / "tnp.jpg");
    ASSERT_EQ(Copy("p.jpg"), photo);

    settings.WebReady = true;
    settings.WebSize = 120;
    for (unsigned workers : {1u, 2u}) {
        BuildOptions options;
        options.ThumbnailWorkers = workers;
        Build(options);
        EXPECT_EQ(ReadFile(site / "thumbnails" / "tnp.jpg"), plainThumbnail)
            << workers << " workers";
        const std::vector<unsigned char> copy = Copy("p.jpg");
        EXPECT_EQ(copy, MakeWebCopy((photos / "p.jpg").string(), 120)) << workers << " workers";
        EXPECT_EQ(ExifValue(copy, "Exif.Image.Artist"), kArtist);
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, SharedDecodeTest, ::testing::ValuesIn(SharedDecodeCases()),
                         [](const auto &info) { return std::string(info.param.name); });

// Copies are written with their thumbnails, in list order: a broken
// picture stops the build with the pictures before it complete and
// nothing of the ones after it written.
TEST_F(WebSiteTest, BrokenPictureLeavesTheCopiesBeforeItAndNoneAfter)
{
    settings.WebReady = true;
    settings.WebSize = 32;
    AddPhoto("a.jpg", fixtures::MakeJpeg({}));
    WriteText(photos / "b.jpg", "not a picture at all");
    pictures.push_back({"b.jpg", photos.string() + "/"});
    AddPhoto("c.jpg", fixtures::MakeJpeg({}));
    for (unsigned workers : {1u, 2u}) {
        fs::remove_all(site);
        BuildOptions options;
        options.ThumbnailWorkers = workers;
        EXPECT_THROW(Build(options), SiteError) << workers << " workers";
        EXPECT_EQ(fixtures::InspectJpeg(Copy("a.jpg")).Width, 32) << workers << " workers";
        EXPECT_TRUE(fs::exists(site / "thumbnails" / "tna.jpg"));
        EXPECT_FALSE(fs::exists(site / "images" / "c.jpg")) << workers << " workers";
        EXPECT_FALSE(fs::exists(site / "thumbnails" / "tnc.jpg")) << workers << " workers";
    }
}

// ---- what the build tells, and the front page

TEST_F(WebSiteTest, LineCountsLocationsAndSizes)
{
    settings.WebReady = true;
    const auto gps = [](Exiv2::Image &im) {
        im.exifData()["Exif.GPSInfo.GPSLatitude"] = std::string("1/1 2/1 3/1");
    };
    fixtures::JpegSpec spec;
    spec.Width = 400;
    spec.Height = 300;
    spec.Quality = 98;
    AddPhoto("a.jpg", Tagged(fixtures::MakeJpeg(spec), gps));
    AddPhoto("b.jpg", fixtures::MakeJpeg(spec));
    spec.Seed = 3;
    AddPhoto("c.jpg", Tagged(fixtures::MakeJpeg(spec), gps));
    settings.WebSize = 100;
    const BuildResult result = Build();
    uint64_t originals = 0, copies = 0;
    for (const char *name : {"a.jpg", "b.jpg", "c.jpg"}) {
        originals += fs::file_size(photos / name);
        copies += fs::file_size(site / "images" / name);
    }
    EXPECT_EQ(result.WebLine, "Location removed from 2 pictures; pictures " + ReadableSize(copies) +
                                  " instead of " + ReadableSize(originals));
    EXPECT_LT(copies * 5, originals);
}

TEST_F(WebSiteTest, DefaultBuildNamesHowManyPublishAPlace)
{
    const auto gps = [](Exiv2::Image &im) {
        im.xmpData()["Xmp.exif.GPSLongitude"] = std::string("2,21.05E");
    };
    for (int k = 0; k < 3; ++k) {
        fixtures::JpegSpec spec;
        spec.Seed = static_cast<uint32_t>(k + 1);
        const std::vector<unsigned char> photo = fixtures::MakeJpeg(spec);
        AddPhoto(std::to_string(k) + ".jpg", k == 1 ? photo : Tagged(photo, gps));
    }
    EXPECT_EQ(Build().WebLine, "2 pictures publish the place they were taken");
}

// An update remakes the copies when the choice changes, either way.
TEST_F(WebSiteTest, UpdateRemakesCopiesWhenTheChoiceChanges)
{
    fixtures::JpegSpec spec;
    spec.Width = 400;
    spec.Height = 300;
    const std::vector<unsigned char> photo = Tagged(fixtures::MakeJpeg(spec), [](Exiv2::Image &im) {
        im.exifData()["Exif.GPSInfo.GPSLatitude"] = std::string("1/1 2/1 3/1");
    });
    AddPhoto("a.jpg", photo);
    BuildOptions update;
    update.Update = true;
    Build(update);
    EXPECT_EQ(Copy("a.jpg"), photo);

    settings.WebReady = true;
    settings.WebSize = 100;
    Build(update);
    EXPECT_EQ(fixtures::InspectJpeg(Copy("a.jpg")).Width, 100);

    settings.WebSize = 200;
    Build(update);
    EXPECT_EQ(fixtures::InspectJpeg(Copy("a.jpg")).Width, 200);

    settings.WebReady = false;
    settings.StripLocation = true;
    Build(update);
    EXPECT_EQ(ImageData(Copy("a.jpg")), ImageData(photo));
    EXPECT_EQ(Keys(Copy("a.jpg")).count("Exif.GPSInfo.GPSLatitude"), 0u);

    settings.StripLocation = false;
    Build(update);
    EXPECT_EQ(Copy("a.jpg"), photo);
}

TEST(ReadableSizeTest, DecimalUnits)
{
    struct Case {
        uint64_t bytes;
        const char *text;
    };
    for (const Case &c :
         {Case{0, "0 KB"}, Case{1, "1 KB"}, Case{999999, "1000 KB"}, Case{1000000, "1.0 MB"},
          Case{9440000, "9.4 MB"}, Case{9960000, "10 MB"}, Case{162400000, "162 MB"}}) {
        EXPECT_EQ(ReadableSize(c.bytes), c.text) << c.bytes;
    }
}

struct FrontPageCase {
    const char *name;
    // What is at index.html before the build: "", a text, or "->" and a link target.
    std::string before;
    bool written;
};

class FrontPageTest : public WebSiteTest, public ::testing::WithParamInterface<FrontPageCase> {};

TEST_P(FrontPageTest, WrittenOnlyOverItsOwn)
{
    const FrontPageCase &c = GetParam();
    fs::create_directories(site);
    const fs::path index = site / "index.html";
    const fs::path elsewhere = root.path() / "elsewhere.html";
    if (c.before.rfind("->", 0) == 0) {
        WriteText(elsewhere, c.before.substr(2));
        fs::create_symlink(elsewhere, index);
    } else if (!c.before.empty()) {
        WriteText(index, c.before);
    }
    settings.WebReady = true;
    AddPhoto("a.jpg", fixtures::MakeJpeg({}));
    Build();
    const std::string page = ReadText(index);
    if (c.written) {
        EXPECT_NE(page.find("<meta http-equiv=\"refresh\" content=\"0; url=index1.html\">"),
                  std::string::npos);
        EXPECT_NE(page.find("<a href=\"index1.html\">"), std::string::npos);
        EXPECT_FALSE(fs::is_symlink(index));
    } else {
        EXPECT_EQ(page, c.before.rfind("->", 0) == 0 ? c.before.substr(2) : c.before);
    }
    if (c.before.rfind("->", 0) == 0) {
        EXPECT_EQ(ReadText(elsewhere), c.before.substr(2)) << "written through the link";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Index, FrontPageTest,
    ::testing::Values(
        FrontPageCase{"NoneYet", "", true},
        FrontPageCase{"OneOfOurs", "<meta name=\"generator\" content=\"Pixelnook\">\nold", true},
        FrontPageCase{"TheUsersOwn", "<h1>My own home page</h1>", false},
        FrontPageCase{"ALinkToOurs", "-><meta name=\"generator\" content=\"Pixelnook\">", false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(WebSiteTest, BrokenPictureStopsTheBuildNamingIt)
{
    settings.WebReady = true;
    AddPhoto("a.jpg", fixtures::MakeJpeg({}));
    Build();
    EXPECT_THROW(
        {
            try {
                MakeWebCopy((photos / "missing.jpg").string(), 100);
            } catch (const SiteError &e) {
                EXPECT_NE(std::string(e.what()).find("missing.jpg"), std::string::npos) << e.what();
                throw;
            }
        },
        SiteError);
    WriteText(photos / "text.jpg", "not a picture");
    try {
        MakeWebCopy((photos / "text.jpg").string(), 100);
        ADD_FAILURE() << "a text file made a web copy";
    } catch (const SiteError &e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot make the web copy of \"" +
                                                  (photos / "text.jpg").string() + "\": ",
                                              0),
                  0u)
            << e.what();
    }
}

} // namespace
