#include "WebCopy.h"

#include "FileSystem.h"
#include "JpegCodec.h"
#include "JpegFrame.h"
#include "PictureMetadata.h"
#include "SiteError.h"
#include "SiteLayout.h"
#include "WebScaler.h"

#include <vips/vips.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <system_error>

namespace pixelnook {

namespace {

// What marks an index.html as this program's, so that a later build may
// replace it and never a page of the user's.
constexpr const char *kFrontPageMark = "<meta name=\"generator\" content=\"Pixelnook\">";

// libvips' warnings (a colour profile it cannot use) would be printed by
// GLib; the build reports only errors.
extern "C" void DropVipsWarning(const gchar *, GLogLevelFlags, const gchar *, gpointer) {}

void InitVips()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (vips_init("pixelnook") != 0)
            return; // the first operation reports what is missing
        g_log_set_handler("VIPS",
                          static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE),
                          DropVipsWarning, nullptr);
        // Each copy is converted once: caching the operations would only
        // keep the rasters in memory.
        vips_cache_set_max(0);
        // The builds' own workers already keep the cores busy, one picture
        // each; more threads per picture would only hold more buffers.
        vips_concurrency_set(1);
    });
}

// Owns one reference of a libvips object.
template <typename T> struct VipsRef {
    T *p = nullptr;
    ~VipsRef()
    {
        if (p)
            g_object_unref(p);
    }
};

