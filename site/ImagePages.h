// The image pages: one small fixed page per picture showing its full-size
// copy, imagepage1.html for the first row of the picture list and so on.
#pragma once

#include "SiteSettings.h"

#include <string>

namespace pixelnook {

// The twelve lines of the page of one picture, each ending in CR LF.
std::string ImagePageText(const SiteSettings &settings, const PictureEntry &picture);

// Writes one page per picture in list order. Throws SiteError
// `Cannot create file "%s". %s`; the pages written before stay.
void WriteImagePages(const SiteSettings &settings, const PictureList &pictures);

} // namespace pixelnook
