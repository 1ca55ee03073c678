// Thumbnail maker: reads one JPEG picture, works out the thumbnail size,
// samples the full-size picture pixel by pixel and writes a quality-90 JPEG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pixelnook {

struct ThumbnailSize {
    int32_t Width = 0;
    int32_t Height = 0;
};

// The whole-number conversion of the thumbnail size text: leading spaces, an
// optional sign, decimal digits or "$"/"x"/"0x" hex, nothing after. Throws
// SiteError "'%s' is not a valid integer value".
int32_t ConvertThumbnailSize(const std::string &text);

// The shorter side becomes `size`, the other is divided by the same rounded
// scale factor. Throws SiteError "Floating point division by zero" or
// "Invalid floating point operation".
ThumbnailSize ThumbnailDimensions(int32_t W, int32_t H, int32_t size);

// Everything up to the moment the target file is touched: read, header,
// dimensions (the size text is converted after the orientation test),
// decode, sample and encode in memory. Throws SiteError for every failure
// before the target is touched; an encoding failure is kept in EncodeError,
// since it is reported only after the target file was created.
struct PreparedThumbnail {
    std::vector<unsigned char> Jpeg;
    std::string EncodeError;
};
PreparedThumbnail PrepareThumbnail(const std::string &sourcePath, const std::string &sizeText);

// The same from a picture's bytes already in memory; sourcePath only names
// the picture in messages.
PreparedThumbnail PrepareThumbnailFromBytes(std::vector<unsigned char> bytes, const std::string &sourcePath,
                                            const std::string &sizeText);

// Deletes any file at the target, creates it and writes the thumbnail in one
// write. Throws SiteError `Cannot create file "%s". %s`, or the encoding
// error (leaving the created file empty).
void WriteThumbnail(const std::string &targetPath, const PreparedThumbnail &thumbnail);

// What PrepareThumbnail holds in memory at its peak for this picture,
// estimated from its headers: the decoder's coefficients when the picture
// is coded in several scans, the encoder's for a progressive thumbnail, a
// few rows and the read buffer. Never throws. A missing file or one that
// is not a regular file (a pipe is not opened) counts as the read buffer
// alone; a file whose headers cannot be read as 1 GiB, the most a picture
// may take.
uint64_t ThumbnailMemoryNeed(const std::string &sourcePath, const std::string &sizeText);

// PrepareThumbnail followed by WriteThumbnail.
void MakeThumbnail(const std::string &sourcePath, const std::string &targetPath,
                   const std::string &sizeText);

} // namespace pixelnook
