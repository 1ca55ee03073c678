// The one place that talks to libjpeg: a row-by-row decoder that reads bytes
// in memory or an open file, and a row-by-row encoder into memory, with
// libjpeg's fatal errors turned into C++ exceptions once the C call has
// returned.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "ExifOrientation.h"
#include "SiteError.h"

namespace pixelnook {

// A fatal libjpeg error: "JPEG error #%d" with the library's message code.
class JpegError : public SiteError {
public:
    JpegError(int code, bool outOfMemory, bool tooManyScans = false, int readErrno = 0);
    // The library ran out of memory or needed more than its memory limit.
    bool OutOfMemory() const { return outOfMemory_; }
    // The picture's scans would go over its blocks more often than any
    // encoder's scan layout does (see JpegDecoder::Start).
    bool TooManyScans() const { return tooManyScans_; }
    // Reading the picture's file failed with this errno (0: it did not).
    int ReadErrno() const { return readErrno_; }

private:
    bool outOfMemory_;
    bool tooManyScans_;
    int readErrno_;
};

struct JpegHeader {
    int32_t Width = 0;
    int32_t Height = 0;
    int Components = 0;
    bool Progressive = false; // coded in more than one scan
    // From the first Exif APP1 segment before the first scan; Normal
    // without one.
    Orientation Orient = Orientation::Normal;
    // The colour profile carried in APP2 segments; empty without one (or
    // with one whose segments are incomplete).
    std::vector<unsigned char> IccProfile;
};

// What a one-component picture's rows hold.
enum class GrayOutput {
    Levels, // indexes into GrayLevels(), error-diffused (the thumbnails' look)
    Plain,  // the picture's own gray values
};

// What the decoder reads from a picture's file at a time; the first read,
// made before the decoder is created, is best this size too.
inline constexpr size_t kDecoderFileBuffer = 65536;

// Decodes at full size, one row at a time.
class JpegDecoder {
public:
    // From bytes in memory, which must outlive the decoder. memoryLimit caps
    // what the library may hold for this picture; a picture that needs more
    // fails with an OutOfMemory() JpegError.
    JpegDecoder(const unsigned char *data, size_t size, size_t memoryLimit);
    // From an open file, read a buffer at a time after the bytes already
    // read from it (at least one). The descriptor must stay open while the
    // decoder is used; a failed read ends decoding with a JpegError whose
    // ReadErrno() says why. Gives the same picture as the file's bytes.
    JpegDecoder(int fd, std::vector<unsigned char> firstBytes, size_t memoryLimit);
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder &) = delete;
    JpegDecoder &operator=(const JpegDecoder &) = delete;

    JpegHeader ReadHeader();
    // Lowers the memory limit; takes effect at Start().
    void LimitMemory(size_t memoryLimit);

    // Colour pictures come out as 8-bit R, G, B; one-component pictures as
    // one byte per pixel, indexing GrayLevels() (236 levels, Floyd-Steinberg)
    // or, with GrayOutput::Plain, the gray value itself.
    // A picture coded in several scans is read whole here; one whose scans
    // together would pass over its blocks more than a standard encoder's
    // layouts do (with room to spare) fails with a TooManyScans() error
    // before the scan that would go over is decoded, so a file repeating
    // scans cannot keep the decoder busy for long.
    void Start(GrayOutput gray = GrayOutput::Levels);
    bool Quantized() const;
    const unsigned char *GrayLevels() const;

    // Fills one row (Width * 3 bytes, or Width bytes when Quantized()).
    void ReadRow(unsigned char *row);
    // Skips rows without colour conversion (never for quantized output,
    // whose error diffusion runs from row to row). Rows up to the next row
    // group are read instead: libjpeg-turbo up to 3.1 hands out rows from
    // before a skip that begins inside a group, where the upsampler works
    // without its neighbours' rows (luminance sampled 4 x 2, say).
    void SkipRows(uint32_t count);
    uint32_t NextRow() const;
    // Every row must have been read or skipped.
    void Finish();

private:
    void Create(size_t memoryLimit, const unsigned char *data, size_t size, bool fromFile);

    struct State;
    std::unique_ptr<State> state_;
};

// Encodes 8-bit RGB rows: quality 90 with baseline tables, floating-point
// DCT, JFIF APP0 only, progressive with the standard scan script on request.
class JpegEncoder {
public:
    JpegEncoder();
    ~JpegEncoder();
    JpegEncoder(const JpegEncoder &) = delete;
    JpegEncoder &operator=(const JpegEncoder &) = delete;

    void Start(int32_t width, int32_t height, bool progressive);
    // For the web copies: 8-bit RGB (components 3) or gray (1) rows at the
    // quality given, chroma halved both ways, progressive in five scans (three
    // for gray): DC first, the lowest luminance frequencies, the chroma, the
    // rest of the luminance. No successive approximation: its refinement
    // scans cost the encoder about twice as much for 2 % fewer bytes.
    void StartWeb(int32_t width, int32_t height, int components, int quality);
    // Fills a row of width * components bytes (3 for Start()).
    void WriteRow(const unsigned char *rgb);
    // The whole stream, from start-of-image to end-of-image.
    std::vector<unsigned char> Finish();

private:
    void SetPicture(int32_t width, int32_t height);

    struct State;
    std::unique_ptr<State> state_;
};

} // namespace pixelnook