std::string Count(int n, const char *one, const char *many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

WebCopySides WebCopySidesFor(int32_t width, int32_t height, int longestSide)
{
    const int32_t longest = std::max(width, height);
    if (longest <= longestSide)
        return {width, height};
    const auto shrunk = [&](int32_t side) {
        const double exact = static_cast<double>(side) * longestSide / longest;
        return std::max<int32_t>(1, static_cast<int32_t>(std::lround(exact)));
    };
    if (width >= height)
        return {longestSide, shrunk(height)};
    return {shrunk(width), longestSide};
}

namespace {

std::string CannotMakeWebCopy(const std::string &sourcePath, const std::string &reason)
{
    return "Cannot make the web copy of \"" + sourcePath + "\": " + reason;
}

// The stored raster as it is shown: turned and mirrored by its orientation.
std::vector<unsigned char> UprightRaster(const std::vector<unsigned char> &stored, uint32_t W,
                                         uint32_t H, int channels, Orientation orientation)
{
    const uint32_t shownW = SwapsSides(orientation) ? H : W;
    const uint32_t shownH = SwapsSides(orientation) ? W : H;
    const size_t c = static_cast<size_t>(channels);
    std::vector<unsigned char> shown(stored.size());
    unsigned char *to = shown.data();
    for (uint32_t y = 0; y < shownH; ++y)
        for (uint32_t x = 0; x < shownW; ++x, to += c) {
            const StoredPixel p = StoredPixelOf(orientation, x, y, W, H);
            const unsigned char *from = &stored[(static_cast<size_t>(p.Row) * W + p.Column) * c];
            std::copy(from, from + c, to);
        }
    return shown;
}

// The raster brought from its colour profile into sRGB by libvips; a gray
// picture with a colour profile comes out as RGB. A profile the colour
// engine cannot use leaves the pixels as they are: the copy is still made,
// with the colours the picture's own numbers give.
void ToSrgb(std::vector<unsigned char> &raster, int width, int height, int &channels,
            const std::vector<unsigned char> &profile)
{
    InitVips();
    VipsRef<VipsImage> in;
    in.p = vips_image_new_from_memory(raster.data(), raster.size(), width, height, channels,
                                      VIPS_FORMAT_UCHAR);
    if (!in.p) {
        vips_error_clear();
        return;
    }
    in.p->Type = channels == 1 ? VIPS_INTERPRETATION_B_W : VIPS_INTERPRETATION_sRGB;
    vips_image_set_blob_copy(in.p, VIPS_META_ICC_NAME, profile.data(), profile.size());
    VipsRef<VipsImage> srgb;
    if (vips_icc_transform(in.p, &srgb.p, "srgb", "embedded", TRUE, "intent", VIPS_INTENT_RELATIVE,
                           nullptr) != 0) {
        vips_error_clear();
        return;
    }
    // JPEG holds 8-bit gray or RGB only.
    VipsRef<VipsImage> bands;
    if (srgb.p->Bands == 2 || srgb.p->Bands > 3) {
        if (vips_extract_band(srgb.p, &bands.p, 0, "n", srgb.p->Bands == 2 ? 1 : 3, nullptr) != 0) {
            vips_error_clear();
            return;
        }
    } else {
        bands.p = srgb.p;
        g_object_ref(bands.p);
    }
    VipsRef<VipsImage> ready;
    if (vips_cast_uchar(bands.p, &ready.p, nullptr) != 0) {
        vips_error_clear();
        return;
    }
    size_t size = 0;
    void *pixels = vips_image_write_to_memory(ready.p, &size);
    if (!pixels) {
        vips_error_clear();
        return;
    }
    raster.assign(static_cast<unsigned char *>(pixels),
                  static_cast<unsigned char *>(pixels) + size);
    g_free(pixels);
    channels = ready.p->Bands;
}

} // namespace

struct WebCopyMaker::State {
    std::string sourcePath;
    int longestSide;
    JpegHeader header;
    int channels = 3;
    WebCopySides sides{0, 0};
    // Upright pictures without a colour profile go to the encoder row by
    // row; the others are gathered here to be turned or converted first.
    bool gathered = false;
    std::vector<unsigned char> raster;
    size_t rowsOut = 0;
    JpegEncoder encoder;
    std::string encodeError;
    std::unique_ptr<WebScaler> scaler;

    void Encode(const unsigned char *row)
    {
        if (!encodeError.empty())
            return;
        try {
            encoder.WriteRow(row);
        } catch (const JpegError &error) {
            encodeError = error.what();
        }
    }
};

WebCopyMaker::WebCopyMaker(std::string sourcePath, int longestSide) : state_(new State)
{
    state_->sourcePath = std::move(sourcePath);
    state_->longestSide = longestSide;
}

WebCopyMaker::~WebCopyMaker() = default;

void WebCopyMaker::Begin(const JpegHeader &header)
{
    State &s = *state_;
    if (header.Components != 1 && header.Components != 3)
        throw SiteError(CannotMakeWebCopy(
            s.sourcePath, "pictures with four colour components (CMYK or YCCK) are not supported"));
    s.header = header;
    s.channels = header.Components;
    s.sides = WebCopySidesFor(header.Width, header.Height, s.longestSide);
    s.gathered = header.Orient != Orientation::Normal || !header.IccProfile.empty();
    const size_t rowBytes = static_cast<size_t>(s.sides.Width) * static_cast<size_t>(s.channels);
    WebScaler::RowOut out;
    if (s.gathered) {
        s.raster.resize(rowBytes * static_cast<size_t>(s.sides.Height));
        out = [&s, rowBytes](const unsigned char *row) {
            std::copy(row, row + rowBytes, s.raster.data() + s.rowsOut++ * rowBytes);
        };
    } else {
        try {
            s.encoder.StartWeb(s.sides.Width, s.sides.Height, s.channels, kWebQuality);
        } catch (const JpegError &error) {
            s.encodeError = error.what();
        }
        out = [&s](const unsigned char *row) { s.Encode(row); };
    }
    s.scaler = std::make_unique<WebScaler>(header.Width, header.Height, s.sides.Width,
                                           s.sides.Height, s.channels, std::move(out));
}

void WebCopyMaker::Row(const unsigned char *pixels)
{
    state_->scaler->Row(pixels);
}

std::vector<unsigned char> WebCopyMaker::Finish(const PictureTags &tags)
{
    State &s = *state_;
    if (!s.scaler)
        throw SiteError(CannotMakeWebCopy(s.sourcePath, "the picture was not read"));
    if (s.gathered) {
        int width = s.sides.Width, height = s.sides.Height;
        if (s.header.Orient != Orientation::Normal) {
            s.raster = UprightRaster(s.raster, static_cast<uint32_t>(width),
                                     static_cast<uint32_t>(height), s.channels, s.header.Orient);
            if (SwapsSides(s.header.Orient))
                std::swap(width, height);
        }
        if (!s.header.IccProfile.empty())
            ToSrgb(s.raster, width, height, s.channels, s.header.IccProfile);
        try {
            s.encoder.StartWeb(width, height, s.channels, kWebQuality);
        } catch (const JpegError &error) {
            s.encodeError = error.what();
        }
        const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(s.channels);
        for (int y = 0; y < height; ++y)
            s.Encode(s.raster.data() + static_cast<size_t>(y) * rowBytes);
        std::vector<unsigned char>().swap(s.raster);
    }
    std::vector<unsigned char> jpeg;
    if (s.encodeError.empty()) {
        try {
            jpeg = s.encoder.Finish();
        } catch (const JpegError &error) {
            s.encodeError = error.what();
        }
    }
    if (!s.encodeError.empty())
        throw SiteError(CannotMakeWebCopy(s.sourcePath, s.encodeError));
    return WithWebTags(jpeg, tags, s.sourcePath);
}

PictureTags WebCopyTags(const std::string &sourcePath)
{
    try {
        return ReadPictureTags(sourcePath);
    } catch (const SiteError &) {
        return {};
    }
}

std::vector<unsigned char> MakeWebCopy(const std::string &sourcePath, int longestSide,
                                       PictureTags *tagsRead)
{
    const PictureTags tags = WebCopyTags(sourcePath);
    if (tagsRead)
        *tagsRead = tags;
    WebCopyMaker maker(sourcePath, longestSide);
    try {
        InputFile file(sourcePath);
        std::vector<unsigned char> firstBytes = file.Read(kDecoderFileBuffer);
        if (firstBytes.empty())
            throw SiteError(CannotMakeWebCopy(sourcePath, "the file is empty"));
        JpegDecoder decoder(file.Descriptor(), std::move(firstBytes), DecodeMemoryCap());
        const JpegHeader header = decoder.ReadHeader();
        maker.Begin(header);
        decoder.Start(GrayOutput::Plain);
        std::vector<unsigned char> row(static_cast<size_t>(header.Width) *
                                       static_cast<size_t>(header.Components == 1 ? 1 : 3));
        for (int32_t y = 0; y < header.Height; ++y) {
            decoder.ReadRow(row.data());
            maker.Row(row.data());
        }
        decoder.Finish();
    } catch (const JpegError &error) {
        if (error.OutOfMemory())
            throw SiteError(
                CannotMakeWebCopy(sourcePath, "decoding it would need more memory than allowed"));
        if (error.ReadErrno() != 0)
            throw SiteError(CannotOpenFileMessage(sourcePath, error.ReadErrno()));
        throw SiteError(CannotMakeWebCopy(sourcePath, error.what()));
    }
    return maker.Finish(tags);
}

uint64_t WebCopyMemoryNeed(const std::string &sourcePath, int longestSide, bool ownDecode)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(sourcePath, ec))
        return 0;
    const std::optional<JpegFrame> frame = ReadJpegFrameFromFile(sourcePath);
    if (!frame || frame->Width <= 0 || frame->Height <= 0)
        return 0;
    const int channels = frame->Components.size() == 1 ? 1 : 3;
    const WebCopySides sides = WebCopySidesFor(frame->Width, frame->Height, longestSide);
    const uint64_t pixels =
        static_cast<uint64_t>(sides.Width) * static_cast<uint64_t>(sides.Height);
    // The scaler's rows; the encoder's coefficients (a progressive copy
    // holds them all: two bytes a sample, chroma a quarter each); a
    // gathered raster and its converted or turned twin; the encoded copy
    // and its re-tagged twin, at most about a byte a pixel each.
    uint64_t need =
        WebScaler::MemoryBytes(frame->Width, frame->Height, sides.Width, sides.Height, channels) +
        pixels * (channels == 1 ? 2 : 3) + 2 * pixels * channels + 2 * pixels;
    // A grayscale picture's thumbnail decode cannot serve its copy.
    if (ownDecode || channels == 1)
        need += kDecoderFileBuffer + CoefficientBufferBytes(*frame) +
                uint64_t(16) * 3 * static_cast<uint64_t>(frame->Width);
    return need;
}

