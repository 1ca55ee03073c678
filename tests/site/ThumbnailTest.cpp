// The thumbnail maker: failures and their messages, the files it writes,
// exactness against a full decode, turned pictures and the memory cap.
#include "site/Thumbnail.h"
#include "ErrorText.h"
#include "site/JpegCodec.h"
#include "site/SiteError.h"
#include "tests/support/JpegFixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <jerror.h>
#include <jpeglib.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace pixelnook;
using fixtures::JpegSpec;
using fixtures::MakeJpeg;

namespace {

const char *const kDivZero = "Floating point division by zero";
const char *const kInvalidOp = "Invalid floating point operation";
constexpr uint64_t kGiB = uint64_t(1) << 30;
constexpr uint64_t kMiB = uint64_t(1) << 20;

// ------------------------------------------------------------ fixtures

std::vector<unsigned char> Truncated(std::vector<unsigned char> bytes, double keep)
{
    bytes.resize(static_cast<size_t>(bytes.size() * keep));
    return bytes;
}

// A stream of tables only: SOI, one quantization table, EOI.
std::vector<unsigned char> TablesOnly()
{
    std::vector<unsigned char> b = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00};
    for (int i = 0; i < 64; ++i)
        b.push_back(1);
    b.push_back(0xFF);
    b.push_back(0xD9);
    return b;
}

std::vector<unsigned char> WithPrecision(std::vector<unsigned char> bytes, unsigned char precision)
{
    for (size_t i = 2; i + 4 < bytes.size();) {
        if (bytes[i + 1] == 0xC0) {
            bytes[i + 4] = precision;
            return bytes;
        }
        i += 2 + ((static_cast<size_t>(bytes[i + 2]) << 8) | bytes[i + 3]);
    }
    return bytes;
}

class ThumbnailFiles : public ::testing::Test {
protected:
    std::string Source(const std::string &name, const std::vector<unsigned char> &bytes)
    {
        const auto p = dir.path() / name;
        fixtures::WriteFile(p, bytes);
        return p.string();
    }
    std::string Target(const std::string &name = "tn_pic.jpg") const
    {
        return (dir.path() / name).string();
    }
    fixtures::TempDir dir;
};

// ------------------------------------------------------------ failures

struct FailureCase {
    const char *Name;
    std::function<std::vector<unsigned char>()> Bytes; // null: the source does not exist
    const char *Size;
    // The expected message; "@" stands for the source path.
    std::string Message;
};

std::string WithPath(std::string message, const std::string &path)
{
    const auto at = message.find('@');
    if (at != std::string::npos)
        message.replace(at, 1, path);
    return message;
}

void PrintTo(const FailureCase &c, std::ostream *os)
{
    *os << c.Name;
}

class ThumbnailFailures : public ThumbnailFiles,
                          public ::testing::WithParamInterface<FailureCase> {};

// Each failure comes with its exact message, and an older thumbnail at the
// target survives it untouched: nothing is deleted before the picture has
// been read, decoded and encoded.
TEST_P(ThumbnailFailures, ReportsAndKeepsOlderThumbnail)
{
    const FailureCase c = GetParam();
    std::string source = (dir.path() / "pic.jpg").string();
    if (c.Bytes)
        source = Source("pic.jpg", c.Bytes());
    const std::string target = Target();
    fixtures::WriteText(target, "older thumbnail");

    EXPECT_EQ(ErrorOf([&] { MakeThumbnail(source, target, c.Size, kGiB); }),
              WithPath(c.Message, source));
    EXPECT_EQ(fixtures::ReadText(target), "older thumbnail");
}

std::vector<unsigned char> Picture640()
{
    return MakeJpeg({640, 480});
}

// The table spells the "not a JPEG file" code as the message shows it.
static_assert(JERR_NO_SOI == 53, "libjpeg's message codes are those of release 6");

