#include "WebCopy.h"

#include "FileSystem.h"
#include "JpegCodec.h"
#include "PictureMetadata.h"
#include "SiteError.h"
#include "SiteLayout.h"

#include <vips/vips.h>

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace pixelnook {

namespace {

// What marks an index.html as this program's, so that a later build may
// replace it and never a page of the user's.
constexpr const char *kFrontPageMark = "<meta name=\"generator\" content=\"Pixelnook\">";

// libvips' warnings (a damaged picture it still reads, an Exif field it
// does not know) would be printed by GLib; the build reports only errors.
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
        // Every picture is made once: caching the operations would only keep
        // the decoded pictures in memory.
        vips_cache_set_max(0);
        // One thread per picture: a picture's decode is serial anyway, and
        // each more thread holds buffers of its own (a build peaked 40 MiB
        // higher with two).
        vips_concurrency_set(1);
    });
}

// libvips' error text, whole lines joined, and its buffer emptied.
std::string VipsErrorText()
{
    char *buffer = vips_error_buffer_copy();
    std::string text = buffer ? buffer : "";
    g_free(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    for (char &c : text)
        if (c == '\n')
            c = ' ';
    return text.empty() ? "libvips failed" : text;
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

uint64_t FileSize(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

std::string Count(int n, const char *one, const char *many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

std::vector<unsigned char> MakeWebCopy(const std::string &sourcePath, int longestSide)
{
    InitVips();
    // Metadata Exiv2 cannot read leaves the copy with none, which is safe.
    PictureTags tags;
    try {
        tags = ReadPictureTags(sourcePath);
    } catch (const SiteError &) {
    }
    const InputFile file(sourcePath);
    const auto fail = [&] {
        return SiteError("Cannot make the web copy of \"" + sourcePath + "\": " + VipsErrorText());
    };

    VipsRef<VipsSource> source;
    source.p = vips_source_new_from_descriptor(file.Descriptor());
    if (!source.p)
        throw fail();
    // Shrinks while decoding where the JPEG allows it, then with a Lanczos
    // kernel; turns the picture upright and drops its Orientation.
    VipsRef<VipsImage> scaled;
    if (vips_thumbnail_source(source.p, &scaled.p, longestSide, "height", longestSide, "size",
                              VIPS_SIZE_DOWN, nullptr) != 0)
        throw fail();
    // A picture with a colour profile of its own is brought into sRGB, which
    // is what browsers take an untagged picture to be.
    VipsRef<VipsImage> srgb;
    if (vips_image_get_typeof(scaled.p, VIPS_META_ICC_NAME) != 0) {
        if (vips_icc_transform(scaled.p, &srgb.p, "srgb", "embedded", TRUE, "intent",
                               VIPS_INTENT_RELATIVE, nullptr) != 0)
            throw fail();
    } else if (scaled.p->Type != VIPS_INTERPRETATION_sRGB &&
               scaled.p->Type != VIPS_INTERPRETATION_B_W) {
        if (vips_colourspace(scaled.p, &srgb.p, VIPS_INTERPRETATION_sRGB, nullptr) != 0)
            throw fail();
    } else {
        srgb.p = scaled.p;
        g_object_ref(srgb.p);
    }
    // JPEG holds 8-bit gray or RGB only.
    VipsRef<VipsImage> bands;
    if (srgb.p->Bands == 2 || srgb.p->Bands > 3) {
        if (vips_extract_band(srgb.p, &bands.p, 0, "n", srgb.p->Bands == 2 ? 1 : 3, nullptr) != 0)
            throw fail();
    } else {
        bands.p = srgb.p;
        g_object_ref(bands.p);
    }
    VipsRef<VipsImage> ready;
    if (bands.p->BandFmt != VIPS_FORMAT_UCHAR) {
        if (vips_cast_uchar(bands.p, &ready.p, nullptr) != 0)
            throw fail();
    } else {
        ready.p = bands.p;
        g_object_ref(ready.p);
    }
    // Encoded here rather than by vips_jpegsave, whose progressive layout
    // (libjpeg's standard one, with successive approximation) took three
    // times the CPU of a plain optimised encode. The rows are pulled top to
    // bottom in strips, so the picture is decoded once, as it streams.
    const int width = ready.p->Xsize;
    const int height = ready.p->Ysize;
    std::vector<unsigned char> jpeg;
    try {
        JpegEncoder encoder;
        encoder.StartWeb(width, height, ready.p->Bands, kWebQuality);
        VipsRef<VipsRegion> region;
        region.p = vips_region_new(ready.p);
        constexpr int kStripRows = 64;
        for (int top = 0; top < height; top += kStripRows) {
            VipsRect strip{0, top, width, std::min(kStripRows, height - top)};
            if (vips_region_prepare(region.p, &strip) != 0)
                throw fail();
            for (int y = top; y < top + strip.height; ++y)
                encoder.WriteRow(
                    reinterpret_cast<const unsigned char *>(VIPS_REGION_ADDR(region.p, 0, y)));
        }
        jpeg = encoder.Finish();
    } catch (const JpegError &error) {
        throw SiteError("Cannot make the web copy of \"" + sourcePath + "\": " + error.what());
    }
    return WithWebTags(jpeg, tags, sourcePath);
}

WebCopies::WebCopies(const SiteSettings &settings) : settings_(settings)
{
    // What the thumbnail workers freed goes back before libvips starts.
    if (settings_.WebReady)
        malloc_trim(0);
}

bool WebCopies::Write(const std::string &source, const std::string &target)
{
    if (settings_.WebReady) {
        const bool location = PublishesLocation(source);
        const std::vector<unsigned char> copy = MakeWebCopy(source, settings_.WebSize);
        WriteWholeFile(target, copy.data(), copy.size());
        locationsRemoved_ += location;
        ++webCopies_;
        originalBytes_ += FileSize(source);
        webBytes_ += copy.size();
        return true;
    }
    if (settings_.StripLocation) {
        const StrippedPicture copy = WithoutPrivateMetadata(ReadWholeFile(source), source);
        WriteWholeFile(target, copy.Jpeg.data(), copy.Jpeg.size());
        locationsRemoved_ += copy.HadLocation;
        return true;
    }
    KeptAsItIs(source);
    return false;
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
