// The whole-number conversion of the thumbnail size text against a plain
// reference, and the thumbnail dimensions (first 12 bytes taken as W, H and
// size) against exact integer arithmetic.
#include "site/SiteError.h"
#include "site/Thumbnail.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

using namespace pixelnook;

namespace {

[[noreturn]] void Fail(const std::string &what)
{
    std::fprintf(stderr, "thumbnail size fuzzer: %s\n", what.c_str());
    std::abort();
}

// The conversion written out step by step: blanks, sign, "$"/"x"/"X"/"0x"
// and up to eight significant hex digits as a two's-complement pattern, or
// decimal digits whose signed value fits 32 bits.
std::optional<int32_t> ReferenceConversion(const std::string &text)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    std::string digits = text.substr(i);
    bool hex = false;
    if (digits.rfind("0x", 0) == 0 || digits.rfind("0X", 0) == 0) {
        hex = true;
        digits.erase(0, 2);
    } else if (!digits.empty() && std::strchr("$xX", digits[0]) && digits[0] != '\0') {
        hex = true;
        digits.erase(0, 1);
    }
    if (digits.empty())
        return std::nullopt;
    for (const char c : digits)
        if (hex ? !std::isxdigit(static_cast<unsigned char>(c))
                : !std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
    const size_t first = digits.find_first_not_of('0');
    const std::string significant = first == std::string::npos ? "0" : digits.substr(first);
    if (hex) {
        if (significant.size() > 8)
            return std::nullopt;
        uint32_t bits = static_cast<uint32_t>(std::strtoul(significant.c_str(), nullptr, 16));
        if (negative)
            bits = ~bits + 1;
        int32_t value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    if (significant.size() > 10)
        return std::nullopt;
    long long value = std::strtoll(significant.c_str(), nullptr, 10);
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

void CheckConversion(const std::string &text)
{
    const std::optional<int32_t> expected = ReferenceConversion(text);
    try {
        const int32_t value = ConvertThumbnailSize(text);
        if (!expected || *expected != value)
            Fail("'" + text + "' gave " + std::to_string(value));
        // What a number prints as converts back to it.
        if (ConvertThumbnailSize(std::to_string(value)) != value)
            Fail("no round trip for " + std::to_string(value));
    } catch (const SiteError &e) {
        if (expected)
            Fail("'" + text + "' refused, expected " + std::to_string(*expected));
        // what() ends at a NUL the text may hold.
        const std::string message = "'" + text + "' is not a valid integer value";
        if (std::strcmp(e.what(), message.c_str()) != 0)
            Fail(std::string("wrong message: ") + e.what());
    }
}

constexpr const char *kDivisionByZero = "Floating point division by zero";
constexpr const char *kInvalidOperation = "Invalid floating point operation";

// a / b rounded to the nearest whole number, ties to even, exactly.
struct Quotient {
    const char *Error = nullptr;
    int64_t Value = 0;
};
Quotient RoundedQuotient(int64_t a, int64_t b)
{
    if (b == 0)
        return {a == 0 ? kInvalidOperation : kDivisionByZero, 0};
    if (b < 0) {
        a = -a;
        b = -b;
    }
    int64_t q = a / b;
    int64_t r = a % b;
    if (r < 0) {
        q -= 1;
        r += b;
    }
    if (2 * r > b || (2 * r == b && (q % 2 != 0)))
        q += 1;
    if (q < INT32_MIN || q > INT32_MAX)
        return {kInvalidOperation, 0};
    return {nullptr, q};
}

void CheckDimensions(int32_t W, int32_t H, int32_t size)
{
    // Reference: the orientation test first, then the two rounded quotients.
    const char *error = nullptr;
    int64_t w = 0, h = 0;
    if (H == 0) {
        error = W == 0 ? kInvalidOperation : kDivisionByZero;
    } else {
        const bool landscape = H > 0 ? W > H : W < H;
        const Quotient scale = RoundedQuotient(landscape ? H : W, size);
        Quotient other;
        if (scale.Error)
            error = scale.Error;
        else if ((other = RoundedQuotient(landscape ? W : H, scale.Value)).Error)
            error = other.Error;
        else if (landscape)
            w = other.Value, h = size;
        else
            w = size, h = other.Value;
    }

    const std::string args =
        std::to_string(W) + " x " + std::to_string(H) + " at " + std::to_string(size);
    try {
        const ThumbnailExtent t = ThumbnailDimensions(W, H, size);
        if (error)
            Fail(args + ": expected " + error);
        if (t.Width != w || t.Height != h)
            Fail(args + ": gave " + std::to_string(t.Width) + " x " + std::to_string(t.Height));
    } catch (const SiteError &e) {
        if (!error || std::string(e.what()) != error)
            Fail(args + ": " + e.what());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CheckConversion(std::string(reinterpret_cast<const char *>(data), size));
    if (size >= 12) {
        int32_t v[3];
        std::memcpy(v, data, sizeof v);
        CheckDimensions(v[0], v[1], v[2]);
    }
    return 0;
}
