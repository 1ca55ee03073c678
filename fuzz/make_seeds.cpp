// Writes the seed corpora of the fuzz targets into OUTDIR/<target>/: small
// JPEG pictures of every kind the thumbnail code treats differently (every
// sampling factor, progressive, restart markers, arithmetic coding,
// grayscale, CMYK, cut short, huge claims in a few bytes), small templates
// with every placeholder, and size texts.
// Usage: make_seeds OUTDIR TEMPLATES_FOLDER
#include "tests/support/JpegFixtures.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
namespace fs = std::filesystem;

void Write(const fs::path &folder, const std::string &name, const Bytes &bytes)
{
    fixtures::WriteFile(folder / name, bytes);
}

void Write(const fs::path &folder, const std::string &name, const std::string &text)
{
    fixtures::WriteText(folder / name, text);
}

// Gallery-fuzzer fields: each value after a NUL.
std::string Joined(const std::vector<std::string> &values)
{
    std::string text;
    for (const std::string &value : values)
        text += '\0' + value;
    return text;
}

// A thumbnail-fuzzer input: the size text's length byte, the text, the picture.
Bytes ThumbnailInput(const std::string &sizeText, const Bytes &picture)
{
    Bytes input;
    input.push_back(static_cast<unsigned char>(sizeText.size()));
    input.insert(input.end(), sizeText.begin(), sizeText.end());
    input.insert(input.end(), picture.begin(), picture.end());
    return input;
}

// A picture with arithmetic coding, which libjpeg-turbo decodes too.
Bytes ArithmeticJpeg(int width, int height, bool progressive)
{
    fixtures::JpegSpec spec{width, height};
    spec.Arithmetic = true;
    spec.Progressive = progressive;
    return fixtures::MakeJpeg(spec);
}

void ThumbnailSeeds(const fs::path &folder)
{
    struct Kind {
        std::string Name;
        fixtures::JpegSpec Spec;
    };
    std::vector<Kind> kinds;
    const int samplings[][2] = {{1, 1}, {2, 1}, {1, 2}, {2, 2}, {4, 1},
                                {1, 4}, {3, 1}, {3, 2}, {4, 2}, {2, 4}};
    for (const auto &s : samplings) {
        for (const bool progressive : {false, true}) {
            fixtures::JpegSpec spec{24, 17};
            spec.HSamp = s[0];
            spec.VSamp = s[1];
            spec.Progressive = progressive;
            spec.Quality = 50;
            kinds.push_back({progressive ? "progressive" : "baseline", spec});
        }
    }
    for (const int components : {1, 4}) {
        for (const bool progressive : {false, true}) {
            fixtures::JpegSpec spec{19, 23};
            spec.Components = components;
            spec.Progressive = progressive;
            spec.Quality = 50;
            kinds.push_back({components == 1 ? "gray" : "cmyk", spec});
        }
    }
    for (const bool progressive : {false, true}) {
        fixtures::JpegSpec spec{40, 33};
        spec.RestartRows = 1;
        spec.Progressive = progressive;
        spec.Quality = 50;
        kinds.push_back({"restart", spec});
    }
    // Pictures to be turned upright, in both byte orders, and one whose
    // Exif segment is cut short.
    for (int orientation = 2; orientation <= 8; ++orientation) {
        fixtures::JpegSpec spec{13, 7};
        spec.Progressive = orientation % 3 == 0;
        spec.Components = orientation == 7 ? 1 : 3;
        spec.Quality = 50;
        spec.App1 = fixtures::ExifBody(orientation, orientation % 2 == 0);
        kinds.push_back({"exif" + std::to_string(orientation), spec});
    }
    {
        fixtures::JpegSpec spec{9, 14};
        spec.App1 = fixtures::ExifBody(6, true);
        spec.App1.resize(31);
        kinds.push_back({"exif-cut", spec});
    }
    // Scan scripts other than the standard one: spectral selection alone,
    // and successive approximation bit by bit.
    {
        fixtures::JpegSpec spec{24, 17};
        spec.Progressive = true;
        spec.Scans = {{{0, 1, 2}, 0, 0, 0, 0},
                      {{0}, 1, 9, 0, 0},
                      {{0}, 10, 63, 0, 0},
                      {{1}, 1, 63, 0, 0},
                      {{2}, 1, 63, 0, 0}};
        kinds.push_back({"spectral", spec});
        spec.Scans = {{{0, 1, 2}, 0, 0, 0, 2}, {{0, 1, 2}, 0, 0, 2, 1}, {{0, 1, 2}, 0, 0, 1, 0}};
        for (int c = 0; c < 3; ++c)
            for (int al = 3; al >= 0; --al)
                spec.Scans.push_back({{c}, 1, 63, al == 3 ? 0 : al + 1, al});
        kinds.push_back({"bit-by-bit", spec});
    }
    kinds.push_back({"onepixel", fixtures::JpegSpec{1, 1}});
    kinds.push_back({"tall", fixtures::JpegSpec{3, 90}});

    int n = 0;
    const char *sizes[] = {"8", "5", " 3", "$a", "0x7", "1", "85", "40"};
    for (const Kind &kind : kinds) {
        const Bytes jpeg = fixtures::MakeJpeg(kind.Spec);
        const std::string size = sizes[n % (sizeof sizes / sizeof *sizes)];
        const std::string stem = std::to_string(n++) + "-" + kind.Name;
        Write(folder, stem + ".bin", ThumbnailInput(size, jpeg));
        // Cut short, in the middle of the coded data.
        Write(folder, stem + "-cut.bin",
              ThumbnailInput(size, Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() * 2 / 3)));
    }
    Write(folder, "arith.bin", ThumbnailInput("6", ArithmeticJpeg(21, 14, false)));
    Write(folder, "arith-progressive.bin", ThumbnailInput("6", ArithmeticJpeg(14, 21, true)));

    // A few hundred bytes claiming a huge picture, of each coding.
    for (const int components : {1, 3}) {
        for (const bool progressive : {false, true}) {
            fixtures::JpegSpec spec{16, 16};
            spec.Components = components;
            spec.Progressive = progressive;
            const std::string name = std::string("huge-") + (components == 1 ? "gray" : "colour") +
                                     (progressive ? "-progressive" : "") + ".bin";
            Write(folder, name,
                  ThumbnailInput("85",
                                 fixtures::WithFrameSize(fixtures::MakeJpeg(spec), 65500, 65500)));
        }
    }

    // Texts that are no size, and bytes that are no JPEG.
    const Bytes small = fixtures::MakeJpeg(fixtures::JpegSpec{12, 9});
    Write(folder, "bad-size.bin", ThumbnailInput("85 ", small));
    Write(folder, "zero-size.bin", ThumbnailInput("0", small));
    Write(folder, "negative-size.bin", ThumbnailInput("-5", small));
    Write(folder, "empty-picture.bin", ThumbnailInput("85", Bytes{}));
    Write(folder, "not-jpeg.bin", ThumbnailInput("85", Bytes{'G', 'I', 'F', '8', '9', 'a'}));
    Write(folder, "soi-only.bin", ThumbnailInput("85", Bytes{0xFF, 0xD8, 0xFF, 0xD9}));
}

