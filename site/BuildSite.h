// The site builder: checks the template choice, then writes the folder tree,
// thumbnails, picture copies, image pages and gallery pages, reporting each
// stage to an observer. It knows nothing of windows.
#pragma once

#include "SiteSettings.h"

#include <string>

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
};

struct BuildOptions {
    // Threads that make thumbnails side by side; 0 means one per core.
    unsigned ThumbnailWorkers = 0;
};

struct BuildResult {
    // False when a check refused the build: nothing was written and
    // CheckMessage holds the text of the "Error" message box.
    bool Built = false;
    std::string CheckMessage;
    int PictureCount = 0;
    int PageCount = 0;
    std::string SiteLine;   // "Your site - ... has been made sucessfully"
    std::string CountLine;  // "It contains ... pictures and is on ... pages"
    // What was done to the copies ("Location removed from 22 pictures; ..."),
    // or which publish a place; empty when there is nothing to say.
    std::string WebLine;
};

// Runs the whole build. A refused check comes back in the result; an error
// inside a stage is thrown as SiteError (files already written stay).
// choice.TemplatePath takes CustomTemplatePath when that is not empty, and
// keeps it after the build.
BuildResult BuildSite(const SiteSettings &settings, const PictureList &pictures,
                      TemplateChoice &choice, BuildObserver &observer,
                      const BuildOptions &options = {});

} // namespace pixelnook
