// pixelnook-bench: the timed steps of bench/run. Each mode does one whole
// job over a list of pictures, so that an outside timer (hyperfine,
// /usr/bin/time) measures it as a process:
//
//   stage WORKERS SIZE OUTDIR PICTURE...   the program's thumbnail stage
//   reference SIZE OUTDIR PICTURE...       the straightforward way: full decode
//                                          into W x H x 3, sample, encode
//   floor WORKERS PICTURE...               entropy decoding only: every row
//                                          skipped but the last; largest
//                                          files first
//   dims SIZE PICTURE...                   "W H w h PATH" per picture
//   big PATH WIDTH HEIGHT                  a large baseline test picture
//
// WORKERS 0 means one per core. Thumbnails are named OUTDIR/tn_NAME.
#include "site/FileSystem.h"
#include "site/Thumbnail.h"
#include "site/ThumbnailStage.h"
#include "tests/support/JpegFixtures.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <jpeglib.h>

namespace {

// A benchmark input that libjpeg refuses ends the run: print and exit, never
// return into the library.
extern "C" void BenchErrorExit(j_common_ptr cinfo)
{
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    std::fprintf(stderr, "pixelnook-bench: %s\n", text);
    std::exit(1);
}
extern "C" void BenchSilence(j_common_ptr) {}

jpeg_error_mgr *BenchErrors(jpeg_error_mgr *err)
{
    jpeg_std_error(err);
    err->error_exit = BenchErrorExit;
    err->output_message = BenchSilence;
    return err;
}

// Files are read as the thumbnail maker reads them, so that every line pays
// the same for it.
std::vector<unsigned char> ReadAll(const std::string &path)
{
    return pixelnook::ReadWholeFile(path);
}

std::string BaseName(const std::string &path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void Header(const std::vector<unsigned char> &bytes, int &W, int &H)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = BenchErrors(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    W = static_cast<int>(cinfo.image_width);
    H = static_cast<int>(cinfo.image_height);
    jpeg_destroy_decompress(&cinfo);
}

// The straightforward thumbnail: the whole picture decoded into one raster,
// sampled and encoded, by the same plain code the tests compare the
// program's thumbnails against.
void ReferenceThumbnail(const std::string &path, const std::string &sizeText,
                        const std::string &target)
{
    const std::vector<unsigned char> bytes = ReadAll(path);
    int W = 0, H = 0;
    Header(bytes, W, H);
    const pixelnook::ThumbnailExtent t =
        pixelnook::ThumbnailDimensions(W, H, pixelnook::ConvertThumbnailSize(sizeText));
    const std::vector<unsigned char> thumbnail =
        fixtures::ReferenceThumbnail(bytes, t.Width, t.Height);
    if (thumbnail.empty()) {
        std::fprintf(stderr, "pixelnook-bench: cannot decode %s\n", path.c_str());
        std::exit(1);
    }
    std::ofstream file(target, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char *>(thumbnail.data()),
               static_cast<std::streamsize>(thumbnail.size()));
}

// What no thumbnail of a full-size picture can avoid: reading the file and
// entropy-decoding every scan (the last row forces the whole stream).
void FloorDecode(const std::string &path)
{
    const std::vector<unsigned char> bytes = ReadAll(path);
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = BenchErrors(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d, TRUE);
    d.dct_method = JDCT_FLOAT;
    d.do_block_smoothing = TRUE;
    d.out_color_space = d.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&d);
    std::vector<unsigned char> row(static_cast<size_t>(d.output_width) * d.output_components);
    while (d.output_scanline + 1 < d.output_height)
        jpeg_skip_scanlines(&d, d.output_height - 1 - d.output_scanline);
    JSAMPROW r = row.data();
    jpeg_read_scanlines(&d, &r, 1);
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
}

unsigned Workers(const char *text)
{
    const unsigned n = static_cast<unsigned>(std::strtoul(text, nullptr, 10));
    return n ? n : std::max(1u, std::thread::hardware_concurrency());
}

template <typename Job> void RunOnThreads(unsigned workers, size_t count, Job job)
{
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t k; (k = next++) < count;)
            job(k);
    };
    if (workers <= 1) {
        work();
        return;
    }
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < workers; ++i)
        threads.emplace_back(work);
    for (std::thread &t : threads)
        t.join();
}

