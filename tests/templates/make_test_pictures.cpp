// Writes small baseline JPEG pictures for the template tests:
//
//   make_test_pictures DIR WIDTH HEIGHT NAME...
//
// Picture k (from 1) has its own hue and k light bars across it, so that
// screenshots and a person looking at them can tell the pictures apart.
#include "tests/support/JpegFixtures.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

namespace {

unsigned char Channel(double v)
{
    return static_cast<unsigned char>(std::lround(std::fmin(255.0, std::fmax(0.0, v))));
}

std::vector<unsigned char> Picture(int width, int height, int k)
{
    const double hue = std::fmod(k * 0.38, 1.0) * 6.283185307179586;
    const int bar = width / (2 * k + 1);
    double base[3];
    for (int ch = 0; ch < 3; ++ch)
        base[ch] = 127 + 110 * std::cos(hue + ch * 2.0943951023931953);
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (int row = 0; row < height; ++row) {
        const double y = static_cast<double>(row) / height;
        for (int x = 0; x < width; ++x) {
            const double shade = 0.55 + 0.35 * (static_cast<double>(x) / width + y) / 2;
            const bool light =
                bar > 0 && (x / bar) % 2 == 1 && x / bar < 2 * k && y > 0.3 && y < 0.7;
            for (int ch = 0; ch < 3; ++ch)
                pixels[(static_cast<size_t>(row) * width + x) * 3 + ch] =
                    Channel(light ? 245 : base[ch] * shade);
        }
    }
    return pixels;
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
        fixtures::JpegSpec spec;
        spec.Width = width;
        spec.Height = height;
        spec.Pixels = Picture(width, height, i - 3);
        try {
            fixtures::WriteFile(path, fixtures::MakeJpeg(spec));
        } catch (const std::exception &e) {
            std::fprintf(stderr, "make_test_pictures: cannot write %s: %s\n", path.c_str(),
                         e.what());
            return 1;
        }
    }
    return 0;
}
