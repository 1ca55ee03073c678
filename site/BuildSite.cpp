#include "BuildSite.h"

#include "FileSystem.h"
#include "GalleryPages.h"
#include "ImagePages.h"
#include "SiteError.h"
#include "SiteLayout.h"
#include "SiteUpdate.h"
#include "ThumbnailStage.h"
#include "WebCopy.h"

#include <map>
#include <optional>
#include <vector>

namespace pixelnook {

namespace {

// The copy stage leaves a picture's copy alone when the copy path already
// holds the picture: it is the picture's own name (a picture chosen from
// the images folder, whose deletion would lose it), or another hard link to
// the same bytes. Anything else there, a link to the picture included, is
// replaced by a real copy: an absolute link inside the site breaks once the
// site is moved.
bool CopyIsInPlace(const std::string &source, const std::string &copy, DirectoryEntries &entries)
{
    const std::optional<DirectoryEntry> entry = entries.Of(source);
    return (entry && entry == entries.Of(copy)) || (!IsSymlink(copy) && SameFile(source, copy));
}

using PictureEntries = std::map<DirectoryEntry, const PictureEntry *>;

// The directory entry of every chosen picture.
PictureEntries EntriesOfPictures(const PictureList &pictures, DirectoryEntries &entries)
{
    PictureEntries sources;
    for (const PictureEntry &picture : pictures)
        if (const std::optional<DirectoryEntry> entry = entries.Of(picture.SourcePath()))
            sources.emplace(*entry, &picture);
    return sources;
}

// A thumbnail replaces the name it is written to: a link there (to a chosen
// picture, say) is removed and the file it led to stays. Only a thumbnail
// written to a chosen picture's own name would lose the picture (a
// thumbnails folder that is the images folder with no prefix, say); the
// message says which, or is empty.
std::string ThumbnailOverPicture(const SiteSettings &settings, const PictureList &pictures,
                                 DirectoryEntries &entries)
{
    const PictureEntries sources = EntriesOfPictures(pictures, entries);
    for (const PictureEntry &picture : pictures) {
        const std::string target = ThumbnailPath(settings, picture);
        const std::optional<DirectoryEntry> entry = entries.Of(target);
        if (!entry)
            continue;
        const auto found = sources.find(*entry);
        if (found != sources.end())
            return "The thumbnail \"" + target + "\" would be written over the picture \"" +
                   found->second->SourcePath() + "\"";
    }
    return std::string();
}

// Every page replaces the name it is written to, as a thumbnail does: a
// chosen picture that is itself a page's name (a JPEG kept as the site's
// index1.html) would be lost. pageCount gallery pages are counted (none
// when the template could not be read) and the image pages with
// MakeImagePages on; the message says which page, or is empty.
std::string PageOverPicture(const SiteSettings &settings, const PictureList &pictures,
                            int pageCount, DirectoryEntries &entries)
{
    const PictureEntries sources = EntriesOfPictures(pictures, entries);
    const auto over = [&](const std::string &page) {
        const std::optional<DirectoryEntry> entry = entries.Of(page);
        const auto found = entry ? sources.find(*entry) : sources.end();
        if (found == sources.end())
            return std::string();
        return "The page \"" + page + "\" would be written over the picture \"" +
               found->second->SourcePath() + "\"";
    };
    for (int p = 1; p <= pageCount; ++p)
        if (std::string message = over(GalleryPagePath(settings.SiteFolder, p)); !message.empty())
            return message;
    if (settings.MakeImagePages)
        for (size_t k = 1; k <= pictures.size(); ++k)
            if (std::string message = over(ImagePagePath(settings, k)); !message.empty())
                return message;
    return std::string();
}

// A template kept among the files the build writes (a custom template saved
// as the site's index1.html, say) would be lost; the message says by which
// file, or is empty. Only the files this build really writes count: the
// pages the fill gives, and the thumbnails, copies and image pages. Every
// one of them replaces the name itself, so a link to the template there
// loses nothing.
std::string FileOverTemplate(const SiteSettings &settings, const PictureList &pictures,
                             const std::string &templatePath, int pageCount,
                             DirectoryEntries &entries)
{
    const std::optional<DirectoryEntry> tplEntry = entries.Of(templatePath);
    if (!IdentityOf(templatePath) || !tplEntry)
        return std::string();
    const auto over = [&](const std::string &path) {
        return "The file \"" + path + "\" would be written over the template \"" + templatePath +
               "\"";
    };
    for (int p = 1; p <= pageCount; ++p) {
        const std::string page = GalleryPagePath(settings.SiteFolder, p);
        if (entries.Of(page) == tplEntry)
            return over(page);
    }
    if (settings.MakeImagePages) {
        for (size_t k = 1; k <= pictures.size(); ++k) {
            const std::string page = ImagePagePath(settings, k);
            if (entries.Of(page) == tplEntry)
                return over(page);
        }
    }
    for (const PictureEntry &picture : pictures) {
        const std::string thumbnail = ThumbnailPath(settings, picture);
        if (entries.Of(thumbnail) == tplEntry)
            return over(thumbnail);
        const std::string copy = CopyPath(settings, picture);
        if (entries.Of(copy) == tplEntry && !CopyIsInPlace(picture.SourcePath(), copy, entries))
            return over(copy);
    }
    return std::string();
}

// The template the gallery pages are filled from: the custom file whenever
// one was chosen, ticked or not, else the built-in one picked.
const std::string &EffectiveTemplatePath(const TemplateChoice &choice)
{
    return choice.CustomTemplatePath.empty() ? choice.TemplatePath : choice.CustomTemplatePath;
}

// The checks the user can correct; an empty result lets the build run.
// The template is read here, once, and every gallery page is filled from
// this copy; `templateBytes` stays empty when it cannot be read, which is
// left to the gallery stage to report.
std::string CheckBuild(const SiteSettings &settings, const PictureList &pictures,
                       const TemplateChoice &choice, std::optional<std::string> &templateBytes)
{
    if (choice.UseCustomTemplate) {
        if (choice.CustomTemplatePath.empty() || !FileExists(choice.CustomTemplatePath))
            return kCustomTemplateMissingMessage;
    } else if (choice.TemplateSelected != "true") {
        return kNoTemplateSelectedMessage;
    }

    // Nothing is written outside the site folder, nor the site at the root.
    if (std::string message = SiteFolderAtTheRootMessage(settings.SiteFolder); !message.empty())
        return message;
    if (std::string message = LeavesTheSiteMessage(settings); !message.empty())
        return message;

    // A template that can hold no picture would make pages without end, so
    // it is refused before anything is written; so is a pipe or device
    // (which would be read without end) and a template too large to fill.
    const std::string &templatePath = EffectiveTemplatePath(choice);
    try {
        templateBytes.emplace(ReadTemplate(templatePath));
    } catch (const SiteError &e) {
        if (e.what() == NotARegularFileMessage(templatePath) ||
            e.what() == TemplateTooLargeMessage(templatePath))
            return e.what();
    }
    if (templateBytes && !TemplatePlacesPictures(*templateBytes, settings))
        return NoImagePlaceholderMessage(templatePath);

    if (pictures.empty())
        return kNoPicturesMessage;
    // A picture that is no regular file (a pipe would be waited on for ever).
    for (const PictureEntry &picture : pictures)
        if (IsThereButNotARegularFile(picture.SourcePath()))
            return NotARegularFileMessage(picture.SourcePath());
    DirectoryEntries entries;
    const std::string overPicture = ThumbnailOverPicture(settings, pictures, entries);
    if (!overPicture.empty())
        return overPicture;
    const int pageCount = templateBytes ? CountGalleryPages(settings, pictures, *templateBytes) : 0;
    if (std::string message = PageOverPicture(settings, pictures, pageCount, entries);
        !message.empty())
        return message;
    if (!templateBytes)
        return std::string();
    return FileOverTemplate(settings, pictures, templatePath, pageCount, entries);
}

// For each picture, whether the copy stage leaves it alone.
std::vector<bool> CopiesInPlace(const SiteSettings &settings, const PictureList &pictures)
{
    DirectoryEntries entries;
    std::vector<bool> inPlace;
    for (const PictureEntry &picture : pictures)
        inPlace.push_back(
            CopyIsInPlace(picture.SourcePath(), CopyPath(settings, picture), entries));
    return inPlace;
}

void Report(BuildObserver &observer, const char *text, int percent)
{
    observer.Progress(BuildProgress{text, percent});
}

} // namespace

BuildResult BuildSite(const SiteSettings &settings, const PictureList &pictures,
                      TemplateChoice &choice, BuildObserver &observer, const BuildOptions &options)
{
    BuildResult result;
    std::optional<std::string> templateBytes;
    result.CheckMessage = CheckBuild(settings, pictures, choice, templateBytes);
    if (!result.CheckMessage.empty())
        return result;
    std::optional<SiteUpdate> update;
    if (options.Update) {
        const int pages = templateBytes ? CountGalleryPages(settings, pictures, *templateBytes) : 0;
        update.emplace(settings, pictures, pages, CopiesInPlace(settings, pictures));
        result.CheckMessage = update->Refusal();
        if (!result.CheckMessage.empty())
            return result;
    }

    observer.BuildStarted();

    Report(observer, kStageFoldersText, 10);
    CreateFolders(settings.SiteFolder);
    CreateFolders(ImagesFolder(settings));
    CreateFolders(ThumbnailsFolder(settings));
    if (settings.MakeImagePages)
        CreateFolders(ImagePagesFolder(settings));
    if (update)
        update->Begin();

    Report(observer, kStageThumbnailsText, 35);
    // Web-ready copies are made from the thumbnails' decode of each picture
    // and written with its thumbnail; a picture that is its own copy keeps
    // its bytes.
    const std::vector<bool> inPlace =
        settings.WebReady ? CopiesInPlace(settings, pictures) : std::vector<bool>();
    std::vector<ThumbnailJob> jobs;
    jobs.reserve(pictures.size());
    for (size_t k = 0; k < pictures.size(); ++k) {
        ThumbnailJob job;
        job.SourcePath = pictures[k].SourcePath();
        if (!update || update->MakesThumbnail(k))
            job.TargetPath = ThumbnailPath(settings, pictures[k]);
        if (settings.WebReady && !inPlace[k] && (!update || update->MakesCopy(k))) {
            job.WebCopyPath = CopyPath(settings, pictures[k]);
            job.WebSize = settings.WebSize;
        }
        if (!job.TargetPath.empty() || !job.WebCopyPath.empty()) {
            jobs.push_back(std::move(job));
        }
    }
    // An update counts the pictures it decodes, not the ones it keeps.
    const std::vector<WebCopyMade> made = MakeThumbnails(
        jobs, settings.ThumbnailSize, options.ThumbnailWorkers, 0, 0,
        [&observer, total = jobs.size()](size_t done) { observer.PictureDone(done, total); });

    Report(observer, kStageCopiesText, 50);
    WebCopies web(settings);
    for (const WebCopyMade &copy : made)
        if (copy.Made)
            web.Made(copy.HadLocation, copy.SourceBytes, copy.CopyBytes);
    DirectoryEntries entries; // no folder is made or removed during the stage
    for (size_t k = 0; k < pictures.size(); ++k) {
        if (update && !update->MakesCopy(k))
            continue;
        const std::string source = pictures[k].SourcePath();
        const std::string copy = CopyPath(settings, pictures[k]);
        if (settings.WebReady ? inPlace[k] : CopyIsInPlace(source, copy, entries)) {
            web.KeptAsItIs(source);
            continue;
        }
        if (settings.WebReady || web.Write(source, copy))
            continue;
        // Deletes what is at the copy path, then copies; a copy that cannot
        // be made stops the build, as a thumbnail does.
        CopyFileOver(source, copy);
    }

    if (settings.MakeImagePages) {
        Report(observer, kStageImagePagesText, 65);
        CreateFolders(ImagePagesFolder(settings));
        if (update) {
            for (size_t k = 0; k < pictures.size(); ++k)
                update->WritePage(ImagePagePath(settings, k + 1),
                                  ImagePageText(settings, pictures[k]));
        } else {
            WriteImagePages(settings, pictures);
        }
    }

    // The path used is remembered as the template chosen.
    choice.TemplatePath = EffectiveTemplatePath(choice);
    Report(observer, kStageGalleryText, 80);
    if (update && templateBytes)
        result.PageCount =
            WriteGalleryPages(settings, pictures, choice.TemplatePath, *templateBytes,
                              [&](const std::string &path, const std::string &text) {
                                  update->WritePage(path, text);
                              });
    else
        result.PageCount =
            templateBytes
                ? WriteGalleryPages(settings, pictures, choice.TemplatePath, *templateBytes)
                : WriteGalleryPages(settings, pictures, choice.TemplatePath);
    if (update)
        update->Finish(result);

    if (settings.WebReady)
        WriteFrontPage(settings.SiteFolder);

    Report(observer, kStageEndText, 0);
    result.Built = true;
    result.PictureCount = static_cast<int>(pictures.size());
    result.SiteLine = "Your site - " + settings.SiteName + " has been made sucessfully";
    result.CountLine = "It contains " + std::to_string(pictures.size()) + " pictures and is on " +
                       std::to_string(result.PageCount) + " pages";
    result.WebLine = web.Line();
    return result;
}

} // namespace pixelnook
