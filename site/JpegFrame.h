// A JPEG stream's frame as its headers describe it, read without decoding,
// so the thumbnail workers can tell what a picture will need in memory
// before they take it on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ExifOrientation.h"

namespace pixelnook {

struct JpegFrame {
    struct Component {
        int H = 1; // horizontal sampling factor
        int V = 1; // vertical sampling factor
    };
    int32_t Width = 0;
    int32_t Height = 0; // 0 when a later marker gives the height
    std::vector<Component> Components;
    // Coded in several scans (progressive, or a first scan that leaves out
    // a component): the decoder then holds every coefficient of the picture.
    bool MultiScan = false;
    // From the first Exif APP1 segment before the first scan.
    Orientation Orient = Orientation::Normal;
};

// Reads the markers from the start of the stream up to the first scan
// header. No value when the stream is not JPEG, ends first or is malformed
// in a way the decoder would refuse anyway.
std::optional<JpegFrame> ReadJpegFrame(const unsigned char *data, size_t size);

// The same from the start of a file; reads only the headers.
std::optional<JpegFrame> ReadJpegFrameFromFile(const std::string &path);

// What libjpeg allocates for the coefficients of a multi-scan picture:
// 128 bytes a block, each component's blocks rounded up to whole MCUs.
// 0 for a picture coded in one scan, which is decoded a row at a time.
uint64_t CoefficientBufferBytes(const JpegFrame &frame);

} // namespace pixelnook