INSTANTIATE_TEST_SUITE_P(
    Table, ThumbnailFailures,
    ::testing::Values(
        FailureCase{"Missing", nullptr, "85", "Cannot open file \"@\". No such file or directory"},
        FailureCase{"MissingBeforeBadSize", nullptr, "85 ",
                    "Cannot open file \"@\". No such file or directory"},
        FailureCase{"NotJpeg",
                    [] {
                        const std::string t = "GIF89a not a picture";
                        return std::vector<unsigned char>(t.begin(), t.end());
                    },
                    "85", "JPEG error #53"},
        FailureCase{"NotJpegBeforeBadSize",
                    [] {
                        return std::vector<unsigned char>{'P', 'N', 'G'};
                    },
                    "px", "JPEG error #53"},
        FailureCase{"NoImage", TablesOnly, "85", "JPEG error #" + std::to_string(JERR_NO_IMAGE)},
        FailureCase{"TwelveBitPrecision", [] { return WithPrecision(Picture640(), 12); }, "85",
                    "JPEG error #" + std::to_string(JERR_BAD_PRECISION)},
        FailureCase{"Empty", [] { return std::vector<unsigned char>{}; }, "85", kInvalidOp},
        FailureCase{"EmptyBeforeBadSize", [] { return std::vector<unsigned char>{}; }, "85 ",
                    kInvalidOp},
        FailureCase{"TrailingBlank", Picture640, "85 ", "'85 ' is not a valid integer value"},
        FailureCase{"Units", Picture640, "85px", "'85px' is not a valid integer value"},
        FailureCase{"SizeZero", Picture640, "0", kDivZero},
        FailureCase{"ScaleFactorZero",
                    [] {
                        return MakeJpeg({120, 42});
                    },
                    "85", kDivZero},
        FailureCase{"NegativeSize", Picture640, "-85",
                    "The thumbnail size '-85' is negative; it must be a whole number of pixels, at "
                    "least 1"},
        FailureCase{"NegativeHexSize", Picture640, "$FFFFFFAB",
                    "The thumbnail size '$FFFFFFAB' is negative; it must be a whole number of "
                    "pixels, at least 1"},
        FailureCase{"Cmyk",
                    [] {
                        JpegSpec s{64, 48};
                        s.Components = 4;
                        return MakeJpeg(s);
                    },
                    "20",
                    "Cannot make a thumbnail of \"@\": pictures with four colour components (CMYK "
                    "or YCCK) are not supported"},
        // A few hundred bytes claiming 65500 x 65500 progressive: the library
        // would need gigabytes of coefficients.
        FailureCase{
            "HugeProgressive",
            [] {
                JpegSpec s{64, 48};
                s.Progressive = true;
                return fixtures::WithFrameSize(MakeJpeg(s), 65500, 65500);
            },
            "85",
            "Cannot make a thumbnail of \"@\": decoding it would need more than 1 GiB of memory"},
        // A thumbnail of 40000 x 40000 pixels would take 4.8 GB as a raster.
        FailureCase{
            "HugeThumbnail",
            [] {
                return fixtures::WithFrameSize(MakeJpeg({16, 16}), 40000, 40000);
            },
            "40000",
            "Cannot make a thumbnail of \"@\": at 40000 x 40000 pixels it would be too large "
            "(at most 65500 pixels a side and 1 GiB in all)"}),
    [](const ::testing::TestParamInfo<FailureCase> &info) { return info.param.Name; });

TEST_F(ThumbnailFiles, TargetThatCannotBeCreated)
{
    const std::string source = Source("pic.jpg", MakeJpeg({64, 48}));
    const std::string target = (dir.path() / "missing" / "tn_pic.jpg").string();
    EXPECT_EQ(ErrorOf([&] { MakeThumbnail(source, target, "20"); }),
              "Cannot create file \"" + target + "\". No such file or directory");
}

