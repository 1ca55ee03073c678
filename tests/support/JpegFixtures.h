// Small JPEG pictures made where they are needed (tests, fuzz seeds), so no
// picture is stored in the repository; the plain reference thumbnail the
// tests and the benchmark compare against; a temporary folder and file
// helpers. libjpeg only, apart from the program's own code.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace fixtures {

// One scan of a scan script, as in cjpeg -scans: components, spectral
// selection Ss-Se, successive approximation Ah, Al.
struct ScanSpec {
    std::vector<int> Components;
    int Ss = 0, Se = 63, Ah = 0, Al = 0;
};

struct JpegSpec {
    int Width = 64;
    int Height = 48;
    int Components = 3; // 1 (grayscale), 3 (YCbCr) or 4 (CMYK, Adobe inverted)
    bool Progressive = false;
    int Quality = 85;
    int HSamp = 2, VSamp = 2;    // luminance sampling of colour pictures: 4:2:0 by default
    int RestartRows = 0;         // restart interval in MCU rows, 0 for none
    bool NonInterleaved = false; // sequential, one scan per component
    bool Arithmetic = false;     // arithmetic coding instead of Huffman
    uint32_t Seed = 1;           // varies the pixel pattern
    // Width * Height * Components samples, top to bottom, in place of the
    // pattern when not empty.
    std::vector<unsigned char> Pixels{};
    // The body of an APP1 segment (see ExifBody) written with
    // jpeg_write_marker after the JFIF marker; none when empty.
    std::vector<unsigned char> App1{};
    // A scan script for a progressive picture in place of libjpeg's standard
    // one, when not empty.
    std::vector<ScanSpec> Scans{};
};

// An Exif APP1 body: "Exif\0\0", a TIFF header in the given byte order and a
// first image directory holding a Make string and an Orientation (SHORT) of
// `orientation`, in that order.
std::vector<unsigned char> ExifBody(int orientation, bool bigEndian);

// Encodes a picture with a smooth pattern plus some detail, so that
// thumbnails of different sampling rules differ.
std::vector<unsigned char> MakeJpeg(const JpegSpec &spec);

std::vector<unsigned char> ReadFile(const std::filesystem::path &path);
void WriteFile(const std::filesystem::path &path, const std::vector<unsigned char> &bytes);
void WriteText(const std::filesystem::path &path, const std::string &text);
std::string ReadText(const std::filesystem::path &path);

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::filesystem::path &path() const { return path_; }
    std::string str() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

// What a decoder sees in a JPEG stream.
struct JpegInfo {
    int Width = 0, Height = 0, Components = 0;
    bool Progressive = false;
    bool HasJfif = false;
    bool HasOtherMarkers = false; // any APPn other than the JFIF APP0, or COM
};
JpegInfo InspectJpeg(const std::vector<unsigned char> &bytes);

// A decoded picture as 8-bit RGB (3 bytes per pixel, top to bottom).
struct RgbPicture {
    int Width = 0, Height = 0;
    std::vector<unsigned char> Pixels{};
};
RgbPicture DecodeRgb(const std::vector<unsigned char> &jpeg);

// The plain way to make a thumbnail, kept independent of the program's code:
// decode the whole picture into a W x H x 3 raster (float DCT, smoothing,
// fancy upsampling; grayscale through the 236-level one-pass quantizer),
// take pixel floor((2i + 1) * W / (2w)) of each row and column, and encode
// the w x h raster at quality 90 (baseline tables, float DCT, progressive
// when the source has several scans). Returns an empty vector when libjpeg
// fails.
std::vector<unsigned char> ReferenceThumbnail(const std::vector<unsigned char> &jpeg, int w, int h);

// The stream with extra marker segments (each complete, from 0xFF) put
// right after the start-of-image marker.
std::vector<unsigned char> WithMarkers(const std::vector<unsigned char> &jpeg,
                                       const std::vector<std::vector<unsigned char>> &segments);

// The stream with the frame header's width and height replaced, so a tiny
// file can claim a huge picture.
std::vector<unsigned char> WithFrameSize(std::vector<unsigned char> jpeg, int width, int height);

} // namespace fixtures
