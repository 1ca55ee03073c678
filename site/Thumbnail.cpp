#include "Thumbnail.h"

#include "FileSystem.h"
#include "JpegCodec.h"
#include "JpegFrame.h"
#include "SiteError.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <numeric>
#include <optional>
#include <system_error>

#include <unistd.h>

namespace pixelnook {

namespace {

constexpr uint64_t kGiB = uint64_t(1) << 30;
// The largest thumbnail raster.
constexpr uint64_t kMaxThumbnailBytes = kGiB;
// The largest side a JPEG stream can carry.
constexpr int32_t kMaxJpegSide = 65500;
// A grayscale picture goes through the quantizer row by row, every row of
// it, so its decoding time grows with the whole picture; this many pixels
// take about ten seconds. A colour picture decodes only the rows it keeps.
constexpr uint64_t kMaxGrayPixels = uint64_t(1) << 30;

// What the encoder holds for a progressive thumbnail: all its coefficients
// (4:2:0, 128 bytes a block), since every scan goes over the whole picture.
uint64_t ProgressiveEncoderBytes(const ThumbnailExtent &thumb)
{
    const uint64_t chromaColumns = (static_cast<uint64_t>(thumb.Width) + 15) / 16;
    const uint64_t chromaRows = (static_cast<uint64_t>(thumb.Height) + 15) / 16;
    return 128 * (4 * chromaColumns * chromaRows + 2 * chromaColumns * chromaRows);
}

// The picture pixel that thumbnail pixel i copies: the one under the centre
// of the thumbnail pixel, so rows and columns are dropped (or repeated)
// evenly over the picture.
uint32_t SourceIndex(int64_t i, int64_t pictureSide, int64_t thumbnailSide)
{
    return static_cast<uint32_t>((2 * i + 1) * pictureSide / (2 * thumbnailSide));
}

// Every refusal of a picture names it the same way.
std::string CannotMakeThumbnail(const std::string &sourcePath, const std::string &reason)
{
    return "Cannot make a thumbnail of \"" + sourcePath + "\": " + reason;
}

// Reads the stored rows the sampler asks for, in increasing order, and
// copies chosen pixels of the last row read out as RGB. Colour pictures skip
// unneeded rows, which the decoder gives identically either way, unless
// every row is to be shown on; grayscale pictures read every row, since the
// quantizer's error diffusion carries from row to row.
class RowSampler {
public:
    RowSampler(JpegDecoder &decoder, uint32_t width, PictureRows *everyRow)
        : decoder_(decoder), quantized_(decoder.Quantized()), grayLevels_(decoder.GrayLevels()),
          everyRow_(quantized_ ? nullptr : everyRow)
    {
        if (quantized_ && !grayLevels_)
            throw SiteError("JPEG error: no gray levels");
        row_.resize(width * BytesPerPixel());
    }

    size_t BytesPerPixel() const { return quantized_ ? 1 : 3; }

    // Makes stored row `target` the row the pixels are copied from; false
    // when it is that row already (a row used again).
    bool Read(uint32_t target)
    {
        if (decoder_.NextRow() > target)
            return false;
        AdvanceTo(target);
        ReadRow();
        return true;
    }

    // Copies the pixels at `columns` (byte offsets into the row) to `to`,
    // one every `step` bytes.
    void Copy(const std::vector<size_t> &columns, unsigned char *to, size_t step) const
    {
        if (quantized_) {
            for (size_t c : columns) {
                const unsigned char v = grayLevels_[row_[c]];
                to[0] = v;
                to[1] = v;
                to[2] = v;
                to += step;
            }
        } else {
            for (size_t c : columns) {
                to[0] = row_[c];
                to[1] = row_[c + 1];
                to[2] = row_[c + 2];
                to += step;
            }
        }
    }

    // Goes through the rest of the data as a full decode would, so that the
    // same damaged pictures fail; reading the last row makes the library
    // decode the whole stream.
    void Finish(uint32_t height)
    {
        if (decoder_.NextRow() < height) {
            AdvanceTo(height - 1);
            ReadRow();
        }
        decoder_.Finish();
    }

