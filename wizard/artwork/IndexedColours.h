// The PNG quantizer: an image with alpha as 256 indexed colours.
#pragma once

#include <QImage>

namespace artwork {

// 256 colours by median cut over the icon's own pixels, alpha included, so
// the frame's gradient and the soft edges survive; Qt's own conversion falls
// back to a fixed colour cube with one-bit alpha.
QImage ToIndexed(const QImage &source);

} // namespace artwork
