#include "PictureMetadata.h"

#include "SiteError.h"

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <iterator>
#include <mutex>

namespace pixelnook {

namespace {

// Exif tags that name the camera or its owner, outside the GPS, maker-note
// and thumbnail groups (which go as a whole).
const char *const kPrivateExifKeys[] = {
    "Exif.Image.CameraSerialNumber", "Exif.Photo.BodySerialNumber", "Exif.Photo.LensSerialNumber",
    "Exif.Photo.CameraOwnerName",    "Exif.Photo.MakerNote",        "Exif.MakerNote.Offset",
    "Exif.MakerNote.ByteOrder",      "Exif.Image.GPSTag",           "Exif.Image.ImageUniqueID",
    "Exif.Photo.ImageUniqueID",
};

// XMP properties (and their structures and array items) that tell the
// place, the camera's and lens's serial numbers, the owner, or hold a
// preview picture.
const char *const kPrivateXmpPrefixes[] = {
    "Xmp.exif.GPS",
    "Xmp.exifEX.GPS",
    "Xmp.photoshop.City",
    "Xmp.photoshop.State",
    "Xmp.photoshop.Country",
    "Xmp.iptc.Location",
    "Xmp.iptc.CountryCode",
    "Xmp.iptcExt.LocationCreated",
    "Xmp.iptcExt.LocationShown",
    "Xmp.aux.SerialNumber",
    "Xmp.aux.LensSerialNumber",
    "Xmp.aux.OwnerName",
    "Xmp.exifEX.BodySerialNumber",
    "Xmp.exifEX.LensSerialNumber",
    "Xmp.exifEX.CameraOwnerName",
    "Xmp.xmp.Thumbnails",
};

// The IPTC place fields.
const char *const kPrivateIptcKeys[] = {
    "Iptc.Application2.City",           "Iptc.Application2.SubLocation",
    "Iptc.Application2.ProvinceState",  "Iptc.Application2.CountryCode",
    "Iptc.Application2.CountryName",    "Iptc.Application2.LocationCode",
    "Iptc.Application2.LocationName",   "Iptc.Application2.ContentLocCode",
    "Iptc.Application2.ContentLocName",
};

// Which of those tell a place: a GPS position or a named place.
const char *const kLocationXmpPrefixes[] = {
    "Xmp.exif.GPSLatitude", "Xmp.exif.GPSLongitude",       "Xmp.photoshop.City",
    "Xmp.photoshop.State",  "Xmp.photoshop.Country",       "Xmp.iptc.Location",
    "Xmp.iptc.CountryCode", "Xmp.iptcExt.LocationCreated", "Xmp.iptcExt.LocationShown",
};

bool StartsWith(const std::string &text, const char *prefix)
{
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

template <size_t N> bool IsOneOf(const std::string &key, const char *const (&keys)[N])
{
    return std::any_of(std::begin(keys), std::end(keys), [&](const char *k) { return key == k; });
}

template <size_t N> bool HasPrefixOf(const std::string &key, const char *const (&prefixes)[N])
{
    return std::any_of(std::begin(prefixes), std::end(prefixes),
                       [&](const char *p) { return StartsWith(key, p); });
}

bool IsPrivateExif(const Exiv2::Exifdatum &datum)
{
    const std::string group = datum.groupName();
    return group == "GPSInfo" || StartsWith(group, "Thumbnail") || StartsWith(group, "SubThumb") ||
           Exiv2::ExifTags::isMakerGroup(group) || IsOneOf(datum.key(), kPrivateExifKeys);
}

bool IsLocationExif(const Exiv2::Exifdatum &datum)
{
    return datum.groupName() == "GPSInfo" &&
           (datum.tagName() == "GPSLatitude" || datum.tagName() == "GPSLongitude");
}

// Exiv2 keeps process-wide state: its XMP toolkit must be set up once
// before any picture is parsed, and its warnings would go to the standard
// error stream.
void InitExiv2()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
    });
}

SiteError MetadataError(const char *what, const std::string &path, const std::exception &error)
{
    return SiteError(std::string(what) + " \"" + path + "\": " + error.what());
}

bool HasLocation(Exiv2::Image &image)
{
    for (const Exiv2::Exifdatum &datum : image.exifData())
        if (IsLocationExif(datum))
            return true;
    for (const Exiv2::Xmpdatum &datum : image.xmpData())
        if (HasPrefixOf(datum.key(), kLocationXmpPrefixes))
            return true;
    for (const Exiv2::Iptcdatum &datum : image.iptcData())
        if (IsOneOf(datum.key(), kPrivateIptcKeys))
            return true;
    return false;
}

