// A thumbnail's size from the picture's and the size text: the rounding,
// the arithmetic errors and the integer conversion of the size box.
#include "site/ThumbnailDimensions.h"
#include "ErrorText.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <map>
#include <string>

using namespace pixelnook;

namespace {

const char *const kDivZero = "Floating point division by zero";
const char *const kInvalidOp = "Invalid floating point operation";

struct DimensionsCase {
    int32_t W, H, Size;
    int32_t Width, Height; // expected thumbnail
    const char *Error;     // or the expected error
};

class ThumbnailDimensionsTable : public ::testing::TestWithParam<DimensionsCase> {};

TEST_P(ThumbnailDimensionsTable, GivesTheSizeOrTheArithmeticError)
{
    const DimensionsCase c = GetParam();
    if (c.Error) {
        EXPECT_EQ(ErrorOf([&] { ThumbnailDimensions(c.W, c.H, c.Size); }), c.Error);
    } else {
        const ThumbnailExtent t = ThumbnailDimensions(c.W, c.H, c.Size);
        EXPECT_EQ(t.Width, c.Width);
        EXPECT_EQ(t.Height, c.Height);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, ThumbnailDimensionsTable,
    ::testing::Values(DimensionsCase{640, 480, 85, 107, 85, nullptr},
                      DimensionsCase{480, 640, 85, 85, 107, nullptr},
                      DimensionsCase{100, 100, 85, 85, 100, nullptr}, // square counts as portrait
                      DimensionsCase{85, 85, 85, 85, 85, nullptr},
                      DimensionsCase{800, 600, 85, 114, 85, nullptr},
                      DimensionsCase{1024, 768, 85, 114, 85, nullptr},
                      DimensionsCase{2048, 1536, 85, 114, 85, nullptr},
                      DimensionsCase{3000, 2000, 85, 125, 85, nullptr},
                      DimensionsCase{2000, 3000, 85, 85, 125, nullptr},
                      DimensionsCase{120, 43, 85, 120, 85, nullptr}, // R(0.506) = 1: enlarged
                      DimensionsCase{120, 42, 85, 0, 0, kDivZero},   // R(0.494) = 0
                      DimensionsCase{640, 480, 100, 128, 100, nullptr},
                      DimensionsCase{250, 250, 100, 100, 125, nullptr}, // R(2.5) = 2, tie to even
                      DimensionsCase{350, 350, 100, 100, 88, nullptr},  // R(3.5) = 4, R(87.5) = 88
                      DimensionsCase{150, 150, 100, 100, 75, nullptr},  // R(1.5) = 2
                      DimensionsCase{170, 100, 200, 0, 0, kDivZero},    // R(0.5) = 0
                      DimensionsCase{100, 170, 200, 0, 0, kDivZero},
                      DimensionsCase{170, 101, 200, 170, 200, nullptr}, // R(0.505) = 1
                      DimensionsCase{640, 480, 0, 0, 0, kDivZero},
                      DimensionsCase{0, 0, 85, 0, 0, kInvalidOp}), // an empty file: 0 / 0
    [](const ::testing::TestParamInfo<DimensionsCase> &info) {
        // "640x480Size85": the picture and the size asked for.
        return std::to_string(info.param.W) + "x" + std::to_string(info.param.H) + "Size" +
               std::to_string(info.param.Size);
    });

// ------------------------------------------------------------ conversion

struct ConversionCase {
    const char *Text;
    bool Valid;
    int32_t Value;
};

// A table row's name spelled from its text, which may hold any character:
// " +85" is "TextSpacePlus85", "" is "Empty".
std::string TextName(const std::string &text)
{
    static const std::map<char, const char *> kWords{{' ', "Space"}, {'\t', "Tab"},   {'+', "Plus"},
                                                     {'-', "Minus"}, {'$', "Dollar"}, {'.', "Dot"}};
    std::string name;
    for (const char ch : text) {
        const auto word = kWords.find(ch);
        if (word != kWords.end())
            name += word->second;
        else if (std::isalnum(static_cast<unsigned char>(ch)))
            name += ch;
        else
            name += "Char" + std::to_string(static_cast<unsigned char>(ch));
    }
    return name.empty() ? "Empty" : "Text" + name;
}

class ConvertThumbnailSizeTable : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(ConvertThumbnailSizeTable, ConvertsOrRefuses)
{
    const ConversionCase c = GetParam();
    if (c.Valid)
        EXPECT_EQ(ConvertThumbnailSize(c.Text), c.Value) << '"' << c.Text << '"';
    else
        EXPECT_EQ(ErrorOf([&] { ConvertThumbnailSize(c.Text); }),
                  std::string("'") + c.Text + "' is not a valid integer value");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ConvertThumbnailSizeTable,
    ::testing::Values(
        ConversionCase{"85", true, 85}, ConversionCase{" 85", true, 85},
        ConversionCase{"   +85", true, 85}, ConversionCase{"0085", true, 85},
        ConversionCase{"$55", true, 85}, ConversionCase{"x55", true, 85},
        ConversionCase{"X55", true, 85}, ConversionCase{"0x55", true, 85},
        ConversionCase{"0X55", true, 85}, ConversionCase{"$aB", true, 171},
        ConversionCase{"-0x1", true, -1}, ConversionCase{"-85", true, -85},
        ConversionCase{"0", true, 0}, ConversionCase{"2147483647", true, 2147483647},
        ConversionCase{"-2147483648", true, INT32_MIN}, ConversionCase{"$FFFFFFFF", true, -1},
        ConversionCase{"$7FFFFFFF", true, 2147483647},
        ConversionCase{"$000000055", true, 85}, // leading zeros are not significant
        ConversionCase{"-$FFFFFFFF", true, 1}, ConversionCase{"85 ", false, 0},
        ConversionCase{"85px", false, 0}, ConversionCase{"", false, 0},
        ConversionCase{" ", false, 0}, ConversionCase{"+", false, 0}, ConversionCase{"-", false, 0},
        ConversionCase{"$", false, 0}, ConversionCase{"0x", false, 0},
        ConversionCase{"\t85", false, 0}, // only spaces are skipped
        ConversionCase{"+-85", false, 0}, ConversionCase{"- 85", false, 0},
        ConversionCase{"8 5", false, 0}, ConversionCase{"2147483648", false, 0},
        ConversionCase{"-2147483649", false, 0}, ConversionCase{"99999999999999999999", false, 0},
        ConversionCase{"$100000000", false, 0}, ConversionCase{"$G1", false, 0},
        ConversionCase{"85.0", false, 0}, ConversionCase{"1e2", false, 0}),
    [](const ::testing::TestParamInfo<ConversionCase> &info) { return TextName(info.param.Text); });

} // namespace
