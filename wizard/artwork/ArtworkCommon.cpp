#include "ArtworkCommon.h"

#include <QBuffer>
#include <QFile>
#include <QFontDatabase>
#include <QImageWriter>
#include <QStringList>

namespace artwork {

QTextStream &Err()
{
    static QTextStream stream(stderr);
    return stream;
}

QString LoadFont(const QString &file)
{
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kFontFolder) + file);
    if (id < 0)
        return QString();
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString() : families.first();
}

QFont PixelFont(const QString &family, int pixelSize, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QByteArray EncodeJpeg(const QImage &image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.setOptimizedWrite(false);
    writer.setProgressiveScanWrite(false);
    if (!writer.write(image.convertToFormat(QImage::Format_RGB32)))
        return QByteArray();
    return bytes;
}

bool SaveBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        Err() << "pixelnook-artwork: cannot write " << path << ": " << file.errorString() << "\n";
        return false;
    }
    return true;
}

} // namespace artwork