    bool ShowsEveryRow() const { return everyRow_ != nullptr; }

private:
    void ReadRow()
    {
        decoder_.ReadRow(row_.data());
        if (everyRow_)
            everyRow_->Row(row_.data());
    }

    // Brings the decoder to `target` as its next row.
    void AdvanceTo(uint32_t target)
    {
        while (decoder_.NextRow() < target) {
            const uint32_t next = decoder_.NextRow();
            if (!quantized_ && !everyRow_)
                decoder_.SkipRows(target - next);
            if (decoder_.NextRow() == next) // nothing skipped: read the row instead
                ReadRow();
        }
    }

    JpegDecoder &decoder_;
    const bool quantized_;
    const unsigned char *const grayLevels_;
    PictureRows *const everyRow_;
    std::vector<unsigned char> row_;
};

// The thumbnail's encoder. An encoding failure is reported only after the
// target file has been created, and only if decoding succeeds: the first
// one is kept, and decoding goes on after it.
class ThumbnailEncoder {
public:
    ThumbnailEncoder(const ThumbnailExtent &thumb, bool progressive)
    {
        Try([&] { encoder_.Start(thumb.Width, thumb.Height, progressive); });
    }

    void WriteRow(const unsigned char *row)
    {
        Try([&] { encoder_.WriteRow(row); });
    }

    PreparedThumbnail Finish()
    {
        PreparedThumbnail result;
        Try([&] { result.Jpeg = encoder_.Finish(); });
        result.EncodeError = error_;
        return result;
    }

private:
    template <typename Step> void Try(Step &&step)
    {
        if (!error_.empty())
            return;
        try {
            step();
        } catch (const JpegError &e) {
            error_ = e.what();
        }
    }

    JpegEncoder encoder_;
    std::string error_;
};

// An upright picture: each thumbnail row goes to the encoder as soon as it
// is sampled, so neither the full picture nor the thumbnail raster is held.
void SampleUpright(RowSampler &rows, ThumbnailEncoder &encoder, uint32_t W, uint32_t H,
                   const ThumbnailExtent &thumb)
{
    std::vector<size_t> columns(static_cast<size_t>(thumb.Width));
    for (int32_t i = 0; i < thumb.Width; ++i)
        columns[i] = SourceIndex(i, W, thumb.Width) * rows.BytesPerPixel();
    std::vector<unsigned char> out(static_cast<size_t>(thumb.Width) * 3);
    for (int32_t j = 0; j < thumb.Height; ++j) {
        if (rows.Read(SourceIndex(j, H, thumb.Height)))
            rows.Copy(columns, out.data(), 3);
        encoder.WriteRow(out.data());
    }
}

// A picture to be turned upright: its thumbnail rows come from the stored
// rows in another order (bottom up, or one stored row for each thumbnail
// column), so it is sampled into a whole thumbnail raster, which this
// returns. One stored row gives one line of the thumbnail, a row of it or
// (when the sides are exchanged) a column.
std::vector<unsigned char> SampleTurned(RowSampler &rows, Orientation orientation, uint32_t W,
                                        uint32_t H, const ThumbnailExtent &thumb)
{
    const bool swapped = SwapsSides(orientation);
    const uint32_t shownW = swapped ? H : W;
    const uint32_t shownH = swapped ? W : H;
    const size_t w = static_cast<size_t>(thumb.Width);
    const size_t h = static_cast<size_t>(thumb.Height);
    const size_t lines = swapped ? w : h;
    const size_t along = swapped ? h : w;
    // In a turned picture the stored row depends on the line alone and
    // the stored column on the place along it.
    auto stored = [&](size_t line, size_t place) {
        const size_t i = swapped ? line : place, j = swapped ? place : line;
        return StoredPixelOf(orientation, SourceIndex(static_cast<int64_t>(i), shownW, thumb.Width),
                             SourceIndex(static_cast<int64_t>(j), shownH, thumb.Height), W, H);
    };
    std::vector<uint32_t> lineRow(lines);
    for (size_t line = 0; line < lines; ++line)
        lineRow[line] = stored(line, 0).Row;
    std::vector<size_t> columns(along);
    for (size_t place = 0; place < along; ++place)
        columns[place] = stored(0, place).Column * rows.BytesPerPixel();
    const size_t lineStart = swapped ? 3 : w * 3; // bytes from one line to the next
    const size_t step = swapped ? w * 3 : 3;      // from one place to the next
    std::vector<unsigned char> raster(w * h * 3);
    std::vector<size_t> order(lines);
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return lineRow[a] < lineRow[b]; });
    for (size_t line : order) {
        rows.Read(lineRow[line]);
        rows.Copy(columns, raster.data() + line * lineStart, step);
    }
    return raster;
}

