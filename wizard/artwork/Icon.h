// The program icon: a three by three grid of little photos in an orange
// frame, stored as a PNG of 256 colours.
#pragma once

#include <QImage>
#include <QString>

namespace artwork {

// Drawn on a 64-unit grid and scaled to the size asked for, so that every
// size of the icon is the same drawing rather than a resampled picture.
QImage DrawIcon(int size);

// Writes the icon (as ToIndexed gives it) as a PNG.
bool WriteIcon(const QImage &indexed, const QString &path);

} // namespace artwork
