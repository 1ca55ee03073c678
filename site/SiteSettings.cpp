#include "SiteSettings.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace pixelnook {

std::string ToCrLf(const std::string &text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 32 + 2);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string DefaultSiteFolder()
{
    std::string home;
    if (const char *env = std::getenv("HOME"); env && *env)
        home = env;
    else if (const passwd *pw = getpwuid(getuid()); pw && pw->pw_dir)
        home = pw->pw_dir;
    return home + "/mysite";
}

void ResetToStartSite(SiteSettings &settings, PictureList &pictures, TemplateChoice &choice)
{
    choice.TemplateSelected = "false";
    choice.TemplatePath.clear();
    pictures.clear();
    settings.ImagesFolderName = kDefaultImagesFolderName;
    settings.ThumbnailsFolderName = kDefaultThumbnailsFolderName;
    settings.ImagePagesFolderName = kDefaultImagePagesFolderName;
    settings.SiteName = kDefaultSiteName;
    settings.SiteKeywords = kDefaultSiteKeywords;
    settings.ThumbnailPrefix = kDefaultThumbnailPrefix;
    settings.ThumbnailSize = kDefaultThumbnailSize;
    settings.SiteDescription = kDefaultSiteDescription;
    choice.CustomTemplatePath.clear();
    settings.SiteFolder = DefaultSiteFolder();
    settings.WebReady = false;
    settings.WebSize = kDefaultWebSize;
    settings.StripLocation = false;
}

void FillEmptyWithDefaults(SiteSettings &settings)
{
    const auto fill = [](std::string &value, const char *fallback) {
        if (value.empty())
            value = fallback;
    };
    // The folder page's boxes, then the details page's, in their order.
    fill(settings.ImagesFolderName, kDefaultImagesFolderName);
    fill(settings.ThumbnailsFolderName, kDefaultThumbnailsFolderName);
    fill(settings.ImagePagesFolderName, kDefaultImagePagesFolderName);
    fill(settings.SiteName, kDefaultSiteName);
    fill(settings.SiteKeywords, kDefaultSiteKeywords);
    fill(settings.ThumbnailPrefix, kDefaultThumbnailPrefix);
    fill(settings.ThumbnailSize, kDefaultThumbnailSize);
    fill(settings.SiteDescription, kDefaultSiteDescription);
}

PictureEntry SplitPicturePath(const std::string &path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return {path, std::string()};
    return {path.substr(slash + 1), path.substr(0, slash + 1)};
}

bool AddPicture(PictureList &pictures, const PictureEntry &entry)
{
    for (const auto &row : pictures)
        if (row.FileName == entry.FileName)
            return false;
    pictures.push_back(entry);
    return true;
}

} // namespace pixelnook