// Decodes the rows the sampler needs and encodes the thumbnail. The result
// is what a full decode followed by the same sampling gives.
PreparedThumbnail SampleAndEncode(JpegDecoder &decoder, const JpegHeader &header,
                                  const ThumbnailExtent &thumb, PictureRows *everyRow)
{
    decoder.Start();
    const uint32_t W = static_cast<uint32_t>(header.Width);
    const uint32_t H = static_cast<uint32_t>(header.Height);
    RowSampler rows(decoder, W, everyRow);
    if (rows.ShowsEveryRow())
        everyRow->Begin(header);
    ThumbnailEncoder encoder(thumb, header.Progressive);

    if (header.Orient == Orientation::Normal) {
        SampleUpright(rows, encoder, W, H, thumb);
        rows.Finish(H);
    } else {
        const std::vector<unsigned char> raster = SampleTurned(rows, header.Orient, W, H, thumb);
        rows.Finish(H);
        const size_t rowBytes = static_cast<size_t>(thumb.Width) * 3;
        for (size_t j = 0; j < static_cast<size_t>(thumb.Height); ++j)
            encoder.WriteRow(raster.data() + j * rowBytes);
    }
    PreparedThumbnail result = encoder.Finish();
    result.EveryRowShown = rows.ShowsEveryRow();
    return result;
}

// Whole GiB, or tenths of one rounded down, so that "more than" stays true
// (MiB below 1 GiB).
std::string GiBText(uint64_t bytes)
{
    if (bytes < kGiB)
        return std::to_string(bytes >> 20) + " MiB";
    const uint64_t tenths = bytes / (kGiB / 1024) * 10 / 1024;
    if (bytes % kGiB == 0 || tenths % 10 == 0)
        return std::to_string(bytes / kGiB) + " GiB";
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " GiB";
}

ThumbnailMemoryError TooMuchMemory(const std::string &sourcePath, uint64_t memoryLimit)
{
    return ThumbnailMemoryError(CannotMakeThumbnail(
        sourcePath, "decoding it would need more than " + GiBText(memoryLimit) + " of memory"));
}

} // namespace

