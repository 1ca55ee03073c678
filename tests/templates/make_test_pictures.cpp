// Writes small baseline JPEG pictures for the template tests:
//
//   make_test_pictures DIR WIDTH HEIGHT NAME...
//
// Picture k (from 1) has its own hue and k light bars across it, so that
// screenshots and a person looking at them can tell the pictures apart.
#include <cmath>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

struct Errors {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void OnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<Errors *>(info->err)->jump, 1);
}

unsigned char Channel(double v)
{
    return static_cast<unsigned char>(std::lround(std::fmin(255.0, std::fmax(0.0, v))));
}

bool Write(const std::string &path, int width, int height, int k)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const double hue = std::fmod(k * 0.38, 1.0) * 6.283185307179586;
    std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
    jpeg_compress_struct c;
    Errors err;
    c.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnError;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&c);
        std::fclose(file);
        return false;
    }
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, file);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 85, TRUE);
    jpeg_start_compress(&c, TRUE);
    const int bar = width / (2 * k + 1);
    double base[3];
    for (int ch = 0; ch < 3; ++ch)
        base[ch] = 127 + 110 * std::cos(hue + ch * 2.0943951023931953);
    while (c.next_scanline < c.image_height) {
        const double y = static_cast<double>(c.next_scanline) / height;
        for (int x = 0; x < width; ++x) {
            const double shade = 0.55 + 0.35 * (static_cast<double>(x) / width + y) / 2;
            const bool light = bar > 0 && (x / bar) % 2 == 1 && x / bar < 2 * k && y > 0.3 && y < 0.7;
            for (int ch = 0; ch < 3; ++ch)
                row[static_cast<size_t>(x) * 3 + ch] = Channel(light ? 245 : base[ch] * shade);
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    return std::fclose(file) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: make_test_pictures DIR WIDTH HEIGHT NAME...\n");
        return 2;
    }
    const std::string dir = argv[1];
    const int width = std::atoi(argv[2]);
    const int height = std::atoi(argv[3]);
    if (width < 1 || height < 1) {
        std::fprintf(stderr, "make_test_pictures: bad size %s x %s\n", argv[2], argv[3]);
        return 2;
    }
    for (int i = 4; i < argc; ++i) {
        const std::string path = dir + "/" + argv[i];
        if (!Write(path, width, height, i - 3)) {
            std::fprintf(stderr, "make_test_pictures: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
