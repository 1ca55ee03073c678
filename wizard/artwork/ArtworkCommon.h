// What the artwork's pictures share: a generator of reproducible numbers,
// the FreeSans fonts, JPEG encoding and writing files with a message on
// failure.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QString>
#include <QTextStream>

#include <cstdint>

namespace artwork {

// Where fonts-freefont-ttf puts the FreeSans faces.
inline constexpr const char *kFontFolder = "/usr/share/fonts/truetype/freefont/";

// A small generator of our own: std:: distributions differ between library
// implementations, and the pictures must not.
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed ? seed : 0x9e3779b9u) {}

    std::uint32_t Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }

    // Uniform in [lo, hi).
    double Uniform(double lo, double hi) { return lo + (hi - lo) * (Next() / 4294967296.0); }

private:
    std::uint32_t state_;
};

// The program's error stream.
QTextStream &Err();

// Loads one FreeSans face and returns its family name, or an empty string.
QString LoadFont(const QString &file);

// The family at a size in pixels, unhinted and antialiased.
QFont PixelFont(const QString &family, int pixelSize, bool bold);

// Writes a baseline JFIF JPEG (three components, 2x2 luminance sampling as
// Qt's writer gives it) with the given quality; empty when it cannot.
QByteArray EncodeJpeg(const QImage &image, int quality);

// Writes the bytes to path, or says why it could not.
bool SaveBytes(const QString &path, const QByteArray &bytes);

} // namespace artwork
