#include "GalleryPages.h"

#include "FileSystem.h"
#include "SiteError.h"
#include "SiteLayout.h"

#include <functional>
#include <optional>
#include <vector>

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

// What every page gets before its pictures: the site name into each title,
// then the keywords and the description into their first placeholders.
void FillHead(std::string &PageBuffer, const SiteSettings &settings)
{
    ReplaceTitles(PageBuffer, settings.SiteName);
    if (Occurs(PageBuffer, kMetaKey))
        ReplaceFirst(PageBuffer, kMetaKey, settings.SiteKeywords);
    if (Occurs(PageBuffer, kMetaDescrip))
        ReplaceFirst(PageBuffer, kMetaDescrip, settings.SiteDescription);
}

} // namespace

size_t ReplaceFirst(std::string &PageBuffer, const std::string &placeholder,
                    const std::string &value, size_t from)
{
    const size_t pos = PageBuffer.find(placeholder, from);
    if (pos != std::string::npos)
        PageBuffer.replace(pos, placeholder.size(), value);
    return pos;
}

size_t ReplaceEachInTurn(std::string &PageBuffer, const std::string &placeholder,
                         const std::function<std::string()> &values)
{
    if (placeholder.empty())
        return 0;
    // `out` is the text up to the search point; it never holds a whole
    // placeholder, so each occurrence is found when its last character is
    // appended, the first one first. A value is read next, before the rest
    // of the text, as the searches after its replacement read it; a value
    // that holds the placeholder again is read before the rest of the
    // value it came from.
    struct Reading {
        std::string Text;
        size_t At = 0;
    };
    std::vector<Reading> pending;
    std::string out;
    out.reserve(PageBuffer.size());
    size_t at = 0;
    size_t replaced = 0;
    const char last = placeholder.back();
    const size_t length = placeholder.size();
    for (;;) {
        const std::string &text = pending.empty() ? PageBuffer : pending.back().Text;
        size_t &from = pending.empty() ? at : pending.back().At;
        if (from == text.size()) {
            if (pending.empty())
                break;
            pending.pop_back();
            continue;
        }
        const size_t hit = text.find(last, from);
        if (hit == std::string::npos) {
            out.append(text, from, std::string::npos);
            from = text.size();
            continue;
        }
        out.append(text, from, hit + 1 - from);
        from = hit + 1;
        if (out.size() >= length && out.compare(out.size() - length, length, placeholder) == 0) {
            out.resize(out.size() - length);
            ++replaced;
            std::string value = values();
            if (!value.empty())
                pending.push_back({std::move(value), 0});
        }
    }
    PageBuffer.swap(out);
    return replaced;
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
    const auto link = [](int p, const char *text) {
        return "<a href=\"" + GalleryPageLink(p) + "\">" + text + "</a>";
    };
    const bool more = PictureCursor < pictureCount;
    if (PageNumber == 1)
        return more ? link(PageNumber + 1, "Next") : std::string();
    if (more)
        return link(PageNumber - 1, "Previous") + " " + link(PageNumber + 1, "Next");
    return link(PageNumber - 1, "Previous");
}

std::string PictureLink(const SiteSettings &settings, const PictureList &pictures, size_t index)
{
    const PictureEntry &picture = pictures[index];
    const std::string target = settings.MakeImagePages
                                   ? ImagePageLinkFromGallery(settings, index + 1)
                                   : CopyLinkFromGallery(settings, picture);
    return "<a href=\"" + target + "\"><img src=\"" + ThumbnailLinkFromGallery(settings, picture) +
           "\" border=\"0\"></a>";
}

bool TemplatePlacesPictures(const std::string &templateText, const SiteSettings &settings)
{
    std::string PageBuffer = ToCrLf(templateText);
    FillHead(PageBuffer, settings);
    return Occurs(PageBuffer, kImage);
}