TEST_F(ThumbnailFiles, EncodingFailureLeavesTargetCreatedAndEmpty)
{
    const std::string target = Target();
    fixtures::WriteText(target, "older thumbnail");
    PreparedThumbnail failed;
    failed.Jpeg = {1, 2, 3};
    failed.EncodeError = "JPEG error #42";
    EXPECT_EQ(ErrorOf([&] { WriteThumbnail(target, failed); }), "JPEG error #42");
    EXPECT_TRUE(std::filesystem::exists(target));
    EXPECT_EQ(std::filesystem::file_size(target), 0u);
}

// ------------------------------------------------------------ output

TEST_F(ThumbnailFiles, ReplacesOlderThumbnailWithJfifOnlyStream)
{
    // The source carries Exif, another APP segment and a comment: none of
    // them may reach the thumbnail.
    const std::vector<unsigned char> exif = {0xFF, 0xE1, 0x00, 0x0A, 'E', 'x',
                                             'i',  'f',  0,    0,    'M', 'M'};
    const std::vector<unsigned char> app2 = {0xFF, 0xE2, 0x00, 0x06, 'I', 'C', 'C', 0};
    const std::vector<unsigned char> comment = {0xFF, 0xFE, 0x00, 0x06, 'h', 'e', 'l', 'o'};
    const std::string source =
        Source("pic.jpg", fixtures::WithMarkers(MakeJpeg({640, 480}), {exif, app2, comment}));
    const std::string target = Target();
    fixtures::WriteText(target, "older thumbnail");

    MakeThumbnail(source, target, "85");

    const auto bytes = fixtures::ReadFile(target);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
    EXPECT_EQ(bytes[bytes.size() - 2], 0xFF);
    EXPECT_EQ(bytes[bytes.size() - 1], 0xD9);
    const fixtures::JpegInfo info = fixtures::InspectJpeg(bytes);
    EXPECT_EQ(info.Width, 107);
    EXPECT_EQ(info.Height, 85);
    EXPECT_EQ(info.Components, 3);
    EXPECT_TRUE(info.HasJfif);
    EXPECT_FALSE(info.HasOtherMarkers);
    EXPECT_FALSE(info.Progressive);
}

TEST_F(ThumbnailFiles, CodingFollowsTheSource)
{
    for (const bool progressive : {false, true}) {
        for (const int components : {1, 3}) {
            JpegSpec spec{480, 640};
            spec.Progressive = progressive;
            spec.Components = components;
            const std::string source = Source("pic.jpg", MakeJpeg(spec));
            MakeThumbnail(source, Target(), "85");
            const fixtures::JpegInfo info = fixtures::InspectJpeg(fixtures::ReadFile(Target()));
            EXPECT_EQ(info.Progressive, progressive) << components;
            EXPECT_EQ(info.Components, 3);
            EXPECT_EQ(info.Width, 85);
            EXPECT_EQ(info.Height, 107);
        }
    }
}

TEST_F(ThumbnailFiles, GrayscalePictureGivesGrayColourThumbnail)
{
    JpegSpec spec{300, 200};
    spec.Components = 1;
    const std::string source = Source("gray.jpg", MakeJpeg(spec));
    MakeThumbnail(source, Target(), "50");
    const fixtures::RgbPicture thumb = fixtures::DecodeRgb(fixtures::ReadFile(Target()));
    ASSERT_EQ(thumb.Width, 75);
    ASSERT_EQ(thumb.Height, 50);
    std::set<int> grays;
    for (size_t p = 0; p < thumb.Pixels.size(); p += 3) {
        ASSERT_EQ(thumb.Pixels[p], thumb.Pixels[p + 1]);
        ASSERT_EQ(thumb.Pixels[p], thumb.Pixels[p + 2]);
        grays.insert(thumb.Pixels[p]);
    }
    EXPECT_GT(grays.size(), 10u); // a gray picture, not a flat one
}

