// The answers as the pages' controls hold them: "Start Site" writes its
// start values into the controls, and "Build Site" reads every answer back
// from them. Both sides are here so that they name the same controls.
#pragma once

#include "site/SiteSettings.h"

// Writes the start values of a wizard run into the pages, in this order:
// the template flag and path, the emptied picture list, the folder page's
// "Folder:" caption, the folder names, the site details and the web-ready
// check box, the custom template path and the site folder. The image-pages
// and custom-template check boxes, the template highlight and the chooser's
// name box and tree are not answers the reset touches, so they stay as they
// are.
void WriteStartAnswers(const pixelnook::SiteSettings &Settings,
                       const pixelnook::TemplateChoice &Choice);

// Reads every answer from the pages that hold it, as it stands now.
void ReadAnswers(pixelnook::SiteSettings &Settings, pixelnook::PictureList &Pictures,
                 pixelnook::TemplateChoice &Choice);