std::string TemplateTooLargeMessage(const std::string &templatePath)
{
    return "The template \"" + templatePath + "\" is larger than 16 MiB";
}

std::string ReadTemplate(const std::string &templatePath)
{
    InputFile in(templatePath, true);
    if (in.Size() > kMaxTemplateBytes)
        throw SiteError(TemplateTooLargeMessage(templatePath));
    // Read a piece at a time: a file that grows meanwhile is still refused
    // once it passes the bound.
    constexpr size_t kPiece = 65536;
    std::string text;
    text.reserve(static_cast<size_t>(in.Size()));
    for (;;) {
        const std::vector<unsigned char> piece = in.Read(kPiece);
        text.append(piece.begin(), piece.end());
        if (text.size() > kMaxTemplateBytes)
            throw SiteError(TemplateTooLargeMessage(templatePath));
        if (piece.size() < kPiece)
            return text;
    }
}

std::string NoImagePlaceholderMessage(const std::string &templatePath)
{
    return "The template \"" + templatePath +
           "\" has no %image% placeholder, so its pages cannot show any pictures";
}

namespace {

// Fills the pages one after another from the template text (line breaks
// already CR LF), handing each to `page` with its number, and returns how
// many there were; nothing when the first page places no picture. Every page
// is filled from the same template and values, so then no page ever would.
std::optional<int> FillPages(const SiteSettings &settings, const PictureList &pictures,
                             const std::string &templateText,
                             const std::function<void(int, const std::string &)> &page)
{
    const size_t N = pictures.size();
    size_t PictureCursor = 0;
    int PageNumber = 0;
    std::string PageBuffer;
    while (PictureCursor != N) {
        ++PageNumber;
        PageBuffer = templateText;
        FillHead(PageBuffer, settings);

        const size_t cursorBefore = PictureCursor;
        ReplaceEachInTurn(PageBuffer, kImage, [&] {
            if (PictureCursor >= N)
                return std::string();
            return PictureLink(settings, pictures, PictureCursor++);
        });
        if (PictureCursor == cursorBefore)
            return std::nullopt;

        const std::string navigation = NavigationText(PageNumber, PictureCursor, N);
        if (Occurs(PageBuffer, kNextPrev))
            ReplaceFirst(PageBuffer, kNextPrev, navigation);

        page(PageNumber, PageBuffer);
        PageBuffer.clear();
    }
    return PageNumber;
}

} // namespace

int CountGalleryPages(const SiteSettings &settings, const PictureList &pictures,
                      const std::string &templateBytes)
{
    return FillPages(settings, pictures, ToCrLf(templateBytes), [](int, const std::string &) {})
        .value_or(0);
}

int WriteGalleryPages(const SiteSettings &settings, const PictureList &pictures,
                      const std::string &templatePath, const std::string &templateBytes)
{
    const std::optional<int> pages =
        FillPages(settings, pictures, ToCrLf(templateBytes), [&](int p, const std::string &text) {
            WriteWholeFile(GalleryPagePath(settings.SiteFolder, p), text);
        });
    if (!pages)
        throw SiteError(NoImagePlaceholderMessage(templatePath));
    return *pages;
}

int WriteGalleryPages(const SiteSettings &settings, const PictureList &pictures,
                      const std::string &templatePath, const std::string &templateBytes,
                      const std::function<void(const std::string &, const std::string &)> &write)
{
    const std::optional<int> pages =
        FillPages(settings, pictures, ToCrLf(templateBytes), [&](int p, const std::string &text) {
            write(GalleryPagePath(settings.SiteFolder, p), text);
        });
    if (!pages)
        throw SiteError(NoImagePlaceholderMessage(templatePath));
    return *pages;
}

int WriteGalleryPages(const SiteSettings &settings, const PictureList &pictures,
                      const std::string &templatePath)
{
    return WriteGalleryPages(settings, pictures, templatePath, ReadTemplate(templatePath));
}

} // namespace pixelnook
