// The Exif reader: the Orientation tag in both byte orders, and Normal for
// every segment it cannot read, without reading outside it.
#include "site/ExifOrientation.h"
#include "tests/support/JpegFixtures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

using namespace pixelnook;

namespace {

struct ExifCase {
    const char *Name;
    std::function<std::vector<unsigned char>()> Body;
    Orientation Expected;
};

void PrintTo(const ExifCase &c, std::ostream *os)
{
    *os << c.Name;
}

// Body of ExifBody(6, ...) with bytes changed; offsets count from the
// segment body's start (the TIFF header is at 6, the directory at 14, the
// Orientation entry at 28, its type at 30, count at 32, value at 36).
std::vector<unsigned char> ExifChanged(bool bigEndian,
                                       std::vector<std::pair<size_t, unsigned char>> changes,
                                       size_t keep = SIZE_MAX)
{
    std::vector<unsigned char> b = fixtures::ExifBody(6, bigEndian);
    for (const auto &c : changes)
        b[c.first] = c.second;
    if (keep < b.size())
        b.resize(keep);
    return std::vector<unsigned char>(b.begin(), b.end()); // exactly as long as it is
}

class ExifReading : public ::testing::TestWithParam<ExifCase> {};

TEST_P(ExifReading, GivesTheTagOrNormal)
{
    const ExifCase c = GetParam();
    const std::vector<unsigned char> body = c.Body();
    EXPECT_EQ(ExifOrientation(body.data(), body.size()), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Segments, ExifReading,
    ::testing::Values(
        ExifCase{"LittleEndian", [] { return fixtures::ExifBody(6, false); },
                 Orientation::Rotate90},
        ExifCase{"BigEndian", [] { return fixtures::ExifBody(8, true); }, Orientation::Rotate270},
        ExifCase{"EveryValue", [] { return fixtures::ExifBody(5, true); }, Orientation::Transpose},
        ExifCase{"NotExif",
                 [] {
                     return ExifChanged(false, {{0, 'X'}});
                 },
                 Orientation::Normal},
        ExifCase{"Empty", [] { return std::vector<unsigned char>{}; }, Orientation::Normal},
        ExifCase{"CutInTheHeader", [] { return ExifChanged(false, {}, 11); }, Orientation::Normal},
        ExifCase{"CutInTheDirectory", [] { return ExifChanged(true, {}, 30); },
                 Orientation::Normal},
        // The directory is whole: the missing pointer to the next one is not needed.
        ExifCase{"CutAfterTheEntries", [] { return ExifChanged(false, {}, 40); },
                 Orientation::Rotate90},
        ExifCase{"DirectoryPastTheEnd",
                 [] {
                     return ExifChanged(false, {{10, 0xF0}, {13, 0xFF}});
                 },
                 Orientation::Normal},
        ExifCase{"DirectoryAtTheLastByte",
                 [] {
                     return ExifChanged(true, {{13, 43}});
                 },
                 Orientation::Normal},
        ExifCase{"CountPastTheEnd",
                 [] {
                     return ExifChanged(false, {{14, 0xFF}, {15, 0xFF}});
                 },
                 Orientation::Normal},
        ExifCase{"UnknownByteOrder",
                 [] {
                     return ExifChanged(false, {{7, 'M'}});
                 },
                 Orientation::Normal},
        ExifCase{"OrderAndDataDisagree",
                 [] {
                     return ExifChanged(false, {{6, 'M'}, {7, 'M'}});
                 },
                 Orientation::Normal},
        ExifCase{"NotTiff",
                 [] {
                     return ExifChanged(true, {{9, 43}});
                 },
                 Orientation::Normal},
        ExifCase{"TypeLong",
                 [] {
                     return ExifChanged(false, {{30, 4}});
                 },
                 Orientation::Normal},
        ExifCase{"TwoValues",
                 [] {
                     return ExifChanged(true, {{35, 2}});
                 },
                 Orientation::Normal},
        ExifCase{"ValueZero",
                 [] {
                     return ExifChanged(false, {{36, 0}});
                 },
                 Orientation::Normal},
        ExifCase{"ValueNine",
                 [] {
                     return ExifChanged(true, {{37, 9}});
                 },
                 Orientation::Normal},
        ExifCase{"NoEntries",
                 [] {
                     return ExifChanged(false, {{14, 0}});
                 },
                 Orientation::Normal}),
    [](const ::testing::TestParamInfo<ExifCase> &info) { return info.param.Name; });

TEST(ExifReadingValues, EveryOrientationInBothByteOrders)
{
    for (int v = 1; v <= 8; ++v)
        for (const bool big : {false, true}) {
            const std::vector<unsigned char> body = fixtures::ExifBody(v, big);
            EXPECT_EQ(static_cast<int>(ExifOrientation(body.data(), body.size())), v)
                << v << (big ? " MM" : " II");
        }
}

} // namespace
