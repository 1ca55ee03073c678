// Copies of the pictures made for the web: turned upright, scaled down,
// in sRGB and without private metadata (libvips and Exiv2), or the
// originals with only their private metadata removed. Also what the
// completed page says about them, and the site's front page.
#pragma once

#include "SiteSettings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pixelnook {

inline constexpr int kWebQuality = 85;

// The picture as a new JPEG for the web: turned upright by its Exif
// Orientation, shrunk (never enlarged) so that its longest side is at most
// longestSide pixels, converted to sRGB, quality 85, progressive, and
// carrying no metadata but the date taken, artist and copyright. Throws
// SiteError naming the picture when it cannot be read or made.
std::vector<unsigned char> MakeWebCopy(const std::string &sourcePath, int longestSide);

// The copy stage's part beyond the plain byte copy: with web-ready copies
// or location removal asked for, it writes each copy itself; in every case
// it notes which pictures publish a place, and says so in one line.
class WebCopies {
public:
    explicit WebCopies(const SiteSettings &settings);

    // Writes the copy of the picture as the settings ask, replacing what is
    // at the target's name, and returns true; returns false, having written
    // nothing, when the copy is the plain byte copy. Throws SiteError.
    bool Write(const std::string &source, const std::string &target);
    // A picture whose copy is the picture itself (or a plain copy of it).
    void KeptAsItIs(const std::string &source);

    // What the completed page and the tool add to their two lines; empty
    // when there is nothing to say.
    std::string Line() const;

private:
    const SiteSettings &settings_;
    int locationsRemoved_ = 0;
    int locationsKept_ = 0;
    int webCopies_ = 0;
    uint64_t originalBytes_ = 0;
    uint64_t webBytes_ = 0;
};

// "9.4 MB", "162 MB", "850 KB": sizes in decimal units, as file managers
// show them.
std::string ReadableSize(uint64_t bytes);

// The site folder's index.html, which sends a visitor of the bare address
// on to the first gallery page. It is written where there is no
// index.html, or where the one there was written by this program; any
// other file (or link) of that name is left alone. Returns whether it was
// written. Throws SiteError `Cannot create file "%s". %s`.
bool WriteFrontPage(const std::string &siteFolder);

} // namespace pixelnook