void GalleryPageSeeds(const fs::path &folder, const fs::path &templates)
{
    const std::string values =
        Joined({"My Site", "photos, beach", "Line one\r\nline two", "images", "thumbnails",
                "imagepages", "tn", "\x07", "a.jpg", "b c.jpg", "d&e.jpg"});
    const std::string tricky =
        Joined({"%title% %image%", "%metakey%", "%metadescrip%%nextprev%", "img", "th", "pg", "%im",
                "\x0d", "%image%.jpg", "age%.jpg"});
    const char *texts[] = {
        "<html><title>%title%</title>%metakey% %metadescrip%\n%image%%image%\n%nextprev%</html>\n",
        "%image%",
        "%image%%image%%image%\r\n%nextprev%\r%nextprev%\n",
        "%im%title%age% %title%",
        "%IMAGE% %Title% no picture here",
        "%image%image%image% %metakey%%metakey% %metadescrip%",
        "\r\r\n\n%image%\r",
        "",
    };
    int n = 0;
    for (const char *text : texts) {
        Write(folder, "t" + std::to_string(n) + ".bin", std::string(text) + values);
        Write(folder, "t" + std::to_string(n) + "-tricky.bin", std::string(text) + tricky);
        ++n;
    }
    // The built-in templates as they ship.
    for (int i = 1; i <= 6; ++i) {
        std::ifstream in(templates / ("template" + std::to_string(i) + ".html"), std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
        if (!text.empty())
            Write(folder, "template" + std::to_string(i) + ".bin", text + values);
    }
}

void ThumbnailSizeSeeds(const fs::path &folder)
{
    const char *texts[] = {"85",
                           " 85",
                           "$55",
                           "x1F",
                           "X1f",
                           "0x7fffffff",
                           "0XFFFFFFFF",
                           "-85",
                           "+85",
                           "-$80000000",
                           "2147483647",
                           "-2147483648",
                           "2147483648",
                           "00000000000085",
                           "$000000000000ff",
                           "85 ",
                           "85px",
                           "",
                           " ",
                           "-",
                           "$",
                           "0x",
                           "0",
                           "1e3"};
    int n = 0;
    for (const char *text : texts)
        Write(folder, "s" + std::to_string(n++) + ".txt", std::string(text));
    // Twelve bytes of W, H and size for the dimensions check, then a text.
    const int32_t dims[][3] = {{640, 480, 85},    {480, 640, 85},  {120, 42, 85},
                               {250, 250, 100},   {0, 0, 85},      {INT32_MIN, -1, -1},
                               {65500, 65500, 1}, {-640, -480, 85}};
    for (const auto &d : dims) {
        Bytes bytes(reinterpret_cast<const unsigned char *>(d),
                    reinterpret_cast<const unsigned char *>(d) + 12);
        Write(folder, "d" + std::to_string(n++) + ".bin", bytes);
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_seeds OUTDIR TEMPLATES_FOLDER\n");
        return 2;
    }
    const fs::path out = argv[1];
    const fs::path templates = argv[2];
    for (const char *target : {"thumbnail", "gallery_pages", "thumbnail_size"})
        fs::create_directories(out / target);
    ThumbnailSeeds(out / "thumbnail");
    GalleryPageSeeds(out / "gallery_pages", templates);
    ThumbnailSizeSeeds(out / "thumbnail_size");
    return 0;
}
