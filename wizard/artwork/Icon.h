// The program icon: a three by three grid of little photos in an orange
// frame, 64 pixels square, stored as a PNG of 256 colours.
#pragma once

#include <QImage>
#include <QString>

namespace artwork {

QImage DrawIcon();

// Writes the icon (as ToIndexed gives it) as a PNG.
bool WriteIcon(const QImage &indexed, const QString &path);

} // namespace artwork
