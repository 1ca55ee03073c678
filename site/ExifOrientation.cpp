#include "ExifOrientation.h"

#include <cstring>

namespace pixelnook {

namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kShort = 3;
constexpr size_t kEntrySize = 12;

// Reads within one TIFF block in its byte order; every read is checked
// against the block's end first.
class TiffReader {
public:
    TiffReader(const unsigned char *data, size_t size, bool bigEndian)
        : data_(data), size_(size), bigEndian_(bigEndian)
    {
    }

    bool Has(size_t offset, size_t count) const
    {
        return offset <= size_ && count <= size_ - offset;
    }

    uint16_t U16(size_t offset) const
    {
        const unsigned a = data_[offset], b = data_[offset + 1];
        return static_cast<uint16_t>(bigEndian_ ? (a << 8 | b) : (b << 8 | a));
    }

    uint32_t U32(size_t offset) const
    {
        const uint32_t hi = U16(offset), lo = U16(offset + 2);
        return bigEndian_ ? (hi << 16 | lo) : (lo << 16 | hi);
    }

private:
    const unsigned char *data_;
    size_t size_;
    bool bigEndian_;
};

} // namespace

Orientation ExifOrientation(const unsigned char *data, size_t size)
{
    static const unsigned char kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (!data || size < sizeof kExif + 8 || std::memcmp(data, kExif, sizeof kExif) != 0)
        return Orientation::Normal;
    const unsigned char *tiff = data + sizeof kExif;
    const size_t tiffSize = size - sizeof kExif;

    bool bigEndian;
    if (tiff[0] == 'I' && tiff[1] == 'I')
        bigEndian = false;
    else if (tiff[0] == 'M' && tiff[1] == 'M')
        bigEndian = true;
    else
        return Orientation::Normal;
    const TiffReader r(tiff, tiffSize, bigEndian);
    if (r.U16(2) != 42)
        return Orientation::Normal;

    // The first image directory: a count, then that many entries of tag,
    // type, count and a four-byte value; a directory that does not fit
    // whole is not read at all.
    const size_t ifd = r.U32(4);
    if (!r.Has(ifd, 2))
        return Orientation::Normal;
    const size_t entries = r.U16(ifd);
    if (!r.Has(ifd + 2, entries * kEntrySize))
        return Orientation::Normal;
    for (size_t e = 0; e < entries; ++e) {
        const size_t at = ifd + 2 + e * kEntrySize;
        if (r.U16(at) != kOrientationTag)
            continue;
        // A SHORT fits the value field, and is in its first two bytes.
        if (r.U16(at + 2) != kShort || r.U32(at + 4) != 1)
            return Orientation::Normal;
        const uint16_t value = r.U16(at + 8);
        if (value < 1 || value > 8)
            return Orientation::Normal;
        return static_cast<Orientation>(value);
    }
    return Orientation::Normal;
}

} // namespace pixelnook
