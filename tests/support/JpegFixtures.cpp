#include "JpegFixtures.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <jpeglib.h>

namespace fixtures {

std::vector<unsigned char> MakeJpeg(const JpegSpec &spec)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr); // test pictures are always valid: exit() on error is fine
    jpeg_create_compress(&cinfo);
    unsigned char *out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = spec.Width;
    cinfo.image_height = spec.Height;
    cinfo.input_components = spec.Components;
    cinfo.in_color_space = spec.Components == 1   ? JCS_GRAYSCALE
                           : spec.Components == 4 ? JCS_CMYK
                                                  : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, spec.Quality, TRUE);
    if (spec.Components == 3) {
        cinfo.comp_info[0].h_samp_factor = spec.HSamp;
        cinfo.comp_info[0].v_samp_factor = spec.VSamp;
    }
    if (spec.Components == 4)
        cinfo.write_Adobe_marker = TRUE;
    cinfo.restart_in_rows = spec.RestartRows;
    cinfo.arith_code = spec.Arithmetic ? TRUE : FALSE;
    if (spec.Progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_scan_info scans[4];
    std::vector<jpeg_scan_info> script;
    for (const ScanSpec &scan : spec.Scans) {
        jpeg_scan_info info{};
        info.comps_in_scan = static_cast<int>(scan.Components.size());
        for (size_t i = 0; i < scan.Components.size(); ++i)
            info.component_index[i] = scan.Components[i];
        info.Ss = scan.Ss;
        info.Se = scan.Se;
        info.Ah = scan.Ah;
        info.Al = scan.Al;
        script.push_back(info);
    }
    if (!script.empty()) {
        cinfo.scan_info = script.data();
        cinfo.num_scans = static_cast<int>(script.size());
    }
    if (spec.NonInterleaved) {
        for (int c = 0; c < spec.Components; ++c)
            scans[c] = jpeg_scan_info{1, {c, 0, 0, 0}, 0, 63, 0, 0};
        cinfo.scan_info = scans;
        cinfo.num_scans = spec.Components;
    }
    jpeg_start_compress(&cinfo, TRUE);
    if (!spec.App1.empty())
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, spec.App1.data(),
                          static_cast<unsigned>(spec.App1.size()));
    std::vector<unsigned char> row(static_cast<size_t>(spec.Width) * spec.Components);
    uint32_t s = spec.Seed;
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        if (!spec.Pixels.empty()) {
            JSAMPROW r =
                const_cast<JSAMPROW>(spec.Pixels.data() + static_cast<size_t>(y) * row.size());
            jpeg_write_scanlines(&cinfo, &r, 1);
            continue;
        }
        for (int x = 0; x < spec.Width; ++x) {
            for (int c = 0; c < spec.Components; ++c) {
                s = s * 1664525u + 1013904223u;
                int v = (x * 255 / std::max(1, spec.Width - 1) * (c + 1) +
                         y * 255 / std::max(1, spec.Height - 1) * (3 - c)) /
                        3;
                if (((x / 5) + (y / 3)) % 4 == 0)
                    v +=
                        static_cast<int>(s >> 27) * 4; // detail that makes sampling choices visible
                row[static_cast<size_t>(x) * spec.Components + c] =
                    static_cast<unsigned char>(v & 0xFF);
            }
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<unsigned char> bytes(out, out + outSize);
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return bytes;
}

std::vector<unsigned char> ExifBody(int orientation, bool bigEndian)
{
    std::vector<unsigned char> b{'E', 'x', 'i', 'f', 0, 0};
    auto u16 = [&](unsigned v) {
        const unsigned char hi = static_cast<unsigned char>(v >> 8),
                            lo = static_cast<unsigned char>(v & 0xFF);
        b.push_back(bigEndian ? hi : lo);
        b.push_back(bigEndian ? lo : hi);
    };
    auto u32 = [&](uint32_t v) {
        if (bigEndian) {
            u16(v >> 16);
            u16(v & 0xFFFF);
        } else {
            u16(v & 0xFFFF);
            u16(v >> 16);
        }
    };
    b.push_back(bigEndian ? 'M' : 'I');
    b.push_back(bigEndian ? 'M' : 'I');
    u16(42);
    u32(8); // the first directory right after the header
    u16(2); // entries
    const uint32_t makeAt = 8 + 2 + 2 * 12 + 4;
    u16(0x010F);
    u16(2);
    u32(6);
    u32(makeAt); // Make, ASCII, at makeAt
    u16(0x0112);
    u16(3);
    u32(1);
    u16(static_cast<unsigned>(orientation));
    u16(0);
    u32(0); // no next directory
    for (char c : std::string("Phone"))
        b.push_back(static_cast<unsigned char>(c));
    b.push_back(0);
    return b;
}

