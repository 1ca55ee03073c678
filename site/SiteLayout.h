// Where every file of a site goes and how the pages name it in their links.
// The writers, the checks made before a build and the completed page all
// take their paths from here, so a check always looks at the very file that
// is written.
#pragma once

#include "SiteSettings.h"

#include <cstddef>
#include <string>

namespace pixelnook {

// ---- files on disk (SiteFolder + "/" + ...)

std::string ImagesFolder(const SiteSettings &settings);
std::string ThumbnailsFolder(const SiteSettings &settings);
std::string ImagePagesFolder(const SiteSettings &settings);

// images folder + "/" + FileName
std::string CopyPath(const SiteSettings &settings, const PictureEntry &picture);
// thumbnails folder + "/" + ThumbnailPrefix + FileName
std::string ThumbnailPath(const SiteSettings &settings, const PictureEntry &picture);
// image pages folder + "/imagepage" + k + ".html", k counting rows from 1
std::string ImagePagePath(const SiteSettings &settings, size_t k);
// siteFolder + "/index" + p + ".html", p counting pages from 1; the
// completed page forms its link from the folder the chooser shows.
std::string GalleryPagePath(const std::string &siteFolder, int p);

// A folder name, or the thumbnail prefix, that would lead out of the site
// folder: one that starts with "/" or holds a ".." part. Gives the message
// that names the first such value, or an empty text. The image pages
// folder counts only with MakeImagePages on.
std::string LeavesTheSiteMessage(const SiteSettings &settings);

// The message for a site folder that is the file system's root ("/", or a
// name that leads there), or an empty text.
std::string SiteFolderAtTheRootMessage(const std::string &siteFolder);

// ---- links, as written into href and src values

// The text as a path in a URL may hold it: "/" and the unreserved characters
// A-Z a-z 0-9 - . _ ~ stay as they are, every other byte (each byte of a
// UTF-8 character too) becomes "%" and two upper-case hex digits. The result
// is also safe inside a quoted attribute value: & " < > become %26 %22 %3C
// %3E. Names of letters, digits, "-", "_" and "." come out unchanged.
std::string UrlPathEncode(const std::string &text);

// Every link below is already encoded; folder names and the thumbnail prefix
// are encoded like the file names, as they are parts of the same path.

// From one gallery page to another: "index" + p + ".html".
std::string GalleryPageLink(int p);
// From a gallery page to picture k's image page (k counting from 1).
std::string ImagePageLinkFromGallery(const SiteSettings &settings, size_t k);
// From a gallery page to a picture's copy and to its thumbnail.
std::string CopyLinkFromGallery(const SiteSettings &settings, const PictureEntry &picture);
std::string ThumbnailLinkFromGallery(const SiteSettings &settings, const PictureEntry &picture);
// From an image page (one folder below the site folder) to the picture's copy.
std::string CopyLinkFromImagePage(const SiteSettings &settings, const PictureEntry &picture);

} // namespace pixelnook
