// Thumbnail maker: reads one JPEG picture, works out the thumbnail size,
// samples the full-size picture pixel by pixel and writes a quality-90 JPEG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "JpegCodec.h"
#include "SiteError.h"
#include "ThumbnailDimensions.h"

namespace pixelnook {

// What one picture's decode may hold on a machine with this much physical
// memory: a quarter of it, never less than 1 GiB.
uint64_t DecodeMemoryCapFor(uint64_t physicalMemory);
// The same for this machine; worked out once.
uint64_t DecodeMemoryCap();

// A picture whose decode would need more than the memory it was allowed:
// "Cannot make a thumbnail of "%s": decoding it would need more than %s of
// memory", the limit in GiB.
class ThumbnailMemoryError : public SiteError {
public:
    using SiteError::SiteError;
};

// Everything up to the moment the target file is touched: read, header,
// dimensions (the size text is converted after the orientation test),
// decode, sample and encode in memory. The thumbnail is of the picture as
// shown: an Exif Orientation other than 1 turns the sampled pixels upright,
// and the size rule takes the sides as shown. memoryLimit bounds what the
// decoder and encoder hold (ThumbnailMemoryError beyond it). Throws SiteError for every failure
// before the target is touched: a PictureError carrying the source path for
// a failure whose text does not name the picture ("JPEG error #53", the
// floating point errors), while the size text's own error names none. An
// encoding failure is kept in EncodeError, since it is reported only after
// the target file was created.
//
// everyRow, when given, is shown every stored row of a colour picture as
// the thumbnail's decode goes through it, so that one decode serves both
// (the thumbnail comes out the same either way). Rows of a one-component
// picture are error-diffused gray levels, not its pixels: such a picture
// is not shown, and EveryRowShown tells which happened.
class PictureRows {
public:
    virtual ~PictureRows() = default;
    // Before the first row, with the picture's header.
    virtual void Begin(const JpegHeader &header) = 0;
    // Each stored row, top to bottom: Width * 3 bytes of R, G, B.
    virtual void Row(const unsigned char *rgb) = 0;
};

struct PreparedThumbnail {
    std::vector<unsigned char> Jpeg;
    std::string EncodeError;
    std::string SourcePath;
    bool EveryRowShown = false;
};
PreparedThumbnail PrepareThumbnail(const std::string &sourcePath, const std::string &sizeText,
                                   uint64_t memoryLimit = DecodeMemoryCap(),
                                   PictureRows *everyRow = nullptr);

// The same from a picture's bytes already in memory; sourcePath only names
// the picture in messages.
PreparedThumbnail PrepareThumbnailFromBytes(std::vector<unsigned char> bytes,
                                            const std::string &sourcePath,
                                            const std::string &sizeText,
                                            uint64_t memoryLimit = DecodeMemoryCap());

// Deletes any file at the target, creates it and writes the thumbnail in one
// write. Throws SiteError `Cannot create file "%s". %s`, or the encoding
// error as a PictureError (leaving the created file empty).
void WriteThumbnail(const std::string &targetPath, const PreparedThumbnail &thumbnail);

// What PrepareThumbnail holds in memory at its peak for this picture,
// estimated from its headers: the decoder's coefficients when the picture
// is coded in several scans, the encoder's for a progressive thumbnail,
// the sampled thumbnail of a picture to be turned upright, a few rows and
// the read buffer. Never throws. A missing file or one that is not a
// regular file (a pipe is not opened) counts as the read buffer alone; a
// file whose headers cannot be read as memoryCap, the most a picture may
// take.
uint64_t ThumbnailMemoryNeed(const std::string &sourcePath, const std::string &sizeText,
                             uint64_t memoryCap = DecodeMemoryCap());

// PrepareThumbnail followed by WriteThumbnail.
void MakeThumbnail(const std::string &sourcePath, const std::string &targetPath,
                   const std::string &sizeText, uint64_t memoryLimit = DecodeMemoryCap());

} // namespace pixelnook
