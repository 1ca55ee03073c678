// The web-ready scaler: its pictures against a plain whole-picture reduction
// worked out in double precision, the rows it hands on and when, what it
// refuses, and what it allocates.
#include "site/WebScaler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

using namespace pixelnook;

// ------------------------------------------------------------ allocations

// Every allocation of this test program goes through here, so that a test
// can add up what the scaler asks for while it runs.
namespace {
thread_local bool tCounting = false;
thread_local uint64_t tAllocated = 0;

void *Allocate(std::size_t bytes)
{
    if (tCounting)
        tAllocated += bytes;
    if (void *p = std::malloc(bytes ? bytes : 1))
        return p;
    throw std::bad_alloc();
}
} // namespace

void *operator new(std::size_t bytes)
{
    return Allocate(bytes);
}
void *operator new[](std::size_t bytes)
{
    return Allocate(bytes);
}
void *operator new(std::size_t bytes, const std::nothrow_t &) noexcept
{
    try {
        return Allocate(bytes);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}
void *operator new[](std::size_t bytes, const std::nothrow_t &) noexcept
{
    try {
        return Allocate(bytes);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}
void operator delete(void *p) noexcept
{
    std::free(p);
}
void operator delete[](void *p) noexcept
{
    std::free(p);
}
void operator delete(void *p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void *p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete(void *p, const std::nothrow_t &) noexcept
{
    std::free(p);
}
void operator delete[](void *p, const std::nothrow_t &) noexcept
{
    std::free(p);
}

namespace {

using Pixels = std::vector<unsigned char>;

// ------------------------------------------------------------ reference

double Lanczos3(double x)
{
    x = std::fabs(x);
    if (x >= 3)
        return 0;
    if (x < 1e-12)
        return 1;
    const double pi = 3.14159265358979323846;
    return 3 * std::sin(pi * x) * std::sin(pi * x / 3) / (pi * pi * x * x);
}

// One line of samples (any stride) reduced from `in` to `out` samples the
// plain way: boxes of floor(in / (2 out)) when shrinking by 4 or more, their
// missing pixels the edge pixel, then Lanczos3 widened by the ratio left,
// every index outside clamped to the edge.
std::vector<double> ReduceLine(const std::vector<double> &line, int out)
{
    const int in = static_cast<int>(line.size());
    if (in == out)
        return line;
    const int box = in >= 4 * out ? in / (2 * out) : 1;
    std::vector<double> boxed((in + box - 1) / box);
    for (size_t s = 0; s < boxed.size(); ++s) {
        double sum = 0;
        for (int b = 0; b < box; ++b)
            sum += line[std::min<size_t>(s * box + b, in - 1)];
        boxed[s] = sum / box;
    }
    const int n = static_cast<int>(boxed.size());
    const double ratio = static_cast<double>(in) / box / out;
    std::vector<double> result(out);
    for (int i = 0; i < out; ++i) {
        const double centre = (i + 0.5) * ratio - 0.5;
        double sum = 0, total = 0;
        for (int t = static_cast<int>(std::floor(centre - 3 * ratio));
             t <= static_cast<int>(std::ceil(centre + 3 * ratio)); ++t) {
            const double w = Lanczos3((t - centre) / ratio);
            sum += w * boxed[std::clamp(t, 0, n - 1)];
            total += w;
        }
        result[i] = sum / total;
    }
    return result;
}

// The whole picture in memory, rows reduced first, then columns.
Pixels Reference(const Pixels &picture, int inW, int inH, int outW, int outH, int ch)
{
    std::vector<double> rows(static_cast<size_t>(outW) * inH * ch);
    for (int y = 0; y < inH; ++y)
        for (int c = 0; c < ch; ++c) {
            std::vector<double> line(inW);
            for (int x = 0; x < inW; ++x)
                line[x] = picture[(static_cast<size_t>(y) * inW + x) * ch + c];
            const std::vector<double> r = ReduceLine(line, outW);
            for (int x = 0; x < outW; ++x)
                rows[(static_cast<size_t>(y) * outW + x) * ch + c] = r[x];
        }
    Pixels out(static_cast<size_t>(outW) * outH * ch);
    for (int x = 0; x < outW; ++x)
        for (int c = 0; c < ch; ++c) {
            std::vector<double> line(inH);
            for (int y = 0; y < inH; ++y)
                line[y] = rows[(static_cast<size_t>(y) * outW + x) * ch + c];
            const std::vector<double> r = ReduceLine(line, outH);
            for (int y = 0; y < outH; ++y)
                out[(static_cast<size_t>(y) * outW + x) * ch + c] =
                    static_cast<unsigned char>(std::clamp(std::lround(r[y]), 0L, 255L));
        }
    return out;
}

// ------------------------------------------------------------ helpers

// Noise over a gentle slope, so that the pictures have both edges and areas.
Pixels Noisy(int w, int h, int ch, uint32_t seed)
{
    Pixels p(static_cast<size_t>(w) * h * ch);
    for (size_t i = 0; i < p.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        const int slope = static_cast<int>((i / ch) % w * 128 / w);
        p[i] = static_cast<unsigned char>(slope + (seed >> 25));
    }
    return p;
}

// What the scaler hands on, row after row, and how many rows it was given
// when each went out.
struct Scaled {
    Pixels Picture;
    std::vector<int> RowsInAtOut;
};

Scaled Scale(const Pixels &picture, int inW, int inH, int outW, int outH, int ch)
{
    Scaled s;
    int rowsIn = 0;
    const size_t outBytes = static_cast<size_t>(outW) * ch;
    WebScaler scaler(inW, inH, outW, outH, ch, [&](const unsigned char *row) {
        s.Picture.insert(s.Picture.end(), row, row + outBytes);
        s.RowsInAtOut.push_back(rowsIn);
    });
    for (int y = 0; y < inH; ++y) {
        ++rowsIn;
        scaler.Row(&picture[static_cast<size_t>(y) * inW * ch]);
    }
    return s;
}

int MaxDifference(const Pixels &a, const Pixels &b)
{
    int most = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        most = std::max(most, std::abs(a[i] - b[i]));
    return most;
}

struct SizeCase {
    const char *Name;
    int InW, InH, OutW, OutH, Ch;
};

std::string CaseName(const ::testing::TestParamInfo<SizeCase> &info)
{
    return info.param.Name;
}

// ------------------------------------------------------------ reference table

class WebScalerReference : public ::testing::TestWithParam<SizeCase> {};

TEST_P(WebScalerReference, MatchesTheWholePictureReductionWithinOne)
{
    const SizeCase c = GetParam();
    const Pixels picture = Noisy(c.InW, c.InH, c.Ch, 12345u + c.InW);
    const Scaled s = Scale(picture, c.InW, c.InH, c.OutW, c.OutH, c.Ch);
    ASSERT_EQ(s.Picture.size(), static_cast<size_t>(c.OutW) * c.OutH * c.Ch);
    EXPECT_LE(MaxDifference(s.Picture, Reference(picture, c.InW, c.InH, c.OutW, c.OutH, c.Ch)), 1);
}

INSTANTIATE_TEST_SUITE_P(WebScaler, WebScalerReference,
                         ::testing::Values(SizeCase{"RgbSlightly", 160, 100, 128, 80, 3},
                                           SizeCase{"GraySlightly", 160, 100, 128, 80, 1},
                                           SizeCase{"RgbHalf", 200, 120, 100, 60, 3},
                                           SizeCase{"RgbThird", 90, 60, 30, 20, 3},
                                           SizeCase{"GrayOddSizes", 157, 91, 61, 37, 1},
                                           SizeCase{"RgbJustUnderFour", 399, 203, 100, 51, 3},
                                           SizeCase{"RgbExactlyFour", 400, 200, 100, 50, 3},
                                           SizeCase{"RgbBoxWithRemainder", 1003, 97, 100, 9, 3},
                                           SizeCase{"GrayBoxWithRemainder", 1003, 97, 100, 9, 1},
                                           SizeCase{"GrayLargeRatio", 1000, 10, 100, 1, 1},
                                           SizeCase{"RgbLargeRatio", 1000, 10, 100, 1, 3},
                                           SizeCase{"RgbTwentyFold", 617, 433, 29, 21, 3},
                                           SizeCase{"RgbToOnePixel", 7, 5, 1, 1, 3},
                                           SizeCase{"GrayToOnePixel", 300, 200, 1, 1, 1},
                                           SizeCase{"RgbOneColumn", 40, 33, 1, 11, 3},
                                           SizeCase{"GrayOneRowIn", 50, 1, 17, 1, 1},
                                           SizeCase{"RgbWidthKept", 64, 90, 64, 31, 3},
                                           SizeCase{"RgbHeightKept", 90, 64, 31, 64, 3},
                                           SizeCase{"GrayHeightKeptWidthBoxed", 1000, 7, 100, 7, 1},
                                           SizeCase{"RgbNarrowerThanTheFilter", 5, 300, 3, 40, 3}),
                         CaseName);

// ------------------------------------------------------------ exact pictures

// A flat colour stays exactly that colour whatever the ratio: the weights
// add up to 1 and the edges are extended, not darkened.
TEST(WebScalerFlat, StaysExactlyTheColour)
{
    const SizeCase sizes[] = {{"", 100, 80, 99, 79, 3}, {"", 100, 80, 50, 40, 3},
                              {"", 100, 80, 33, 27, 3}, {"", 1000, 80, 100, 8, 3},
                              {"", 357, 211, 1, 1, 3},  {"", 357, 211, 40, 23, 1}};
    const unsigned char colours[][3] = {{0, 0, 0}, {255, 255, 255}, {201, 13, 77}};
    for (const SizeCase &c : sizes)
        for (const auto &colour : colours) {
            Pixels picture(static_cast<size_t>(c.InW) * c.InH * c.Ch);
            for (size_t i = 0; i < picture.size(); ++i)
                picture[i] = colour[i % c.Ch];
            const Pixels out = Scale(picture, c.InW, c.InH, c.OutW, c.OutH, c.Ch).Picture;
            ASSERT_EQ(out.size(), static_cast<size_t>(c.OutW) * c.OutH * c.Ch);
            for (size_t i = 0; i < out.size(); ++i)
                ASSERT_EQ(out[i], colour[i % c.Ch])
                    << c.InW << "x" << c.InH << " to " << c.OutW << "x" << c.OutH << " byte " << i;
        }
}

// A picture already small enough comes out with its very bytes.
TEST(WebScalerIdentity, GivesTheInputBytes)
{
    for (int ch : {1, 3}) {
        const Pixels picture = Noisy(37, 23, ch, 7u);
        const Scaled s = Scale(picture, 37, 23, 37, 23, ch);
        EXPECT_EQ(s.Picture, picture) << ch << " channels";
        // Each row goes on as it comes.
        for (int j = 0; j < 23; ++j)
            EXPECT_EQ(s.RowsInAtOut[j], j + 1);
    }
}

// ------------------------------------------------------------ rows

// Exactly outHeight rows, top to bottom: a picture that darkens row by row
// comes out darkening row by row, at every ratio, with or without boxes.
TEST(WebScalerRows, AVerticalGradientStaysInOrder)
{
    const SizeCase sizes[] = {{"", 30, 255, 30, 254, 3},
                              {"", 30, 255, 20, 100, 3},
                              {"", 30, 255, 20, 64, 1},
                              {"", 30, 255, 30, 9, 3},
                              {"", 30, 255, 7, 2, 1}};
    for (const SizeCase &c : sizes) {
        Pixels picture(static_cast<size_t>(c.InW) * c.InH * c.Ch);
        for (size_t i = 0; i < picture.size(); ++i)
            picture[i] = static_cast<unsigned char>(i / (static_cast<size_t>(c.InW) * c.Ch));
        const Scaled s = Scale(picture, c.InW, c.InH, c.OutW, c.OutH, c.Ch);
        ASSERT_EQ(s.RowsInAtOut.size(), static_cast<size_t>(c.OutH));
        const size_t rowBytes = static_cast<size_t>(c.OutW) * c.Ch;
        for (int j = 1; j < c.OutH; ++j)
            EXPECT_LT(s.Picture[(j - 1) * rowBytes], s.Picture[j * rowBytes])
                << "row " << j << " of " << c.OutH;
        EXPECT_LT(s.Picture.front(), 128);
        EXPECT_GT(s.Picture.back(), 128);
    }
}

// Each row goes on as soon as the last input row under its filter (or the
// last of the box holding it) has arrived, and not before.
TEST(WebScalerRows, GoOutAsSoonAsTheirRowsHaveArrived)
{
    const struct {
        int InH, OutH;
    } cases[] = {{100, 80}, {100, 50}, {90, 30}, {397, 100}, {1003, 100}, {40, 1}};
    for (const auto &c : cases) {
        const Scaled s = Scale(Noisy(8, c.InH, 1, 3u), 8, c.InH, 8, c.OutH, 1);
        ASSERT_EQ(s.RowsInAtOut.size(), static_cast<size_t>(c.OutH));
        const int box = c.InH >= 4 * c.OutH ? c.InH / (2 * c.OutH) : 1;
        const int samples = (c.InH + box - 1) / box;
        const double ratio = static_cast<double>(c.InH) / box / c.OutH;
        for (int j = 0; j < c.OutH; ++j) {
            const double centre = (j + 0.5) * ratio - 0.5;
            const int lastSample =
                std::min(samples - 1, static_cast<int>(std::ceil(centre + 3 * ratio)) - 1);
            const int needed = std::min(c.InH, (lastSample + 1) * box);
            EXPECT_EQ(s.RowsInAtOut[j], needed) << c.InH << " to " << c.OutH << ", row " << j;
        }
    }
}

// ------------------------------------------------------------ anti-aliasing

// Patterns finer than the output's pixels average out to gray instead of
// coming out black and white, as picking pixels would give.
TEST(WebScalerAliasing, FinePatternsBecomeMidGray)
{
    const struct {
        const char *Pattern;
        int Ratio; // 3: the filter alone; 5: a box of 2, then the filter
    } cases[] = {{"checkerboard", 3}, {"lines", 3}, {"columns", 3},
                 {"checkerboard", 5}, {"lines", 5}, {"columns", 5}};
    for (const auto &c : cases) {
        const int in = 60 * c.Ratio, out = 60;
        const std::string pattern = c.Pattern;
        Pixels picture(static_cast<size_t>(in) * in * 3);
        for (int y = 0; y < in; ++y)
            for (int x = 0; x < in; ++x) {
                const int on = pattern == "lines"     ? y & 1
                               : pattern == "columns" ? x & 1
                                                      : (x + y) & 1;
                for (int ch = 0; ch < 3; ++ch)
                    picture[(static_cast<size_t>(y) * in + x) * 3 + ch] = on ? 255 : 0;
            }
        const Pixels scaled = Scale(picture, in, in, out, out, 3).Picture;
        // The first and last samples see the clamped edge; the rest are
        // within a few steps of half-way.
        for (int y = 3; y < out - 3; ++y)
            for (int x = 3; x < out - 3; ++x)
                ASSERT_NEAR(scaled[(static_cast<size_t>(y) * out + x) * 3], 127.5, 8)
                    << c.Pattern << " shrunk " << c.Ratio << " times, at " << x << "," << y;
    }
}

// ------------------------------------------------------------ refusals

TEST(WebScalerRefusals, BadSizesAndChannelsThrow)
{
    const SizeCase bad[] = {
        {"NoWidth", 0, 10, 1, 1, 3},           {"NoHeight", 10, 0, 1, 1, 3},
        {"NoOutWidth", 10, 10, 0, 5, 3},       {"NoOutHeight", 10, 10, 5, 0, 3},
        {"NegativeOut", 10, 10, -5, 5, 3},     {"WiderOut", 10, 10, 11, 5, 3},
        {"TallerOut", 10, 10, 5, 11, 1},       {"NoChannels", 10, 10, 5, 5, 0},
        {"TwoChannels", 10, 10, 5, 5, 2},      {"FourChannels", 10, 10, 5, 5, 4},
        {"NegativeIn", -10, -10, -20, -20, 3},
    };
    for (const SizeCase &c : bad) {
        EXPECT_THROW(WebScaler(c.InW, c.InH, c.OutW, c.OutH, c.Ch, [](const unsigned char *) {}),
                     std::invalid_argument)
            << c.Name;
        EXPECT_THROW(WebScaler::MemoryBytes(c.InW, c.InH, c.OutW, c.OutH, c.Ch),
                     std::invalid_argument)
            << c.Name;
    }
}

TEST(WebScalerRefusals, ARowBeyondThePictureThrows)
{
    for (const SizeCase &c :
         {SizeCase{"Shrinking", 20, 9, 7, 3, 3}, SizeCase{"Identity", 20, 9, 20, 9, 1}}) {
        const Pixels picture = Noisy(c.InW, c.InH + 1, c.Ch, 5u);
        int rowsOut = 0;
        WebScaler scaler(c.InW, c.InH, c.OutW, c.OutH, c.Ch,
                         [&](const unsigned char *) { ++rowsOut; });
        for (int y = 0; y < c.InH; ++y)
            scaler.Row(&picture[static_cast<size_t>(y) * c.InW * c.Ch]);
        EXPECT_THROW(scaler.Row(&picture[static_cast<size_t>(c.InH) * c.InW * c.Ch]),
                     std::logic_error)
            << c.Name;
        EXPECT_EQ(rowsOut, c.OutH) << c.Name;
    }
}

// ------------------------------------------------------------ memory

// What the scaler allocates from its construction to its last row, added
// up (so above its peak), is within what MemoryBytes says and not far
// below it; and it grows with the picture's width, not its area.
TEST(WebScalerMemory, BoundsWhatTheScalerAllocates)
{
    const SizeCase sizes[] = {{"", 6000, 4000, 2048, 1365, 3}, {"", 6000, 4000, 2048, 1365, 1},
                              {"", 2560, 1600, 2048, 1280, 3}, {"", 12000, 900, 480, 36, 3},
                              {"", 3000, 2000, 3000, 1000, 3}, {"", 999, 999, 999, 999, 3}};
    for (const SizeCase &c : sizes) {
        const Pixels row = Noisy(c.InW, 1, c.Ch, 9u);
        int rowsOut = 0;
        tAllocated = 0;
        tCounting = true;
        {
            WebScaler scaler(c.InW, c.InH, c.OutW, c.OutH, c.Ch,
                             [&](const unsigned char *) { ++rowsOut; });
            for (int y = 0; y < c.InH; ++y)
                scaler.Row(row.data());
        }
        tCounting = false;
        const uint64_t allocated = tAllocated;
        const uint64_t planned = WebScaler::MemoryBytes(c.InW, c.InH, c.OutW, c.OutH, c.Ch);
        ASSERT_EQ(rowsOut, c.OutH);
        EXPECT_LE(allocated, planned) << c.InW << "x" << c.InH;
        EXPECT_LE(planned, allocated + allocated / 4 + 64) << c.InW << "x" << c.InH;
        EXPECT_LT(planned, static_cast<uint64_t>(c.InW) * c.InH * c.Ch / 8 + 64)
            << c.InW << "x" << c.InH;
    }
    // A very tall picture: only the vertical taps grow with its height.
    EXPECT_LT(WebScaler::MemoryBytes(4000, 30000, 2000, 15000, 3), 4000ull * 30000 * 3 / 100);
}

} // namespace
