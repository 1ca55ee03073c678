#include "BuildSite.h"

#include "FileSystem.h"
#include "GalleryPages.h"
#include "ImagePages.h"
#include "SiteError.h"
#include "SiteLayout.h"
#include "ThumbnailStage.h"

#include <map>
#include <optional>
#include <vector>

namespace pixelnook {

namespace {

// A thumbnail is written over whatever file has its name. When that file is
// one of the chosen pictures (a thumbnails folder named like the images
// folder with no prefix, say), the user's picture would be lost; the
// message says which, or is empty.
std::string ThumbnailOverPicture(const SiteSettings &settings, const PictureList &pictures)
{
    std::map<FileIdentity, const PictureEntry *> sources;
    for (const PictureEntry &picture : pictures)
        if (const std::optional<FileIdentity> id = IdentityOf(picture.SourcePath()))
            sources.emplace(*id, &picture);
    for (const PictureEntry &picture : pictures) {
        const std::string target = ThumbnailPath(settings, picture);
        const std::optional<FileIdentity> id = IdentityOf(target);
        if (!id)
            continue;
        const auto found = sources.find(*id);
        if (found != sources.end())
            return "The thumbnail \"" + target + "\" would be written over the picture \"" +
                   found->second->SourcePath() + "\"";
    }
    return std::string();
}

// A template kept among the files the build writes (a custom template saved
// as the site's index1.html, say) would be overwritten and lost, and the
// pages after it filled from one of their own; the message says by which
// file, or is empty. There is at most one gallery page per picture.
std::string FileOverTemplate(const SiteSettings &settings, const PictureList &pictures,
                             const std::string &templatePath)
{
    const std::optional<FileIdentity> tpl = IdentityOf(templatePath);
    if (!tpl)
        return std::string();
    std::vector<std::string> written;
    for (size_t k = 1; k <= pictures.size(); ++k) {
        written.push_back(GalleryPagePath(settings.SiteFolder, static_cast<int>(k)));
        if (settings.MakeImagePages)
            written.push_back(ImagePagePath(settings, k));
    }
    for (const PictureEntry &picture : pictures) {
        written.push_back(ThumbnailPath(settings, picture));
        const std::string copy = CopyPath(settings, picture);
        if (!SameFile(picture.SourcePath(), copy))
            written.push_back(copy);
    }
    for (const std::string &path : written) {
        if (IdentityOf(path) == tpl)
            return "The file \"" + path + "\" would be written over the template \"" + templatePath + "\"";
    }
    return std::string();
}

// The checks the user can correct; an empty result lets the build run.
std::string CheckBuild(const SiteSettings &settings, const PictureList &pictures,
                       const TemplateChoice &choice)
{
    if (choice.UseCustomTemplate) {
        if (choice.CustomTemplatePath.empty() || !FileExists(choice.CustomTemplatePath))
            return kCustomTemplateMissingMessage;
    } else if (choice.TemplateSelected != "true") {
        return kNoTemplateSelectedMessage;
    }

    // A template that can hold no picture would make pages without end, so
    // it is refused before anything is written. One that cannot be read is
    // left to the gallery stage, which reports why.
    const std::string &templatePath =
        choice.CustomTemplatePath.empty() ? choice.TemplatePath : choice.CustomTemplatePath;
    try {
        const std::vector<unsigned char> bytes = ReadWholeFile(templatePath);
        if (!TemplatePlacesPictures(std::string(bytes.begin(), bytes.end()), settings))
            return NoImagePlaceholderMessage(templatePath);
    } catch (const SiteError &) {
    }

    if (pictures.empty())
        return kNoPicturesMessage;
    const std::string overPicture = ThumbnailOverPicture(settings, pictures);
    if (!overPicture.empty())
        return overPicture;
    return FileOverTemplate(settings, pictures, templatePath);
}

void Report(BuildObserver &observer, const char *text, int percent)
{
    observer.Progress(BuildProgress{text, percent});
}

} // namespace

BuildResult BuildSite(const SiteSettings &settings, const PictureList &pictures,
                      TemplateChoice &choice, BuildObserver &observer,
                      const BuildOptions &options)
{
    BuildResult result;
    result.CheckMessage = CheckBuild(settings, pictures, choice);
    if (!result.CheckMessage.empty())
        return result;

    observer.BuildStarted();

    Report(observer, kStageFoldersText, 10);
    CreateFolders(settings.SiteFolder);
    CreateFolders(ImagesFolder(settings));
    CreateFolders(ThumbnailsFolder(settings));
    if (settings.MakeImagePages)
        CreateFolders(ImagePagesFolder(settings));

    Report(observer, kStageThumbnailsText, 35);
    std::vector<ThumbnailJob> jobs;
    jobs.reserve(pictures.size());
    for (const PictureEntry &picture : pictures)
        jobs.push_back({picture.SourcePath(), ThumbnailPath(settings, picture)});
    MakeThumbnails(jobs, settings.ThumbnailSize, options.ThumbnailWorkers);

    Report(observer, kStageCopiesText, 50);
    for (const PictureEntry &picture : pictures) {
        const std::string source = picture.SourcePath();
        const std::string copy = CopyPath(settings, picture);
        // A picture chosen from the images folder itself is its own copy:
        // deleting the "old copy" would delete the user's only file.
        if (SameFile(source, copy))
            continue;
        if (FileExists(copy))
            DeleteFileQuietly(copy);
        CopyFileOver(source, copy);
    }

    if (settings.MakeImagePages) {
        Report(observer, kStageImagePagesText, 65);
        CreateFolders(ImagePagesFolder(settings));
        WriteImagePages(settings, pictures);
    }

    if (!choice.CustomTemplatePath.empty())
        choice.TemplatePath = choice.CustomTemplatePath;
    Report(observer, kStageGalleryText, 80);
    result.PageCount = WriteGalleryPages(settings, pictures, choice.TemplatePath);

    Report(observer, kStageEndText, 0);
    result.Built = true;
    result.PictureCount = static_cast<int>(pictures.size());
    result.SiteLine = "Your site - " + settings.SiteName + " has been made sucessfully";
    result.CountLine = "It contains " + std::to_string(pictures.size()) + " pictures and is on " +
                       std::to_string(result.PageCount) + " pages";
    return result;
}

} // namespace pixelnook
