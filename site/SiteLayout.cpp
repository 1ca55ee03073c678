#include "SiteLayout.h"

#include <filesystem>
#include <system_error>

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

bool LeadsOut(const std::string &name)
{
    if (!name.empty() && name[0] == '/')
        return true;
    for (size_t start = 0; start <= name.size();) {
        size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        if (name.compare(start, end - start, "..") == 0)
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace

std::string LeavesTheSiteMessage(const SiteSettings &settings)
{
    const struct {
        const std::string &Value;
        const char *What;
        const char *Within;
        bool Used;
    } names[] = {
        {settings.ImagesFolderName, "images folder name", "site folder", true},
        {settings.ThumbnailsFolderName, "thumbnails folder name", "site folder", true},
        {settings.ImagePagesFolderName, "image pages folder name", "site folder",
         settings.MakeImagePages},
        {settings.ThumbnailPrefix, "thumbnail prefix", "thumbnails folder", true},
    };
    for (const auto &name : names)
        if (name.Used && LeadsOut(name.Value))
            return std::string("The ") + name.What + " \"" + name.Value + "\" leads outside the " +
                   name.Within + ": it may not start with \"/\" or hold \"..\"";
    return std::string();
}

std::string SiteFolderAtTheRootMessage(const std::string &siteFolder)
{
    std::error_code ec;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(siteFolder, ec);
    const std::filesystem::path folder =
        ec ? std::filesystem::path(siteFolder).lexically_normal() : resolved.lexically_normal();
    if (folder.empty() || folder != folder.root_path() || folder.root_path().empty())
        return std::string();
    return "The site folder \"" + siteFolder +
           "\" is the root of the file system: the site would be written at \"/\"";
}

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
        const bool keep = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') ||
                          (b >= '0' && b <= '9') || b == '-' || b == '.' || b == '_' || b == '~' ||
                          b == '/';
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