// A 12000 x 12000 baseline picture, written row by row: broad shapes with
// some texture, enough to look like a scan rather than a flat test card.
void MakeBigPicture(const std::string &path, int width, int height)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "pixelnook-bench: cannot create %s\n", path.c_str());
        std::exit(1);
    }
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = BenchErrors(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, file);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 85, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
    uint32_t seed = 12345;
    while (c.next_scanline < c.image_height) {
        const double y = c.next_scanline;
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const double base = 0.5 + 0.3 * std::sin(x / 900.0) * std::cos(y / 1300.0);
            const double detail =
                0.08 * std::sin((x + 2 * y) / 23.0) * std::sin((3 * x - y) / 57.0);
            const int noise = static_cast<int>(seed >> 30) - 1;
            for (int ch = 0; ch < 3; ++ch) {
                double v = 255 * (base + detail * (ch + 1) / 2 +
                                  0.1 * std::sin((x * (ch + 1)) / 4000.0 + y / 3000.0));
                v += noise;
                row[static_cast<size_t>(x) * 3 + ch] =
                    static_cast<unsigned char>(std::min(255.0, std::max(0.0, v)));
            }
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(file);
}

int Usage()
{
    std::fprintf(stderr, "usage: pixelnook-bench stage WORKERS SIZE OUTDIR PICTURE...\n"
                         "       pixelnook-bench reference SIZE OUTDIR PICTURE...\n"
                         "       pixelnook-bench floor WORKERS PICTURE...\n"
                         "       pixelnook-bench dims SIZE PICTURE...\n"
                         "       pixelnook-bench big PATH WIDTH HEIGHT\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return Usage();
    const std::string mode = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    try {
        if (mode == "stage" && args.size() >= 3) {
            std::vector<pixelnook::ThumbnailJob> jobs;
            for (size_t k = 3; k < args.size(); ++k)
                jobs.push_back({args[k], args[2] + "/tn_" + BaseName(args[k]), {}, 0});
            pixelnook::MakeThumbnails(
                jobs, args[1], static_cast<unsigned>(std::strtoul(args[0].c_str(), nullptr, 10)));
        } else if (mode == "reference" && args.size() >= 2) {
            for (size_t k = 2; k < args.size(); ++k)
                ReferenceThumbnail(args[k], args[0], args[1] + "/tn_" + BaseName(args[k]));
        } else if (mode == "floor" && args.size() >= 1) {
            // Largest files first, so that no worker is left with a large
            // picture at the end while the others idle: the floor is the
            // best any schedule could do, without a memory limit.
            std::vector<std::string> pictures(args.begin() + 1, args.end());
            std::stable_sort(
                pictures.begin(), pictures.end(), [](const std::string &a, const std::string &b) {
                    return std::filesystem::file_size(a) > std::filesystem::file_size(b);
                });
            RunOnThreads(Workers(args[0].c_str()), pictures.size(), [&](size_t k) {
                try {
                    FloorDecode(pictures[k]);
                } catch (const std::exception &e) { // never let it end a thread
                    std::fprintf(stderr, "pixelnook-bench: %s\n", e.what());
                    std::exit(1);
                }
            });
        } else if (mode == "dims" && args.size() >= 1) {
            for (size_t k = 1; k < args.size(); ++k) {
                int W = 0, H = 0;
                Header(ReadAll(args[k]), W, H);
                const pixelnook::ThumbnailExtent t =
                    pixelnook::ThumbnailDimensions(W, H, pixelnook::ConvertThumbnailSize(args[0]));
                std::printf("%d %d %d %d %s\n", W, H, t.Width, t.Height, args[k].c_str());
            }
        } else if (mode == "big" && args.size() == 3) {
            MakeBigPicture(args[0], std::atoi(args[1].c_str()), std::atoi(args[2].c_str()));
        } else {
            return Usage();
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "pixelnook-bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
