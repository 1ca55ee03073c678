// The welcome page's banner: the product name glowing over light streaks
// and spheres.
#pragma once

#include <QImage>
#include <QString>

#include <QtGlobal>

namespace artwork {

// Drawn with the bold and the regular FreeSans families.
QImage DrawBanner(const QString &bold, const QString &regular);

// Stores it as a JFIF 1.02 JPEG at 300 dots per inch.
bool WriteBanner(const QImage &image, const QString &path, qint64 *size);

} // namespace artwork
