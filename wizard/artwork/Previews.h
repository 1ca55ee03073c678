// The six template previews of the template page, one per built-in
// template, in the colours of that template's pages.
#pragma once

#include <QImage>
#include <QString>

#include <QtGlobal>

namespace artwork {

inline constexpr int kPreviewCount = 6;

// Preview `number` (1 to kPreviewCount) lettered in `family`.
QImage DrawPreview(int number, const QString &family);

// Encodes a preview with the best quality that keeps the file within the
// size the template page is laid out for.
bool WritePreview(const QImage &image, const QString &path, int *qualityUsed, qint64 *size);

} // namespace artwork
