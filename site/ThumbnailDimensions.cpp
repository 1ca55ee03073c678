#include "ThumbnailDimensions.h"

#include "SiteError.h"

#include <cmath>
#include <cstdint>

namespace pixelnook {

namespace {

constexpr const char *kDivisionByZero = "Floating point division by zero";
constexpr const char *kInvalidOperation = "Invalid floating point operation";

long double Quotient(long double a, long double b)
{
    if (b == 0)
        throw SiteError(a == 0 ? kInvalidOperation : kDivisionByZero);
    return a / b;
}

// Round half to even, as the default rounding mode does.
int32_t Round(long double q)
{
    const long double r = std::nearbyint(q);
    if (!(r >= INT32_MIN && r <= INT32_MAX))
        throw SiteError(kInvalidOperation);
    return static_cast<int32_t>(r);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool IsLandscape(int32_t W, int32_t H)
{
    const double ratio = static_cast<double>(Quotient(W, H));
    return ratio > 1.0;
}

int32_t ConvertThumbnailSize(const std::string &text)
{
    const SiteError invalid("'" + text + "' is not a valid integer value");
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    bool hex = false;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == n)
        throw invalid;

    uint64_t value = 0;
    for (; i < n; ++i) {
        if (hex) {
            const int d = HexDigit(text[i]);
            if (d < 0)
                throw invalid;
            value = value * 16 + static_cast<uint64_t>(d);
            if (value > 0xFFFFFFFFu) // more than eight significant digits
                throw invalid;
        } else {
            if (text[i] < '0' || text[i] > '9')
                throw invalid;
            value = value * 10 + static_cast<uint64_t>(text[i] - '0');
            if (value > (negative ? 2147483648u : 2147483647u))
                throw invalid;
        }
    }
    // Hex digits are a 32-bit two's-complement pattern; the sign negates it.
    uint32_t bits = static_cast<uint32_t>(value);
    if (negative)
        bits = 0u - bits;
    return static_cast<int32_t>(bits);
}

ThumbnailExtent ThumbnailDimensions(int32_t W, int32_t H, int32_t size)
{
    ThumbnailExtent result;
    if (IsLandscape(W, H)) {
        const int32_t scaleFactor = Round(Quotient(H, size));
        result.Width = Round(Quotient(W, scaleFactor));
        result.Height = size;
    } else {
        const int32_t scaleFactor = Round(Quotient(W, size));
        result.Width = size;
        result.Height = Round(Quotient(H, scaleFactor));
    }
    return result;
}

} // namespace pixelnook