namespace {

// What libjpeg's limit can hold.
size_t LibraryLimit(uint64_t bytes)
{
    return static_cast<size_t>(
        std::min<uint64_t>(bytes, static_cast<uint64_t>(std::numeric_limits<long>::max())));
}

// The sides of the picture as shown.
ThumbnailExtent ShownSides(const JpegHeader &header)
{
    if (SwapsSides(header.Orient))
        return {header.Height, header.Width};
    return {header.Width, header.Height};
}

// The sampled thumbnail that a turned picture holds whole.
uint64_t TurnedRasterBytes(Orientation orientation, const ThumbnailExtent &thumb)
{
    if (orientation == Orientation::Normal)
        return 0;
    return static_cast<uint64_t>(thumb.Width) * static_cast<uint64_t>(thumb.Height) * 3;
}

PreparedThumbnail Prepare(std::unique_ptr<JpegDecoder> decoder, const std::string &sourcePath,
                          const std::string &sizeText, uint64_t memoryLimit, PictureRows *everyRow)
{
    try {
        // An empty file is not parsed: W and H stay 0.
        JpegHeader header;
        if (decoder)
            header = decoder->ReadHeader();
        const ThumbnailExtent shown = ShownSides(header);

        // The orientation test comes before the size text is looked at. Its
        // error (an empty file) and the size rule's are the picture's; the
        // size text's error is the setting's and names no picture.
        try {
            IsLandscape(shown.Width, shown.Height);
        } catch (const SiteError &e) {
            throw PictureError(sourcePath, e.what());
        }
        const int32_t size = ConvertThumbnailSize(sizeText);
        if (size < 0)
            throw SiteError("The thumbnail size '" + sizeText +
                            "' is negative; it must be a whole number of pixels, at least 1");
        ThumbnailExtent thumb;
        try {
            thumb = ThumbnailDimensions(shown.Width, shown.Height, size);
        } catch (const SiteError &e) {
            throw PictureError(sourcePath, e.what());
        }

        if (thumb.Width < 1 || thumb.Height < 1 || thumb.Width > kMaxJpegSide ||
            thumb.Height > kMaxJpegSide ||
            static_cast<uint64_t>(thumb.Width) * static_cast<uint64_t>(thumb.Height) * 3 >
                kMaxThumbnailBytes)
            throw SiteError(CannotMakeThumbnail(
                sourcePath,
                "at " + std::to_string(thumb.Width) + " x " + std::to_string(thumb.Height) +
                    " pixels it would be too large (at most " + std::to_string(kMaxJpegSide) +
                    " pixels a side and " + GiBText(kMaxThumbnailBytes) + " in all)"));

        if (header.Components == 4)
            throw SiteError(CannotMakeThumbnail(
                sourcePath,
                "pictures with four colour components (CMYK or YCCK) are not supported"));

        if (header.Components == 1 &&
            static_cast<uint64_t>(header.Width) * static_cast<uint64_t>(header.Height) >
                kMaxGrayPixels)
            throw SiteError(CannotMakeThumbnail(
                sourcePath, "at " + std::to_string(header.Width) + " x " +
                                std::to_string(header.Height) +
                                " pixels the grayscale picture is too large (at most " +
                                std::to_string(kMaxGrayPixels) + " pixels)"));

        // Decoder, encoder and a turned picture's raster together stay
        // within the limit.
        const uint64_t beside = (header.Progressive ? ProgressiveEncoderBytes(thumb) : 0) +
                                TurnedRasterBytes(header.Orient, thumb);
        if (beside >= memoryLimit)
            throw TooMuchMemory(sourcePath, memoryLimit);
        decoder->LimitMemory(LibraryLimit(memoryLimit - beside));

        PreparedThumbnail result = SampleAndEncode(*decoder, header, thumb, everyRow);
        result.SourcePath = sourcePath;
        return result;
    } catch (const JpegError &e) {
        if (e.OutOfMemory())
            throw TooMuchMemory(sourcePath, memoryLimit);
        if (e.TooManyScans())
            throw SiteError(CannotMakeThumbnail(
                sourcePath, "it has more scans than a picture of its size may have"));
        if (e.ReadErrno() != 0)
            throw SiteError(CannotOpenFileMessage(sourcePath, e.ReadErrno()));
        throw PictureError(sourcePath, e.what());
    }
}

} // namespace

uint64_t DecodeMemoryCapFor(uint64_t physicalMemory)
{
    return std::max(kGiB, physicalMemory / 4);
}

uint64_t DecodeMemoryCap()
{
    static const uint64_t cap = [] {
        const long pages = ::sysconf(_SC_PHYS_PAGES);
        const long pageSize = ::sysconf(_SC_PAGE_SIZE);
        if (pages <= 0 || pageSize <= 0)
            return DecodeMemoryCapFor(0);
        return DecodeMemoryCapFor(static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize));
    }();
    return cap;
}

