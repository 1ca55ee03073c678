// Copies of the pictures made for the web: scaled down as their rows are
// decoded, turned upright, in sRGB (libvips) and without private metadata
// (Exiv2), or the originals with only their private metadata removed. Also what the
// completed page says about them, and the site's front page.
#pragma once

#include "PictureMetadata.h"
#include "SiteSettings.h"
#include "Thumbnail.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pixelnook {

inline constexpr int kWebQuality = 85;

// The sides of a picture's web copy as stored (before it is turned
// upright): the picture's own when its longest side is at most
// longestSide, otherwise shrunk so that the longest side is longestSide
// and the other keeps the ratio (at least one pixel).
struct WebCopySides {
    int32_t Width, Height;
};
WebCopySides WebCopySidesFor(int32_t width, int32_t height, int longestSide);

// Makes a picture's web copy from its stored rows as they are decoded: the
// rows are shrunk as they arrive, then the copy is turned upright, brought
// into sRGB and encoded. Rows are R, G, B, or one byte of gray when the
// header says one component.
class WebCopyMaker : public PictureRows {
public:
    WebCopyMaker(std::string sourcePath, int longestSide);
    ~WebCopyMaker() override;

    void Begin(const JpegHeader &header) override;
    void Row(const unsigned char *pixels) override;
    // After the last row: the copy as a JPEG (quality 85, progressive)
    // carrying no metadata but the date taken, artist and copyright of
    // `tags`. Throws SiteError naming the picture.
    std::vector<unsigned char> Finish(const PictureTags &tags);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The picture as a new JPEG for the web: turned upright by its Exif
// Orientation, shrunk (never enlarged) so that its longest side is at most
// longestSide pixels, converted to sRGB, quality 85, progressive, and
// carrying no metadata but the date taken, artist and copyright. Decodes
// the picture for itself; throws SiteError naming the picture when it
// cannot be read or made. tags, when given, receives what was read of the
// picture's metadata.
std::vector<unsigned char> MakeWebCopy(const std::string &sourcePath, int longestSide,
                                       PictureTags *tags = nullptr);

// Reads the picture's tags for its web copy; metadata that cannot be read
// counts as none (a copy with no tags, and no location to report).
PictureTags WebCopyTags(const std::string &sourcePath);

// What making the picture's web copy holds at its peak beyond the decode
// it shares with the thumbnail (ownDecode: with a decode of its own, which
// a grayscale picture always has), estimated from its headers; 0 for a
// file whose headers cannot be read.
uint64_t WebCopyMemoryNeed(const std::string &sourcePath, int longestSide, bool ownDecode);

// The copy stage's part beyond the plain byte copy: with location removal
// asked for, it writes each copy itself; web-ready copies are made with the
// thumbnails and only counted here. In every case it notes which pictures
// publish a place, and says so in one line.
class WebCopies {
public:
    explicit WebCopies(const SiteSettings &settings);

    // Writes the copy of the picture with its private metadata removed when
    // the settings ask for that, replacing what is at the target's name,
    // and returns true; returns false, having written nothing, when the
    // copy is the plain byte copy. Throws SiteError.
    bool Write(const std::string &source, const std::string &target);
    // A web copy made with the thumbnails.
    void Made(bool hadLocation, uint64_t sourceBytes, uint64_t copyBytes);
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
