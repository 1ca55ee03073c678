// The wizard's answers as one data model: the site settings, the ordered
// picture list and the template choice, with the values "Start Site" gives.
#pragma once

#include <string>
#include <vector>

namespace pixelnook {

inline constexpr const char *kDefaultImagesFolderName = "images";
inline constexpr const char *kDefaultThumbnailsFolderName = "thumbnails";
inline constexpr const char *kDefaultImagePagesFolderName = "imagepages";
inline constexpr const char *kDefaultSiteName = "My Picture Site";
inline constexpr const char *kDefaultSiteDescription =
    "My pictures of me and my family at the beach side - christmas last year.";
inline constexpr const char *kDefaultSiteKeywords = "photos, family pics, holiday, christmas";
inline constexpr const char *kDefaultThumbnailPrefix = "tn";
inline constexpr const char *kDefaultThumbnailSize = "85";
inline constexpr int kDefaultWebSize = 2048;

// Every text value is taken as typed (UTF-8 bytes) and written out unchanged.
struct SiteSettings {
    std::string SiteFolder; // full path of the site's main folder
    std::string ImagesFolderName = kDefaultImagesFolderName;
    std::string ThumbnailsFolderName = kDefaultThumbnailsFolderName;
    bool MakeImagePages = false;
    std::string ImagePagesFolderName = kDefaultImagePagesFolderName;
    std::string SiteName = kDefaultSiteName;
    std::string SiteDescription = kDefaultSiteDescription; // line breaks are CR LF
    std::string SiteKeywords = kDefaultSiteKeywords;
    std::string ThumbnailPrefix = kDefaultThumbnailPrefix;
    std::string ThumbnailSize = kDefaultThumbnailSize; // converted for every picture
    // Copies for the web: upright, longest side at most WebSize pixels,
    // sRGB, no private metadata. Off: the copies are the pictures' bytes.
    bool WebReady = false;
    int WebSize = kDefaultWebSize;
    // The pictures copied with only their private metadata removed (what
    // WebReady does too).
    bool StripLocation = false;
};

struct PictureEntry {
    std::string FileName;     // name with extension, no folder
    std::string SourceFolder; // folder of the chosen file, ending in "/"

    std::string SourcePath() const { return SourceFolder + FileName; }
};

using PictureList = std::vector<PictureEntry>;

struct TemplateChoice {
    std::string TemplatePath;
    std::string TemplateSelected = "false"; // exactly "true" or "false"
    bool UseCustomTemplate = false;
    std::string CustomTemplatePath;
};

// The text with every line break made CR LF: a CR LF pair stays, every other
// CR and every other LF becomes a pair of its own. The one line-break rule
// of the program: for the site description as the details page and
// pixelnook-build give it, and for the gallery template.
std::string ToCrLf(const std::string &text);

// The user's home folder followed by "/mysite".
std::string DefaultSiteFolder();

// What "Start Site" writes: every text answer back to its default, the
// picture list emptied, the template flag and paths cleared, the copies
// plain again. It leaves MakeImagePages and UseCustomTemplate as they were.
void ResetToStartSite(SiteSettings &settings, PictureList &pictures, TemplateChoice &choice);

// What "Continue" on the folder and details pages does to the answers: each
// folder name and site detail that is empty (no characters at all; blanks
// stay) takes its default again. SiteFolder and the switches are untouched.
void FillEmptyWithDefaults(SiteSettings &settings);

// Splits a chosen file's path at its last "/" into SourceFolder (with the
// "/") and FileName.
PictureEntry SplitPicturePath(const std::string &path);

inline constexpr const char *kDuplicateNameMessage =
    "A file with this name is already added. Please select another name";
inline constexpr const char *kNoPicturesMessage = "You must select atlest 1 image";

// Appends the entry unless a row already has the same FileName (exact,
// case-sensitive comparison). Returns false when it was refused.
bool AddPicture(PictureList &pictures, const PictureEntry &entry);

} // namespace pixelnook