TEST_F(ThumbnailFiles, TruncatedPictureStillGivesThumbnail)
{
    for (const bool progressive : {false, true}) {
        JpegSpec spec{640, 480};
        spec.Progressive = progressive;
        const std::string source = Source("cut.jpg", Truncated(MakeJpeg(spec), 0.5));
        MakeThumbnail(source, Target(), "85");
        const fixtures::JpegInfo info = fixtures::InspectJpeg(fixtures::ReadFile(Target()));
        EXPECT_EQ(info.Width, 107);
        EXPECT_EQ(info.Height, 85);
    }
}

// A baseline picture of 12000 x 12000 is streamed row by row; it must not
// need a full-size raster (432 MB) to be thumbnailed.
TEST_F(ThumbnailFiles, LargeBaselinePictureIsStreamed)
{
    const std::string source =
        Source("big.jpg", fixtures::WithFrameSize(MakeJpeg({64, 48}), 12000, 12000));
    MakeThumbnail(source, Target(), "85");
    const fixtures::JpegInfo info = fixtures::InspectJpeg(fixtures::ReadFile(Target()));
    EXPECT_EQ(info.Width, 85);
    EXPECT_EQ(info.Height, 85);
}

// A picture is read from its file as it is decoded; a read that fails ends
// decoding with the reason, never with a picture made of what came before.
TEST(PictureReading, FailedReadEndsDecodingWithItsCause)
{
    const std::vector<unsigned char> bytes = MakeJpeg({640, 480});
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    // The write end of a pipe cannot be read: EBADF on the first refill.
    JpegDecoder decoder(ends[1], std::vector<unsigned char>(bytes.begin(), bytes.begin() + 300),
                        size_t(1) << 30);
    try {
        decoder.ReadHeader();
        decoder.Start();
        ADD_FAILURE() << "the decoder did not need the rest of the file";
    } catch (const JpegError &e) {
        EXPECT_EQ(e.ReadErrno(), EBADF) << e.what();
    }
    ::close(ends[0]);
    ::close(ends[1]);
}

// What a picture will hold while its thumbnail is made, read from its
// headers: the coefficients of a progressive picture, little for a baseline
// one, everything for one whose headers make no sense.
TEST(PictureReading, MemoryNeedFollowsTheHeaders)
{
    fixtures::TempDir dir;
    const auto write = [&](const std::string &name, const std::vector<unsigned char> &bytes) {
        fixtures::WriteFile(dir.path() / name, bytes);
        return (dir.path() / name).string();
    };
    JpegSpec progressive{1000, 800};
    progressive.Progressive = true;
    const uint64_t coefficients = 1000 * 800 * 3; // 4:2:0: 1.5 blocks of 128 bytes per 64 pixels
    const uint64_t need = ThumbnailMemoryNeed(write("p.jpg", MakeJpeg(progressive)), "85");
    EXPECT_GE(need, coefficients);
    EXPECT_LT(need, coefficients + (uint64_t(1) << 20));

    EXPECT_LT(ThumbnailMemoryNeed(write("b.jpg", MakeJpeg({1000, 800})), "800"), uint64_t(1) << 20);
    // A picture turned upright holds its sampled thumbnail, here 800 x 1000.
    JpegSpec turned{1000, 800};
    turned.App1 = fixtures::ExifBody(6, false);
    EXPECT_GE(ThumbnailMemoryNeed(write("t.jpg", MakeJpeg(turned)), "800"),
              uint64_t(800 * 1000 * 3));
    for (const uint64_t cap : {kGiB, 6 * kGiB})
        EXPECT_EQ(ThumbnailMemoryNeed(write("text.jpg", {'h', 'i', '\n'}), "85", cap), cap);
    EXPECT_LT(ThumbnailMemoryNeed((dir.path() / "missing.jpg").string(), "85"), uint64_t(1) << 20);
    // A pipe is not opened: that would block, and take the decoder's bytes.
    const std::string pipe = (dir.path() / "pipe.jpg").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_LT(ThumbnailMemoryNeed(pipe, "85"), uint64_t(1) << 20);
}

