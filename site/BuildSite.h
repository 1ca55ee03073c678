// The site builder: checks the template choice, then writes the folder tree,
// thumbnails, picture copies, image pages and gallery pages, reporting each
// stage to an observer. It knows nothing of windows.
#pragma once

#include "SiteSettings.h"

#include <cstddef>
#include <string>
#include <vector>

namespace pixelnook {

struct BuildProgress {
    std::string Text;
    int Percent = 0;
};

inline constexpr const char *kStageFoldersText = "Currenty: Building folders for files";
inline constexpr const char *kStageThumbnailsText = "Currently: Making thumbnails of images";
inline constexpr const char *kStageCopiesText = "Currently: Moving images to the images folder";
inline constexpr const char *kStageImagePagesText = "Currently: Creating images pages";
inline constexpr const char *kStageGalleryText = "Currently: Making the gallery pages";
inline constexpr const char *kStageEndText = "Currently:";

inline constexpr const char *kCustomTemplateMissingMessage =
    "You MUST select a template or use a custom one to continue";
inline constexpr const char *kNoTemplateSelectedMessage =
    "You didn't select a template, please select one then click Build";

// What the wizard's progress window implements; the command-line tool prints.
class BuildObserver {
public:
    virtual ~BuildObserver() = default;
    // The checks have passed and the build is about to write: show progress.
    virtual void BuildStarted() {}
    // A stage begins (text first, then percentage), or the build ended
    // ("Currently:", 0).
    virtual void Progress(const BuildProgress &progress) = 0;
    // The thumbnail of picture `done` of `total` has been written (list
    // order, on the thread that called BuildSite). The percentage stays.
    virtual void PictureDone(size_t /*done*/, size_t /*total*/) {}
};

struct BuildOptions {
    // Threads that make thumbnails side by side; 0 means one per core.
    unsigned ThumbnailWorkers = 0;
    // Keep the site in step with the answers: leave a picture whose source
    // and settings are unchanged since the last update as it is, rewrite
    // only the pages whose bytes change, remove the files of the last
    // update that this one does not write, and keep a record of what was
    // written in the site folder (see SiteUpdate.h).
    bool Update = false;
};

// A file of an earlier update that was neither removed nor overwritten.
struct KeptFile {
    std::string Path; // relative to the site folder
    std::string Reason;
};

struct BuildResult {
    // False when a check refused the build: nothing was written and
    // CheckMessage holds the text of the "Error" message box.
    bool Built = false;
    std::string CheckMessage;
    int PictureCount = 0;
    int PageCount = 0;
    std::string SiteLine;  // "Your site - ... has been made sucessfully"
    std::string CountLine; // "It contains ... pictures and is on ... pages"
    // What was done to the copies ("Location removed from 22 pictures; ..."),
    // or which publish a place; empty when there is nothing to say.
    std::string WebLine;

    // With BuildOptions::Update: pictures made for the first time, made
    // again (their source or settings changed, or a file was missing), left
    // as they were, and those of the last update no longer in the list.
    int PicturesNew = 0;
    int PicturesChanged = 0;
    int PicturesUnchanged = 0;
    int PicturesRemoved = 0;
    // Files (thumbnails, copies and pages) written, left as they were, and
    // removed as no longer part of the site.
    int FilesWritten = 0;
    int FilesUnchanged = 0;
    int FilesRemoved = 0;
    // Files of the last update that this one would have removed but kept,
    // because they are no longer what that update wrote.
    std::vector<KeptFile> KeptFiles;
};

// Runs the whole build. A refused check comes back in the result; an error
// inside a stage is thrown as SiteError (files already written stay).
// choice.TemplatePath takes CustomTemplatePath when that is not empty, and
// keeps it after the build.
BuildResult BuildSite(const SiteSettings &settings, const PictureList &pictures,
                      TemplateChoice &choice, BuildObserver &observer,
                      const BuildOptions &options = {});

} // namespace pixelnook