PreparedThumbnail PrepareThumbnail(const std::string &sourcePath, const std::string &sizeText,
                                   uint64_t memoryLimit, PictureRows *everyRow)
{
    // The picture is read as it is decoded, never held whole: a large
    // progressive picture already needs all its coefficients in memory.
    InputFile file(sourcePath);
    std::vector<unsigned char> firstBytes = file.Read(kDecoderFileBuffer);
    std::unique_ptr<JpegDecoder> decoder;
    if (!firstBytes.empty())
        decoder = std::make_unique<JpegDecoder>(file.Descriptor(), std::move(firstBytes),
                                                LibraryLimit(memoryLimit));
    return Prepare(std::move(decoder), sourcePath, sizeText, memoryLimit, everyRow);
}

PreparedThumbnail PrepareThumbnailFromBytes(std::vector<unsigned char> bytes,
                                            const std::string &sourcePath,
                                            const std::string &sizeText, uint64_t memoryLimit)
{
    std::unique_ptr<JpegDecoder> decoder;
    if (!bytes.empty())
        decoder =
            std::make_unique<JpegDecoder>(bytes.data(), bytes.size(), LibraryLimit(memoryLimit));
    return Prepare(std::move(decoder), sourcePath, sizeText, memoryLimit, nullptr);
}

void WriteThumbnail(const std::string &targetPath, const PreparedThumbnail &thumbnail)
{
    // A link at the name is removed too, even one that leads nowhere:
    // creating the file through it would write outside the site.
    if (FileExists(targetPath) || IsSymlink(targetPath))
        DeleteFileQuietly(targetPath);
    if (!thumbnail.EncodeError.empty()) {
        // The target is created before encoding; a failed encoding leaves it empty.
        WriteWholeFile(targetPath, nullptr, 0);
        throw PictureError(thumbnail.SourcePath, thumbnail.EncodeError);
    }
    WriteWholeFile(targetPath, thumbnail.Jpeg.data(), thumbnail.Jpeg.size());
}

uint64_t ThumbnailMemoryNeed(const std::string &sourcePath, const std::string &sizeText,
                             uint64_t memoryCap)
{
    // Only a regular file is looked into: reading a pipe's header would
    // take bytes the decoder needs, and opening one can block.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(sourcePath, ec))
        return kDecoderFileBuffer;
    // Headers that cannot be read say nothing of what decoding will take:
    // such a picture counts as the most one picture may hold.
    const std::optional<JpegFrame> frame = ReadJpegFrameFromFile(sourcePath);
    if (!frame)
        return memoryCap;
    // The read buffer, the coefficients, and a few rows of the picture and
    // of the thumbnail.
    uint64_t need = kDecoderFileBuffer + CoefficientBufferBytes(*frame) +
                    uint64_t(64) * static_cast<uint64_t>(frame->Width);
    if ((frame->MultiScan || frame->Orient != Orientation::Normal) && frame->Height > 0) {
        try {
            const int32_t size = ConvertThumbnailSize(sizeText);
            const bool swapped = SwapsSides(frame->Orient);
            if (size > 0) {
                const ThumbnailExtent thumb =
                    ThumbnailDimensions(swapped ? frame->Height : frame->Width,
                                        swapped ? frame->Width : frame->Height, size);
                if (frame->MultiScan)
                    need += ProgressiveEncoderBytes(thumb);
                need += TurnedRasterBytes(frame->Orient, thumb);
            }
        } catch (const SiteError &) {
            // The picture fails before anything is decoded.
        }
    }
    return need;
}

void MakeThumbnail(const std::string &sourcePath, const std::string &targetPath,
                   const std::string &sizeText, uint64_t memoryLimit)
{
    const PreparedThumbnail thumbnail = PrepareThumbnail(sourcePath, sizeText, memoryLimit);
    WriteThumbnail(targetPath, thumbnail);
}

} // namespace pixelnook
