// The Exif Orientation tag of a picture: how the stored pixels must be
// turned to show the picture upright, as cameras and phones record it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pixelnook {

// The eight values of the tag. Each names where the stored picture's first
// row and first column appear when it is shown upright.
enum class Orientation : uint8_t {
    Normal = 1,  // as stored
    MirrorH = 2, // mirrored left to right
    Rotate180 = 3,
    MirrorV = 4,    // mirrored top to bottom
    Transpose = 5,  // first row shown as the left column, first column as the top row
    Rotate90 = 6,   // turned a quarter clockwise
    Transverse = 7, // first row shown as the right column, first column as the bottom row
    Rotate270 = 8,  // turned a quarter anticlockwise
};

// Shown with width and height exchanged.
inline bool SwapsSides(Orientation o)
{
    return static_cast<int>(o) >= 5;
}

// The stored pixel under pixel (x, y) of the picture as shown, for a
// picture stored W x H pixels.
struct StoredPixel {
    uint32_t Column, Row;
};
inline StoredPixel StoredPixelOf(Orientation o, uint32_t x, uint32_t y, uint32_t W, uint32_t H)
{
    switch (o) {
    case Orientation::Normal: break;
    case Orientation::MirrorH: return {W - 1 - x, y};
    case Orientation::Rotate180: return {W - 1 - x, H - 1 - y};
    case Orientation::MirrorV: return {x, H - 1 - y};
    case Orientation::Transpose: return {y, x};
    case Orientation::Rotate90: return {y, H - 1 - x};
    case Orientation::Transverse: return {W - 1 - y, H - 1 - x};
    case Orientation::Rotate270: return {W - 1 - y, x};
    }
    return {x, y};
}

// The tag from the body of an APP1 marker segment (what follows the
// segment's length), when the segment is Exif ("Exif\0\0" and a TIFF
// header in either byte order) and its first image directory holds an
// Orientation of type SHORT with a value from 1 to 8. Everything else,
// a segment cut short, offsets or counts that point outside it, an
// unknown byte order, gives Normal: a picture whose Exif cannot be read is
// shown as stored. Never reads outside [data, data + size).
Orientation ExifOrientation(const unsigned char *data, size_t size);

} // namespace pixelnook
