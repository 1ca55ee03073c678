#include "JpegFixtures.h"

#include <algorithm>
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
    cinfo.in_color_space = spec.Components == 1 ? JCS_GRAYSCALE
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
    if (spec.Progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(spec.Width) * spec.Components);
    uint32_t s = spec.Seed;
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < spec.Width; ++x) {
            for (int c = 0; c < spec.Components; ++c) {
                s = s * 1664525u + 1013904223u;
                int v = (x * 255 / std::max(1, spec.Width - 1) * (c + 1) + y * 255 / std::max(1, spec.Height - 1) * (3 - c)) / 3;
                if (((x / 5) + (y / 3)) % 4 == 0)
                    v += static_cast<int>(s >> 27) * 4; // detail that makes sampling choices visible
                row[static_cast<size_t>(x) * spec.Components + c] = static_cast<unsigned char>(v & 0xFF);
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
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
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
    std::string pattern = (std::filesystem::temp_directory_path() / "pixelnook-test-XXXXXX").string();
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
        if (m == 0xE0 && len >= 7 && bytes.size() > i + 8 && std::string(bytes.begin() + i + 4, bytes.begin() + i + 9) == std::string("JFIF\0", 5))
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

} // namespace fixtures