WebCopies::WebCopies(const SiteSettings &settings) : settings_(settings) {}

bool WebCopies::Write(const std::string &source, const std::string &target)
{
    if (settings_.StripLocation && !settings_.WebReady) {
        const StrippedPicture copy = WithoutPrivateMetadata(ReadWholeFile(source), source);
        WriteWholeFile(target, copy.Jpeg.data(), copy.Jpeg.size());
        locationsRemoved_ += copy.HadLocation;
        return true;
    }
    KeptAsItIs(source);
    return false;
}

void WebCopies::Made(bool hadLocation, uint64_t sourceBytes, uint64_t copyBytes)
{
    locationsRemoved_ += hadLocation;
    ++webCopies_;
    originalBytes_ += sourceBytes;
    webBytes_ += copyBytes;
}

void WebCopies::KeptAsItIs(const std::string &source)
{
    locationsKept_ += PublishesLocation(source);
}

std::string WebCopies::Line() const
{
    std::string line;
    const auto add = [&line](const std::string &part) {
        if (!line.empty())
            line += "; ";
        line += part;
    };
    if (locationsRemoved_ > 0)
        add("Location removed from " + Count(locationsRemoved_, "picture", "pictures"));
    if (webCopies_ > 0)
        add(std::string(line.empty() ? "Pictures " : "pictures ") + ReadableSize(webBytes_) +
            " instead of " + ReadableSize(originalBytes_));
    if (locationsKept_ > 0)
        add(locationsKept_ == 1
                ? "1 picture publishes the place it was taken"
                : std::to_string(locationsKept_) + " pictures publish the place they were taken");
    return line;
}

