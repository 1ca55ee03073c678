// Fills arbitrary template bytes with arbitrary values through the real
// gallery-page writer, into a folder of its own. Input: the template, then
// NUL-separated fields: site name, keywords, description, images folder,
// thumbnails folder, image pages folder, thumbnail prefix, one flag byte
// (bit 0: image pages; bits 1-3: pictures - 1), then the picture file names.
#include "site/FileSystem.h"
#include "site/GalleryPages.h"
#include "site/SiteError.h"
#include "site/SiteSettings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace pixelnook;

namespace {

[[noreturn]] void Fail(const std::string &what)
{
    std::fprintf(stderr, "gallery pages fuzzer: %s\n", what.c_str());
    std::abort();
}

// A folder for this process, removed when it ends.
struct WorkFolder {
    std::string Path;
    WorkFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "pixelnook-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            Fail("cannot make a work folder");
        Path = pattern;
    }
    ~WorkFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
};

const WorkFolder &Work()
{
    static const WorkFolder folder;
    return folder;
}

size_t CountNonOverlapping(const std::string &text, const std::string &what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + what.size()))
        ++count;
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            fields.emplace_back();
        else
            fields.back() += static_cast<char>(data[i]);
    }
    auto field = [&](size_t i, const char *fallback) {
        return i < fields.size() ? fields[i] : std::string(fallback);
    };

    const std::string templateText = fields[0];
    SiteSettings settings;
    settings.SiteFolder = Work().Path;
    settings.SiteName = field(1, "");
    settings.SiteKeywords = field(2, "");
    settings.SiteDescription = field(3, "");
    settings.ImagesFolderName = field(4, "images");
    settings.ThumbnailsFolderName = field(5, "thumbnails");
    settings.ImagePagesFolderName = field(6, "imagepages");
    settings.ThumbnailPrefix = field(7, "tn");
    const unsigned flags =
        fields.size() > 8 && !fields[8].empty() ? static_cast<unsigned char>(fields[8][0]) : 0;
    settings.MakeImagePages = (flags & 1) != 0;
    PictureList pictures((flags >> 1 & 7) + 1);
    for (size_t k = 0; k < pictures.size(); ++k)
        pictures[k].FileName = field(9 + k, ("p" + std::to_string(k + 1) + ".jpg").c_str());

    const std::string templatePath = Work().Path + "/template.html";
    WriteWholeFile(templatePath, templateText);

    // The check made before a build and the stage itself must agree on
    // whether the template can place pictures at all.
    const bool placesPictures = TemplatePlacesPictures(templateText, settings);
    int pages = 0;
    try {
        pages = WriteGalleryPages(settings, pictures, templatePath);
    } catch (const SiteError &e) {
        if (placesPictures || e.what() != NoImagePlaceholderMessage(templatePath))
            Fail(std::string("unexpected error: ") + e.what());
    }
    // The count the checks before a build rely on fills the pages the same way.
    const int counted = CountGalleryPages(settings, pictures, templateText);
    if (counted != pages)
        Fail("counted " + std::to_string(counted) + " pages, wrote " + std::to_string(pages));
    if (placesPictures) {
        if (pages < 1 || static_cast<size_t>(pages) > pictures.size())
            Fail(std::to_string(pages) + " pages for " + std::to_string(pictures.size()) +
                 " pictures");
        for (int p = 1; p <= pages + 1; ++p)
            if (FileExists(Work().Path + "/index" + std::to_string(p) + ".html") != (p <= pages))
                Fail("page files do not match the count " + std::to_string(pages));
    }

    // When no value can bring in or complete a placeholder, a page holds as
    // many pictures as the filled head leaves "%image%" in the template.
    bool plainValues = true;
    for (size_t i = 1; i < fields.size(); ++i)
        plainValues = plainValues && fields[i].find('%') == std::string::npos;
    if (plainValues) {
        std::string head = ToCrLf(templateText);
        ReplaceTitles(head, settings.SiteName);
        ReplaceFirst(head, "%metakey%", settings.SiteKeywords);
        ReplaceFirst(head, "%metadescrip%", settings.SiteDescription);
        const size_t perPage = CountNonOverlapping(head, "%image%");
        const size_t expected = perPage ? (pictures.size() + perPage - 1) / perPage : 0;
        if (static_cast<size_t>(pages) != expected)
            Fail(std::to_string(pages) + " pages, expected " + std::to_string(expected));
    }

    // The one-pass replacement gives what searching the whole text from its
    // start after every replacement gives, with values that may hold or
    // complete placeholders themselves (the fields, in turn, then nothing).
    {
        const auto valuesFrom = [&fields](size_t &next) {
            return [&fields, &next] {
                return next < fields.size() ? fields[next++] : (++next, std::string());
            };
        };
        std::string plain = ToCrLf(templateText);
        std::string inTurn = plain;
        size_t plainNext = 1, inTurnNext = 1;
        const auto plainValue = valuesFrom(plainNext);
        size_t plainCount = 0;
        while (ReplaceFirst(plain, "%image%", plainValue()) != std::string::npos)
            ++plainCount;
        if (ReplaceEachInTurn(inTurn, "%image%", valuesFrom(inTurnNext)) != plainCount ||
            inTurn != plain)
            Fail("the one-pass replacement differs from the plain rule");
    }

    for (int p = 1; p <= pages; ++p)
        DeleteFileQuietly(Work().Path + "/index" + std::to_string(p) + ".html");
    return 0;
}