std::vector<unsigned char> ReadFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::filesystem::path &path, const std::vector<unsigned char> &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

void WriteText(const std::filesystem::path &path, const std::string &text)
{
    WriteFile(path, std::vector<unsigned char>(text.begin(), text.end()));
}

std::string ReadText(const std::filesystem::path &path)
{
    const auto bytes = ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

TempDir::TempDir()
{
    std::string pattern =
        (std::filesystem::temp_directory_path() / "pixelnook-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Tests may leave read-only folders behind; make them writable first.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

JpegInfo InspectJpeg(const std::vector<unsigned char> &bytes)
{
    JpegInfo info;
    // Walk the markers up to the first scan.
    size_t i = 2;
    while (i + 4 <= bytes.size() && bytes[i] == 0xFF) {
        const unsigned char m = bytes[i + 1];
        const size_t len = (static_cast<size_t>(bytes[i + 2]) << 8) | bytes[i + 3];
        if (m == 0xE0 && len >= 7 && bytes.size() > i + 8 &&
            std::string(bytes.begin() + i + 4, bytes.begin() + i + 9) == std::string("JFIF\0", 5))
            info.HasJfif = true;
        else if ((m >= 0xE0 && m <= 0xEF) || m == 0xFE)
            info.HasOtherMarkers = true;
        if (m == 0xC2)
            info.Progressive = true;
        if (m == 0xC0 || m == 0xC1 || m == 0xC2) {
            info.Height = (bytes[i + 5] << 8) | bytes[i + 6];
            info.Width = (bytes[i + 7] << 8) | bytes[i + 8];
            info.Components = bytes[i + 9];
        }
        if (m == 0xDA)
            break;
        i += 2 + len;
    }
    return info;
}

namespace {

struct ReferenceError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

extern "C" void ReferenceErrorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ReferenceError *>(cinfo->err)->jump, 1);
}
extern "C" void ReferenceSilence(j_common_ptr) {}

// Plain C-style helpers: nothing with a destructor lives across the
// setjmp, the buffers are malloc'ed and freed on both paths.
struct RawRaster {
    unsigned char *pixels = nullptr; // W * H * 3
    int width = 0, height = 0;
    bool progressive = false;
};

bool DecodeFull(const std::vector<unsigned char> &jpeg, bool thumbnailSettings, RawRaster *out)
{
    jpeg_decompress_struct cinfo;
    ReferenceError err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ReferenceErrorExit;
    err.pub.output_message = ReferenceSilence;
    unsigned char *volatile row = nullptr;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        std::free(row);
        std::free(out->pixels);
        out->pixels = nullptr;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    out->progressive = jpeg_has_multiple_scans(&cinfo);
    const bool gray = cinfo.num_components == 1;
    if (thumbnailSettings) {
        cinfo.dct_method = JDCT_FLOAT;
        cinfo.do_fancy_upsampling = TRUE;
        cinfo.do_block_smoothing = TRUE;
        if (gray) {
            cinfo.out_color_space = JCS_GRAYSCALE;
            cinfo.quantize_colors = TRUE;
            cinfo.desired_number_of_colors = 236;
            cinfo.two_pass_quantize = FALSE;
            cinfo.dither_mode = JDITHER_FS;
        } else {
            cinfo.out_color_space = JCS_RGB;
        }
    } else {
        cinfo.out_color_space = JCS_RGB;
    }
    jpeg_start_decompress(&cinfo);
    const size_t W = cinfo.output_width, H = cinfo.output_height;
    out->width = static_cast<int>(W);
    out->height = static_cast<int>(H);
    out->pixels = static_cast<unsigned char *>(std::malloc(W * H * 3));
    row = static_cast<unsigned char *>(std::malloc(W * 3));
    while (cinfo.output_scanline < H) {
        const size_t y = cinfo.output_scanline;
        JSAMPROW r = row;
        jpeg_read_scanlines(&cinfo, &r, 1);
        unsigned char *dst = out->pixels + y * W * 3;
        if (cinfo.quantize_colors) {
            for (size_t x = 0; x < W; ++x)
                dst[3 * x] = dst[3 * x + 1] = dst[3 * x + 2] = cinfo.colormap[0][row[x]];
        } else if (cinfo.output_components == 1) {
            for (size_t x = 0; x < W; ++x)
                dst[3 * x] = dst[3 * x + 1] = dst[3 * x + 2] = row[x];
        } else {
            std::copy(row, row + W * 3, dst);
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::free(row);
    return true;
}

bool EncodeRaster(const unsigned char *pixels, int w, int h, bool progressive, unsigned char **out,
                  unsigned long *outSize)
{
    jpeg_compress_struct cinfo;
    ReferenceError err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ReferenceErrorExit;
    err.pub.output_message = ReferenceSilence;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, outSize);
    cinfo.image_width = static_cast<JDIMENSION>(w);
    cinfo.image_height = static_cast<JDIMENSION>(h);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    cinfo.dct_method = JDCT_FLOAT;
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW r =
            const_cast<JSAMPROW>(pixels + static_cast<size_t>(cinfo.next_scanline) * w * 3);
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

RgbPicture DecodeRgb(const std::vector<unsigned char> &jpeg)
{
    RawRaster raw;
    if (!DecodeFull(jpeg, false, &raw))
        throw std::runtime_error("cannot decode");
    RgbPicture picture;
    picture.Width = raw.width;
    picture.Height = raw.height;
    picture.Pixels.assign(raw.pixels, raw.pixels + static_cast<size_t>(raw.width) * raw.height * 3);
    std::free(raw.pixels);
    return picture;
}

std::vector<unsigned char> ReferenceThumbnail(const std::vector<unsigned char> &jpeg, int w, int h)
{
    RawRaster raw;
    if (!DecodeFull(jpeg, true, &raw))
        return {};
    const int64_t W = raw.width, H = raw.height;
    std::vector<unsigned char> thumb(static_cast<size_t>(w) * h * 3);
    for (int64_t j = 0; j < h; ++j) {
        const int64_t sy = (2 * j + 1) * H / (2 * static_cast<int64_t>(h));
        for (int64_t i = 0; i < w; ++i) {
            const int64_t sx = (2 * i + 1) * W / (2 * static_cast<int64_t>(w));
            const unsigned char *src = raw.pixels + (sy * W + sx) * 3;
            std::copy(src, src + 3, thumb.data() + (j * w + i) * 3);
        }
    }
    std::free(raw.pixels);
    unsigned char *out = nullptr;
    unsigned long outSize = 0;
    const bool ok = EncodeRaster(thumb.data(), w, h, raw.progressive, &out, &outSize);
    std::vector<unsigned char> bytes;
    if (ok)
        bytes.assign(out, out + outSize);
    std::free(out);
    return bytes;
}

std::vector<unsigned char> WithMarkers(const std::vector<unsigned char> &jpeg,
                                       const std::vector<std::vector<unsigned char>> &segments)
{
    std::vector<unsigned char> bytes(jpeg.begin(), jpeg.begin() + 2);
    for (const auto &segment : segments)
        bytes.insert(bytes.end(), segment.begin(), segment.end());
    bytes.insert(bytes.end(), jpeg.begin() + 2, jpeg.end());
    return bytes;
}

std::vector<unsigned char> WithFrameSize(std::vector<unsigned char> jpeg, int width, int height)
{
    size_t i = 2;
    while (i + 9 < jpeg.size() && jpeg[i] == 0xFF) {
        const unsigned char m = jpeg[i + 1];
        if (m == 0xC0 || m == 0xC1 || m == 0xC2) {
            jpeg[i + 5] = static_cast<unsigned char>(height >> 8);
            jpeg[i + 6] = static_cast<unsigned char>(height & 0xFF);
            jpeg[i + 7] = static_cast<unsigned char>(width >> 8);
            jpeg[i + 8] = static_cast<unsigned char>(width & 0xFF);
            return jpeg;
        }
        i += 2 + ((static_cast<size_t>(jpeg[i + 2]) << 8) | jpeg[i + 3]);
    }
    throw std::runtime_error("no frame header");
}

} // namespace fixtures
