// pixelnook-webscale-bench: the web-ready scaler's speed on RGB pictures of
// camera and screen sizes, shrunk to the default longest side of 2048.
// Prints a Markdown table of nanoseconds per input pixel and megapixels per
// second, best of a few runs; not part of the test suite.
//
//   pixelnook-webscale-bench [RUNS]   (default: 5)
//
// The pixels are noise, so no pattern helps any step; the rows are handed
// over one by one, as the decoder does, from a few distinct rows kept in
// memory.
#include "site/WebScaler.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace pixelnook;

namespace {

struct Size {
    int InWidth, InHeight, OutWidth, OutHeight;
};

const Size kSizes[] = {
    {2560, 1600, 2048, 1280}, {3840, 2160, 2048, 1152}, {5120, 2880, 2048, 1152},
    {5640, 3172, 2048, 1152}, {8000, 6000, 2048, 1536},
};

// Distinct noisy rows the picture cycles through: enough of them that the
// rows are not all in the cache at once.
constexpr int kDistinctRows = 61;

std::vector<unsigned char> Noise(size_t bytes)
{
    std::vector<unsigned char> pixels(bytes);
    uint32_t state = 2463534242u;
    for (unsigned char &p : pixels) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        p = static_cast<unsigned char>(state >> 24);
    }
    return pixels;
}

double ScaleSeconds(const Size &s, const std::vector<unsigned char> &rows, uint64_t &checksum)
{
    const size_t rowBytes = static_cast<size_t>(s.InWidth) * 3;
    uint64_t sum = 0;
    int rowsOut = 0;
    const auto start = std::chrono::steady_clock::now();
    WebScaler scaler(s.InWidth, s.InHeight, s.OutWidth, s.OutHeight, 3,
                     [&](const unsigned char *row) {
                         sum += row[0] + row[s.OutWidth * 3 - 1];
                         ++rowsOut;
                     });
    for (int y = 0; y < s.InHeight; ++y)
        scaler.Row(&rows[(y % kDistinctRows) * rowBytes]);
    const auto end = std::chrono::steady_clock::now();
    if (rowsOut != s.OutHeight) {
        std::fprintf(stderr, "%d rows out of %d\n", rowsOut, s.OutHeight);
        std::exit(1);
    }
    checksum += sum;
    return std::chrono::duration<double>(end - start).count();
}

} // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    uint64_t checksum = 0;
    std::printf("| Picture | Web copy | ns per input pixel | MP/s | scaler memory |\n");
    std::printf("|---|---|---:|---:|---:|\n");
    for (const Size &s : kSizes) {
        const std::vector<unsigned char> rows =
            Noise(static_cast<size_t>(s.InWidth) * 3 * kDistinctRows);
        double best = 1e30;
        for (int r = 0; r < runs; ++r)
            best = std::min(best, ScaleSeconds(s, rows, checksum));
        const double pixels = static_cast<double>(s.InWidth) * s.InHeight;
        const uint64_t memory =
            WebScaler::MemoryBytes(s.InWidth, s.InHeight, s.OutWidth, s.OutHeight, 3);
        std::printf("| %dx%d | %dx%d | %.2f | %.0f | %.1f MiB |\n", s.InWidth, s.InHeight,
                    s.OutWidth, s.OutHeight, best * 1e9 / pixels, pixels / best / 1e6,
                    memory / 1048576.0);
    }
    std::fprintf(stderr, "checksum %llu\n", static_cast<unsigned long long>(checksum));
    return 0;
}
