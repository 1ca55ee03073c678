#include "GalleryPages.h"

#include "FileSystem.h"
#include "SiteError.h"

namespace pixelnook {

namespace {

const std::string kTitle = "%title%";
const std::string kMetaKey = "%metakey%";
const std::string kMetaDescrip = "%metadescrip%";
const std::string kImage = "%image%";
const std::string kNextPrev = "%nextprev%";

bool Occurs(const std::string &text, const std::string &placeholder)
{
    return text.find(placeholder) != std::string::npos;
}

// Where the next search for the placeholder may start after a replacement at
// `pos`: the text before `pos` held no occurrence, so a new one can only
// begin within the placeholder's length before it.
size_t ResumeAt(size_t pos, const std::string &placeholder)
{
    const size_t back = placeholder.size() - 1;
    return pos > back ? pos - back : 0;
}

// Steps 3 to 5 of filling a page: title, keywords, description.
void FillHead(std::string &PageBuffer, const SiteSettings &settings)
{
    ReplaceTitles(PageBuffer, settings.SiteName);
    if (Occurs(PageBuffer, kMetaKey))
        ReplaceFirst(PageBuffer, kMetaKey, settings.SiteKeywords);
    if (Occurs(PageBuffer, kMetaDescrip))
        ReplaceFirst(PageBuffer, kMetaDescrip, settings.SiteDescription);
}

} // namespace

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

std::string LoadTemplate(const std::string &templatePath)
{
    const std::vector<unsigned char> bytes = ReadWholeFile(templatePath);
    return ToCrLf(std::string(bytes.begin(), bytes.end()));
}

size_t ReplaceFirst(std::string &PageBuffer, const std::string &placeholder,
                    const std::string &value, size_t from)
{
    const size_t pos = PageBuffer.find(placeholder, from);
    if (pos != std::string::npos)
        PageBuffer.replace(pos, placeholder.size(), value);
    return pos;
}

void ReplaceTitles(std::string &PageBuffer, const std::string &siteName)
{
    // Only the occurrences the text holds before any title is put in, left
    // to right: searching the whole text again after each replacement would
    // never end for a name that holds (or forms) "%title%" itself.
    std::string out;
    out.reserve(PageBuffer.size());
    size_t at = 0;
    for (;;) {
        const size_t pos = PageBuffer.find(kTitle, at);
        if (pos == std::string::npos)
            break;
        out.append(PageBuffer, at, pos - at);
        out += siteName;
        at = pos + kTitle.size();
    }
    out.append(PageBuffer, at, std::string::npos);
    PageBuffer.swap(out);
}

std::string NavigationText(int PageNumber, size_t PictureCursor, size_t pictureCount)
{
    const std::string piece1 = "<a href=\"index";
    const std::string piece2 = ".html\">Next</a>";
    const std::string piece3 = ".html\">Previous</a> <a href=\"index";
    const std::string piece4 = ".html\">Previous</a>";
    const bool more = PictureCursor < pictureCount;
    if (PageNumber == 1)
        return more ? piece1 + std::to_string(PageNumber + 1) + piece2 : std::string();
    if (more)
        return piece1 + std::to_string(PageNumber - 1) + piece3 + std::to_string(PageNumber + 1) + piece2;
    return piece1 + std::to_string(PageNumber - 1) + piece4;
}

std::string PictureLink(const SiteSettings &settings, const PictureList &pictures, size_t index)
{
    const PictureEntry &picture = pictures[index];
    std::string link = "<a href=\"";
    if (settings.MakeImagePages)
        link += settings.ImagePagesFolderName + "/imagepage" + std::to_string(index + 1) + ".html";
    else
        link += settings.ImagesFolderName + "/" + picture.FileName;
    link += "\"><img src=\"" + settings.ThumbnailsFolderName + "/" + settings.ThumbnailPrefix +
            picture.FileName + "\" border=\"0\"></a>";
    return link;
}

bool TemplatePlacesPictures(const std::string &templateText, const SiteSettings &settings)
{
    std::string PageBuffer = ToCrLf(templateText);
    FillHead(PageBuffer, settings);
    return Occurs(PageBuffer, kImage);
}

std::string NoImagePlaceholderMessage(const std::string &templatePath)
{
    return "The template \"" + templatePath +
           "\" has no %image% placeholder, so its pages cannot show any pictures";
}

int WriteGalleryPages(const SiteSettings &settings, const PictureList &pictures,
                      const std::string &templatePath)
{
    const size_t N = pictures.size();
    size_t PictureCursor = 0;
    int PageNumber = 0;
    std::string PageBuffer;
    while (PictureCursor != N) {
        ++PageNumber;
        PageBuffer = LoadTemplate(templatePath);
        FillHead(PageBuffer, settings);

        const size_t cursorBefore = PictureCursor;
        size_t from = 0;
        for (;;) {
            std::string value;
            if (PictureCursor < N)
                value = PictureLink(settings, pictures, PictureCursor);
            const size_t pos = ReplaceFirst(PageBuffer, kImage, value, from);
            if (pos == std::string::npos)
                break;
            PictureCursor = PictureCursor < N ? PictureCursor + 1 : N;
            from = ResumeAt(pos, kImage);
        }
        // Every page is filled from the same template and values, so a page
        // that places no picture means no page ever would.
        if (PictureCursor == cursorBefore)
            throw SiteError(NoImagePlaceholderMessage(templatePath));

        const std::string navigation = NavigationText(PageNumber, PictureCursor, N);
        if (Occurs(PageBuffer, kNextPrev))
            ReplaceFirst(PageBuffer, kNextPrev, navigation);

        WriteWholeFile(settings.SiteFolder + "/index" + std::to_string(PageNumber) + ".html",
                       PageBuffer);
        PageBuffer.clear();
    }
    return PageNumber;
}

} // namespace pixelnook
