// The size arithmetic of thumbnails: the thumbnail size text as a whole
// number, and the thumbnail's width and height from the picture's.
#pragma once

#include <cstdint>
#include <string>

namespace pixelnook {

// A thumbnail's width and height in pixels.
struct ThumbnailExtent {
    int32_t Width = 0;
    int32_t Height = 0;
};

// The whole-number conversion of the thumbnail size text: leading spaces, an
// optional sign, decimal digits or "$"/"x"/"0x" hex, nothing after. Throws
// SiteError "'%s' is not a valid integer value".
int32_t ConvertThumbnailSize(const std::string &text);

// The shorter side becomes `size`, the other is divided by the same rounded
// scale factor. Throws SiteError "Floating point division by zero" or
// "Invalid floating point operation".
ThumbnailExtent ThumbnailDimensions(int32_t W, int32_t H, int32_t size);

// The orientation test of ThumbnailDimensions: W / H held as a 64-bit
// float, compared with 1. Throws SiteError "Invalid floating point
// operation" for 0 / 0 and "Floating point division by zero" for H = 0.
bool IsLandscape(int32_t W, int32_t H);

} // namespace pixelnook
