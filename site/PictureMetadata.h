// A picture's metadata, read and rewritten with Exiv2: what of it tells
// where the picture was taken and who owns the camera, and the few tags a
// web copy keeps.
#pragma once

#include <string>
#include <vector>

namespace pixelnook {

// What the web copies and the completed page need to know of a picture.
struct PictureTags {
    // A GPS position, or an XMP or IPTC place (city, country, location).
    bool HasLocation = false;
    // The few tags a web copy keeps, as Exif text; empty when absent.
    std::string DateTaken;       // Exif.Photo.DateTimeOriginal
    std::string DateTakenOffset; // Exif.Photo.OffsetTimeOriginal
    std::string Artist;          // Exif.Image.Artist
    std::string Copyright;       // Exif.Image.Copyright
};

// Reads the tags of the picture in the file. Only the metadata segments are
// read. Throws SiteError "Cannot read the metadata of "%s": %s".
PictureTags ReadPictureTags(const std::string &path);

// The same, for reporting only: a picture whose metadata cannot be read
// counts as carrying no location. Never throws.
bool PublishesLocation(const std::string &path);

// The JPEG stream with its private metadata removed: every GPS tag, camera,
// body and lens serial numbers, owner names, maker notes, the XMP and IPTC
// place fields and the embedded thumbnails (Exif's and XMP's). Every other
// tag and every byte of the image data stay as they were; a picture with
// nothing private comes back byte for byte. path names the picture in the
// SiteError thrown when the metadata cannot be rewritten.
struct StrippedPicture {
    std::vector<unsigned char> Jpeg;
    bool HadLocation = false;
};
StrippedPicture WithoutPrivateMetadata(std::vector<unsigned char> jpeg, const std::string &path);

// A JPEG stream that carries no metadata, given an Exif block that holds
// only the tags kept for the web (those of `tags` that are not empty).
std::vector<unsigned char> WithWebTags(const std::vector<unsigned char> &jpeg,
                                       const PictureTags &tags, const std::string &path);

} // namespace pixelnook