// ------------------------------------------------------------ exactness

struct ExactCase {
    const char *Name;
    std::function<std::vector<unsigned char>()> Bytes;
    std::vector<const char *> Sizes;
};

JpegSpec Spec(int w, int h, int hs, int vs, bool progressive = false, int components = 3,
              int restart = 0)
{
    JpegSpec s{w, h};
    s.HSamp = hs;
    s.VSamp = vs;
    s.Progressive = progressive;
    s.Components = components;
    s.RestartRows = restart;
    s.Seed = static_cast<uint32_t>(w * 31 + h * 7 + hs + vs);
    return s;
}

void PrintTo(const ExactCase &c, std::ostream *os)
{
    *os << c.Name;
}

class ThumbnailExactness : public ::testing::TestWithParam<ExactCase> {};

// The streaming path (skipping unneeded rows) must give exactly the bytes of
// a full decode into a W x H x 3 raster followed by the same sampling.
TEST_P(ThumbnailExactness, MatchesFullDecodeReference)
{
    const ExactCase c = GetParam();
    fixtures::TempDir dir;
    const auto bytes = c.Bytes();
    const auto path = dir.path() / "pic.jpg";
    fixtures::WriteFile(path, bytes);
    const fixtures::JpegInfo info = fixtures::InspectJpeg(bytes);
    for (const char *size : c.Sizes) {
        const ThumbnailExtent t =
            ThumbnailDimensions(info.Width, info.Height, ConvertThumbnailSize(size));
        const PreparedThumbnail fast = PrepareThumbnail(path.string(), size);
        EXPECT_TRUE(fast.EncodeError.empty());
        const std::vector<unsigned char> reference =
            fixtures::ReferenceThumbnail(bytes, t.Width, t.Height);
        ASSERT_FALSE(reference.empty());
        EXPECT_TRUE(fast.Jpeg == reference) << c.Name << " at size " << size;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ThumbnailExactness,
    ::testing::Values(
        ExactCase{"Baseline420",
                  [] { return MakeJpeg(Spec(640, 480, 2, 2)); },
                  {"85", "30", "17", "240"}},
        ExactCase{
            "Baseline422", [] { return MakeJpeg(Spec(640, 480, 2, 1)); }, {"85", "17", "200"}},
        ExactCase{"Baseline440", [] { return MakeJpeg(Spec(480, 640, 1, 2)); }, {"85", "17"}},
        ExactCase{"Baseline444", [] { return MakeJpeg(Spec(640, 480, 1, 1)); }, {"85", "17"}},
        ExactCase{"Baseline411", [] { return MakeJpeg(Spec(640, 480, 4, 1)); }, {"85", "23"}},
        // Luminance sampled four across and two down: no upsampler that
        // looks at neighbouring rows, where the library's skip must begin
        // on a two-row group.
        ExactCase{"Baseline4x2",
                  [] { return MakeJpeg(Spec(640, 480, 4, 2)); },
                  {"85", "31", "17", "240"}},
        ExactCase{"Progressive4x2",
                  [] { return MakeJpeg(Spec(333, 211, 4, 2, true)); },
                  {"85", "13", "5"}},
        ExactCase{"Progressive420",
                  [] { return MakeJpeg(Spec(640, 480, 2, 2, true)); },
                  {"85", "17", "240"}},
        ExactCase{
            "Progressive444", [] { return MakeJpeg(Spec(480, 640, 1, 1, true)); }, {"85", "19"}},
        ExactCase{
            "Progressive422", [] { return MakeJpeg(Spec(640, 480, 2, 1, true)); }, {"85", "31"}},
        ExactCase{"RestartEveryRow",
                  [] { return MakeJpeg(Spec(640, 480, 2, 2, false, 3, 1)); },
                  {"85", "17"}},
        ExactCase{"RestartProgressive",
                  [] { return MakeJpeg(Spec(640, 480, 2, 2, true, 3, 2)); },
                  {"85", "17"}},
        ExactCase{"OddSize", [] { return MakeJpeg(Spec(333, 211, 2, 2)); }, {"85", "13", "100"}},
        ExactCase{"OddSizeProgressive",
                  [] { return MakeJpeg(Spec(211, 333, 2, 2, true)); },
                  {"85", "13"}},
        ExactCase{"Tiny", [] { return MakeJpeg(Spec(7, 5, 2, 2)); }, {"3", "5", "9"}},
        ExactCase{"OnePixel", [] { return MakeJpeg(Spec(1, 1, 2, 2)); }, {"1"}},
        ExactCase{"Enlarging", [] { return MakeJpeg(Spec(120, 43, 2, 2)); }, {"85", "60"}},
        ExactCase{
            "EnlargingProgressive", [] { return MakeJpeg(Spec(43, 120, 2, 2, true)); }, {"85"}},
        ExactCase{"TruncatedBaseline",
                  [] { return Truncated(MakeJpeg(Spec(640, 480, 2, 2)), 0.4); },
                  {"85", "17"}},
        ExactCase{"TruncatedProgressive",
                  [] { return Truncated(MakeJpeg(Spec(640, 480, 2, 2, true)), 0.6); },
                  {"85", "17"}},
        ExactCase{"TruncatedRestart",
                  [] { return Truncated(MakeJpeg(Spec(640, 480, 2, 1, false, 3, 1)), 0.5); },
                  {"85"}},
        ExactCase{"Grayscale",
                  [] { return MakeJpeg(Spec(640, 480, 1, 1, false, 1)); },
                  {"85", "17", "240"}},
        ExactCase{"GrayscaleProgressive",
                  [] { return MakeJpeg(Spec(333, 211, 1, 1, true, 1)); },
                  {"85", "13"}},
        ExactCase{"GrayscaleTruncated",
                  [] { return Truncated(MakeJpeg(Spec(640, 480, 1, 1, false, 1)), 0.5); },
                  {"85"}},
        // Pictures are read from their files a piece at a time: a picture many
        // reads long, and headers that span several reads.
        ExactCase{"ManyReadsLong",
                  [] {
                      JpegSpec s = Spec(1600, 1200, 2, 1, true);
                      s.Quality = 98;
                      return MakeJpeg(s);
                  },
                  {"85"}},
        // An Exif Orientation of 1, or an Exif segment that cannot be read,
        // leaves the picture as stored: the thumbnail is byte for byte the one
        // of the picture without it.
        ExactCase{"ExifOrientationOne",
                  [] {
                      JpegSpec s = Spec(640, 480, 2, 2);
                      s.App1 = fixtures::ExifBody(1, false);
                      return MakeJpeg(s);
                  },
                  {"85", "17"}},
        ExactCase{"ExifCutShort",
                  [] {
                      JpegSpec s = Spec(480, 640, 2, 2, true);
                      s.App1 = fixtures::ExifBody(6, true);
                      s.App1.resize(30);
                      return MakeJpeg(s);
                  },
                  {"85"}},
        ExactCase{"HeadersSpanReads",
                  [] {
                      std::vector<std::vector<unsigned char>> segments;
                      for (int k = 0; k < 3; ++k) {
                          std::vector<unsigned char> app{0xFF, 0xE1, 0xFF, 0xFF};
                          app.resize(2 + 0xFFFF, static_cast<unsigned char>(k));
                          segments.push_back(app);
                      }
                      return fixtures::WithMarkers(MakeJpeg(Spec(640, 480, 2, 2)), segments);
                  },
                  {"85"}}),
    [](const ::testing::TestParamInfo<ExactCase> &info) { return info.param.Name; });

// ------------------------------------------------------------ orientation

using Raster = fixtures::RgbPicture;

// A picture of flat 8 x 8 blocks, each of its own colour (or gray level):
// such a picture decodes to the same pixels whichever way it was turned
// before encoding, so its thumbnails can be compared pixel for pixel.
Raster BlockPicture(int width, int height, int components)
{
    Raster r{width, height,
             std::vector<unsigned char>(static_cast<size_t>(width) * height * components)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c) {
                const int block = (y / 8) * (width / 8) + x / 8;
                // Gray blocks are black or white, levels of the 236-level
                // quantizer, so its error diffusion has nothing to carry.
                const int v = components == 1 ? ((block * 7 + block / 3) % 5 < 2 ? 255 : 0)
                                              : (block * 53 + c * 97 + 29) % 256;
                r.Pixels[(static_cast<size_t>(y) * width + x) * components + c] =
                    static_cast<unsigned char>(v);
            }
    return r;
}

// Raster operations, with `components` samples a pixel.
Raster Transposed(const Raster &in, int components)
{
    Raster out{in.Height, in.Width, std::vector<unsigned char>(in.Pixels.size())};
    for (int y = 0; y < in.Height; ++y)
        for (int x = 0; x < in.Width; ++x)
            for (int c = 0; c < components; ++c)
                out.Pixels[(static_cast<size_t>(x) * out.Width + y) * components + c] =
                    in.Pixels[(static_cast<size_t>(y) * in.Width + x) * components + c];
    return out;
}
Raster Mirrored(const Raster &in, int components, bool leftToRight)
{
    Raster out = in;
    for (int y = 0; y < in.Height; ++y)
        for (int x = 0; x < in.Width; ++x) {
            const int fx = leftToRight ? in.Width - 1 - x : x,
                      fy = leftToRight ? y : in.Height - 1 - y;
            for (int c = 0; c < components; ++c)
                out.Pixels[(static_cast<size_t>(y) * in.Width + x) * components + c] =
                    in.Pixels[(static_cast<size_t>(fy) * in.Width + fx) * components + c];
        }
    return out;
}

// How a camera stores a picture that is to be shown upright with each
// Orientation: the turn that the tag undoes.
Raster StoredFor(int orientation, const Raster &upright, int n)
{
    const auto h = [n](const Raster &r) { return Mirrored(r, n, true); };
    const auto v = [n](const Raster &r) { return Mirrored(r, n, false); };
    const auto t = [n](const Raster &r) { return Transposed(r, n); };
    switch (orientation) {
    case 2: return h(upright);
    case 3: return h(v(upright));
    case 4: return v(upright);
    case 5: return t(upright);
    case 6:
        return t(h(upright)); // shown turned a quarter clockwise: stored a quarter anticlockwise
    case 7: return h(v(t(upright)));
    case 8: return t(v(upright)); // stored a quarter clockwise
    default: return upright;
    }
}

struct OrientationCase {
    const char *Name;
    int Components;
    bool Progressive;
};

void PrintTo(const OrientationCase &c, std::ostream *os)
{
    *os << c.Name;
}

class ThumbnailOrientation : public ::testing::TestWithParam<OrientationCase> {};

// A picture stored turned, with the Orientation that turns it back, has the
// thumbnail of the same picture stored upright, pixel for pixel, at sizes
// that keep every pixel, drop some, or enlarge one side; the sides follow
// the picture as shown (a landscape picture stored as portrait gets a
// landscape thumbnail). The thumbnail itself carries no Exif.
TEST_P(ThumbnailOrientation, ThumbnailIsThatOfTheUprightPicture)
{
    const OrientationCase c = GetParam();
    const Raster upright = BlockPicture(48, 32, c.Components);
    JpegSpec spec{48, 32};
    spec.Components = c.Components;
    spec.Progressive = c.Progressive;
    spec.HSamp = spec.VSamp = 1;
    spec.Quality = 100;
    spec.Pixels = upright.Pixels;
    const std::vector<unsigned char> uprightJpeg = MakeJpeg(spec);
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const Raster stored = StoredFor(orientation, upright, c.Components);
        JpegSpec s = spec;
        s.Width = stored.Width;
        s.Height = stored.Height;
        s.Pixels = stored.Pixels;
        s.App1 = fixtures::ExifBody(orientation, orientation % 2 == 0);
        const std::vector<unsigned char> storedJpeg = MakeJpeg(s);
        for (const char *size : {"32", "13", "6", "40"}) {
            SCOPED_TRACE("orientation " + std::to_string(orientation) + ", size " + size);
            const PreparedThumbnail expected =
                PrepareThumbnailFromBytes(uprightJpeg, "upright.jpg", size);
            const PreparedThumbnail made =
                PrepareThumbnailFromBytes(storedJpeg, "stored.jpg", size);
            const fixtures::JpegInfo info = fixtures::InspectJpeg(made.Jpeg);
            const ThumbnailExtent shown = ThumbnailDimensions(48, 32, ConvertThumbnailSize(size));
            EXPECT_EQ(info.Width, shown.Width);
            EXPECT_EQ(info.Height, shown.Height);
            EXPECT_FALSE(info.HasOtherMarkers);
            const fixtures::RgbPicture a = fixtures::DecodeRgb(made.Jpeg),
                                       b = fixtures::DecodeRgb(expected.Jpeg);
            EXPECT_EQ(a.Width, b.Width);
            EXPECT_EQ(a.Height, b.Height);
            EXPECT_TRUE(a.Pixels == b.Pixels);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EightOrientations, ThumbnailOrientation,
                         ::testing::Values(OrientationCase{"Colour", 3, false},
                                           OrientationCase{"ColourProgressive", 3, true},
                                           OrientationCase{"Gray", 1, false}),
                         [](const ::testing::TestParamInfo<OrientationCase> &info) {
                             return info.param.Name;
                         });

// ------------------------------------------------------------ memory cap

TEST(DecodeMemoryCap, AQuarterOfTheMachineAndAtLeastOneGiB)
{
    struct {
        uint64_t Physical, Cap;
    } cases[] = {
        {0, kGiB},
        {2 * kGiB, kGiB},
        {4 * kGiB, kGiB},
        {5 * kGiB, 5 * kGiB / 4},
        {24 * kGiB, 6 * kGiB},
        {(uint64_t(1) << 40), uint64_t(1) << 38},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DecodeMemoryCapFor(c.Physical), c.Cap) << c.Physical;
    EXPECT_GE(DecodeMemoryCap(), kGiB);
}

// A picture that needs more than the cap it is given is refused with the
// cap in the message; within it, it is made.
TEST(DecodeMemoryCap, RefusesWhatNeedsMoreThanTheCap)
{
    JpegSpec s{2000, 1500};
    s.Progressive = true; // 9 MB of coefficients
    const std::vector<unsigned char> picture = MakeJpeg(s);
    EXPECT_EQ(
        ErrorOf([&] { PrepareThumbnailFromBytes(picture, "p.jpg", "85", 4 * kMiB); }),
        "Cannot make a thumbnail of \"p.jpg\": decoding it would need more than 4 MiB of memory");
    EXPECT_TRUE(PrepareThumbnailFromBytes(picture, "p.jpg", "85", 16 * kMiB).EncodeError.empty());

    // 65500 x 65500 progressive claims 12 GB.
    const std::vector<unsigned char> huge = fixtures::WithFrameSize(picture, 65500, 65500);
    for (const auto &c :
         std::vector<std::pair<uint64_t, std::string>>{{kGiB, "1 GiB"},
                                                       {3 * kGiB / 2, "1.5 GiB"},
                                                       {5 * kGiB + 1, "5 GiB"},
                                                       {DecodeMemoryCapFor(25 * kGiB), "6.2 GiB"}})
        EXPECT_EQ(ErrorOf([&] { PrepareThumbnailFromBytes(huge, "p.jpg", "85", c.first); }),
                  "Cannot make a thumbnail of \"p.jpg\": decoding it would need more than " +
                      c.second + " of memory");
}

} // namespace