std::string ReadableSize(uint64_t bytes)
{
    char text[32];
    if (bytes < 1000000) {
        std::snprintf(text, sizeof text, "%llu KB",
                      static_cast<unsigned long long>(bytes == 0 ? 0 : (bytes + 999) / 1000));
    } else if (bytes < 9950000) {
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
    } else {
        std::snprintf(text, sizeof text, "%llu MB",
                      static_cast<unsigned long long>((bytes + 500000) / 1000000));
    }
    return text;
}

bool WriteFrontPage(const std::string &siteFolder)
{
    const std::string path = siteFolder + "/index.html";
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return false;
        std::vector<unsigned char> bytes;
        try {
            bytes = ReadWholeFile(path);
        } catch (const SiteError &) {
            return false;
        }
        if (std::string(bytes.begin(), bytes.end()).find(kFrontPageMark) == std::string::npos)
            return false;
        ::unlink(path.c_str());
    }
    const std::string first = GalleryPageLink(1);
    WriteWholeFile(path,
                   std::string("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n") +
                       kFrontPageMark + "\n<meta http-equiv=\"refresh\" content=\"0; url=" + first +
                       "\">\n<title>" + first + "</title>\n</head>\n<body>\n<p><a href=\"" + first +
                       "\">" + first + "</a></p>\n</body>\n</html>\n");
    return true;
}

} // namespace pixelnook
