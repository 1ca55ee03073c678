#include "ImagePages.h"

#include "FileSystem.h"
#include "SiteLayout.h"

namespace pixelnook {

std::string ImagePageText(const SiteSettings &settings, const PictureEntry &picture)
{
    const char *const crlf = "\r\n";
    std::string text;
    text += "<html>";
    text += crlf;
    text += "<Head>";
    text += crlf;
    text += "<Title>" + settings.SiteName + "</title>";
    text += crlf;
    text += settings.SiteKeywords;
    text += crlf;
    text += settings.SiteDescription;
    text += crlf;
    text += "<META NAME=\"ROBOTS\" CONTENT = \"All\">";
    text += crlf;
    text += "</Head>";
    text += crlf;
    text += "<body>";
    text += crlf;
    text += "<p>";
    text += crlf;
    text += "<img src=\"" + CopyLinkFromImagePage(settings, picture) + "\">";
    text += crlf;
    text += "<p>";
    text += crlf;
    text += "</body></html>";
    text += crlf;
    return text;
}

void WriteImagePages(const SiteSettings &settings, const PictureList &pictures)
{
    size_t counter = 0;
    for (const PictureEntry &picture : pictures) {
        ++counter;
        WriteWholeFile(ImagePagePath(settings, counter), ImagePageText(settings, picture));
    }
}

} // namespace pixelnook
