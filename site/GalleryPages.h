// The gallery pages: one HTML template filled again for every page, each
// "%image%" taking the next picture, until every picture is placed.
#pragma once

#include "SiteSettings.h"

#include <functional>
#include <string>

namespace pixelnook {

// Replaces the first occurrence of placeholder in PageBuffer by value.
// `from` is where the search may start because the caller knows there is no
// occurrence before it (0 searches the whole text). Returns the position of
// the replaced text, or npos when there was none.
size_t ReplaceFirst(std::string &PageBuffer, const std::string &placeholder,
                    const std::string &value, size_t from = 0);

// Every "%title%" the text holds replaced by the site name, in one pass from
// left to right; a "%title%" that the name brings in (or forms with its
// neighbours) stays as it is.
void ReplaceTitles(std::string &PageBuffer, const std::string &siteName);

// The Next/Previous links of page PageNumber once its pictures are placed.
std::string NavigationText(int PageNumber, size_t PictureCursor, size_t pictureCount);

// The link of picture `index` (0-based) in the form MakeImagePages selects.
std::string PictureLink(const SiteSettings &settings, const PictureList &pictures, size_t index);

// True when a page filled from the template text would hold at least one
// "%image%", i.e. the pages can place the pictures at all.
bool TemplatePlacesPictures(const std::string &templateText, const SiteSettings &settings);

// The message for a template that can hold no picture.
std::string NoImagePlaceholderMessage(const std::string &templatePath);

// How many gallery pages the template bytes (as read from the file) give
// for these pictures and values: the pages are filled exactly as they are
// for writing, so "%image%" brought in by the values counts too. 0 when the
// template can hold no picture.
int CountGalleryPages(const SiteSettings &settings, const PictureList &pictures,
                      const std::string &templateBytes);

// Writes index1.html, index2.html, ... into the site folder, every page
// filled from the one copy of the template read before the first page, and
// returns the number of pages. Throws SiteError when the template cannot be
// opened, a page cannot be created, or the template can hold no picture
// (nothing of that page is written then).
int WriteGalleryPages(const SiteSettings &settings, const PictureList &pictures,
                      const std::string &templatePath);

// The same from template bytes already read from templatePath (which only
// names the template in the message).
int WriteGalleryPages(const SiteSettings &settings, const PictureList &pictures,
                      const std::string &templatePath, const std::string &templateBytes);

// The same, each page handed to `write` with its path and text to write.
int WriteGalleryPages(const SiteSettings &settings, const PictureList &pictures,
                      const std::string &templatePath, const std::string &templateBytes,
                      const std::function<void(const std::string &, const std::string &)> &write);

} // namespace pixelnook
