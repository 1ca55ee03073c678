#include "SiteLayout.h"

namespace pixelnook {

namespace {

std::string ImagePageName(size_t k)
{
    return "imagepage" + std::to_string(k) + ".html";
}

std::string ThumbnailName(const SiteSettings &settings, const PictureEntry &picture)
{
    return settings.ThumbnailPrefix + picture.FileName;
}

} // namespace

std::string ImagesFolder(const SiteSettings &settings)
{
    return settings.SiteFolder + "/" + settings.ImagesFolderName;
}

std::string ThumbnailsFolder(const SiteSettings &settings)
{
    return settings.SiteFolder + "/" + settings.ThumbnailsFolderName;
}

std::string ImagePagesFolder(const SiteSettings &settings)
{
    return settings.SiteFolder + "/" + settings.ImagePagesFolderName;
}

std::string CopyPath(const SiteSettings &settings, const PictureEntry &picture)
{
    return ImagesFolder(settings) + "/" + picture.FileName;
}

std::string ThumbnailPath(const SiteSettings &settings, const PictureEntry &picture)
{
    return ThumbnailsFolder(settings) + "/" + ThumbnailName(settings, picture);
}

std::string ImagePagePath(const SiteSettings &settings, size_t k)
{
    return ImagePagesFolder(settings) + "/" + ImagePageName(k);
}

std::string GalleryPagePath(const std::string &siteFolder, int p)
{
    return siteFolder + "/" + GalleryPageLink(p);
}

std::string UrlPathEncode(const std::string &text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const unsigned char b = static_cast<unsigned char>(c);
        const bool keep = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-' ||
                          b == '.' || b == '_' || b == '~' || b == '/';
        if (keep) {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

std::string GalleryPageLink(int p)
{
    return "index" + std::to_string(p) + ".html";
}

std::string ImagePageLinkFromGallery(const SiteSettings &settings, size_t k)
{
    return UrlPathEncode(settings.ImagePagesFolderName) + "/" + ImagePageName(k);
}

std::string CopyLinkFromGallery(const SiteSettings &settings, const PictureEntry &picture)
{
    return UrlPathEncode(settings.ImagesFolderName + "/" + picture.FileName);
}

std::string ThumbnailLinkFromGallery(const SiteSettings &settings, const PictureEntry &picture)
{
    return UrlPathEncode(settings.ThumbnailsFolderName + "/" + ThumbnailName(settings, picture));
}

std::string CopyLinkFromImagePage(const SiteSettings &settings, const PictureEntry &picture)
{
    return "../" + CopyLinkFromGallery(settings, picture);
}

} // namespace pixelnook