std::string ExifText(const Exiv2::ExifData &exif, const char *key)
{
    const auto found = exif.findKey(Exiv2::ExifKey(key));
    return found == exif.end() ? std::string() : found->toString();
}

std::vector<unsigned char> WrittenBytes(Exiv2::Image &image)
{
    image.writeMetadata();
    Exiv2::BasicIo &io = image.io();
    io.seek(0, Exiv2::BasicIo::beg);
    std::vector<unsigned char> out(io.size());
    if (!out.empty() &&
        io.read(out.data(), static_cast<long>(out.size())) != static_cast<long>(out.size()))
        throw Exiv2::Error(Exiv2::kerFailedToReadImageData);
    return out;
}

template <typename Data, typename Drop> void EraseIf(Data &data, Drop drop)
{
    for (auto it = data.begin(); it != data.end();)
        it = drop(*it) ? data.erase(it) : std::next(it);
}

} // namespace

PictureTags ReadPictureTags(const std::string &path)
{
    InitExiv2();
    try {
        auto image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        PictureTags tags;
        tags.HasLocation = HasLocation(*image);
        const Exiv2::ExifData &exif = image->exifData();
        tags.DateTaken = ExifText(exif, "Exif.Photo.DateTimeOriginal");
        tags.DateTakenOffset = ExifText(exif, "Exif.Photo.OffsetTimeOriginal");
        tags.Artist = ExifText(exif, "Exif.Image.Artist");
        tags.Copyright = ExifText(exif, "Exif.Image.Copyright");
        return tags;
    } catch (const std::exception &error) {
        throw MetadataError("Cannot read the metadata of", path, error);
    }
}

bool PublishesLocation(const std::string &path)
{
    try {
        return ReadPictureTags(path).HasLocation;
    } catch (const std::exception &) {
        return false;
    }
}

StrippedPicture WithoutPrivateMetadata(std::vector<unsigned char> jpeg, const std::string &path)
{
    InitExiv2();
    try {
        auto image = Exiv2::ImageFactory::open(jpeg.data(), static_cast<long>(jpeg.size()));
        image->readMetadata();
        StrippedPicture stripped;
        stripped.HadLocation = HasLocation(*image);
        Exiv2::ExifData &exif = image->exifData();
        const long tags = exif.count() + image->xmpData().count() + image->iptcData().count();
        Exiv2::ExifThumb(exif).erase();
        EraseIf(exif, IsPrivateExif);
        EraseIf(image->xmpData(),
                [](const Exiv2::Xmpdatum &d) { return HasPrefixOf(d.key(), kPrivateXmpPrefixes); });
        EraseIf(image->iptcData(),
                [](const Exiv2::Iptcdatum &d) { return IsOneOf(d.key(), kPrivateIptcKeys); });
        if (exif.count() + image->xmpData().count() + image->iptcData().count() == tags)
            stripped.Jpeg = std::move(jpeg);
        else
            stripped.Jpeg = WrittenBytes(*image);
        return stripped;
    } catch (const std::exception &error) {
        throw MetadataError("Cannot remove the private metadata of", path, error);
    }
}

std::vector<unsigned char> WithWebTags(const std::vector<unsigned char> &jpeg,
                                       const PictureTags &tags, const std::string &path)
{
    if (tags.DateTaken.empty() && tags.Artist.empty() && tags.Copyright.empty())
        return jpeg;
    InitExiv2();
    try {
        auto image = Exiv2::ImageFactory::open(jpeg.data(), static_cast<long>(jpeg.size()));
        Exiv2::ExifData exif;
        if (!tags.DateTaken.empty()) {
            exif["Exif.Photo.DateTimeOriginal"] = tags.DateTaken;
            if (!tags.DateTakenOffset.empty())
                exif["Exif.Photo.OffsetTimeOriginal"] = tags.DateTakenOffset;
        }
        if (!tags.Artist.empty())
            exif["Exif.Image.Artist"] = tags.Artist;
        if (!tags.Copyright.empty())
            exif["Exif.Image.Copyright"] = tags.Copyright;
        image->setExifData(exif);
        return WrittenBytes(*image);
    } catch (const std::exception &error) {
        throw MetadataError("Cannot write the metadata of", path, error);
    }
}

} // namespace pixelnook
