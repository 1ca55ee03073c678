#include "Icon.h"

#include "ArtworkCommon.h"

#include <QColor>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace artwork {

namespace {

// The orange of the product name and the icon frame.
const QColor kPixelnookOrange(0xf0, 0x8a, 0x1c);

} // namespace

QImage DrawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 64.0, size / 64.0);

    // Orange frame.
    const QRectF frame(2, 3, 60, 58);
    QLinearGradient frameFill(frame.topLeft(), frame.bottomLeft());
    frameFill.setColorAt(0.0, QColor(0xff, 0xb8, 0x4d));
    frameFill.setColorAt(0.5, kPixelnookOrange);
    frameFill.setColorAt(1.0, QColor(0xc4, 0x5a, 0x08));
    p.setPen(QPen(QColor(0x8a, 0x3c, 0x04), 1.2));
    p.setBrush(frameFill);
    p.drawRoundedRect(frame, 9, 9);

    // Dark mount inside the frame.
    const QRectF mount(8, 9, 48, 46);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2a, 0x1c, 0x14));
    p.drawRoundedRect(mount, 4, 4);

    // A three by three grid of little photos, each a sky over a hill.
    const QColor skies[] = {
        QColor(0x6c, 0xb8, 0xf0), QColor(0xff, 0xb0, 0x5c), QColor(0x9a, 0xd0, 0xf8),
        QColor(0xf5, 0x7a, 0x5a), QColor(0x7e, 0xc8, 0xff), QColor(0xff, 0xc8, 0x6a),
        QColor(0x88, 0xc0, 0xe8), QColor(0xff, 0x94, 0x4a), QColor(0xa8, 0xd8, 0xff)};
    const QColor hills[] = {
        QColor(0x3e, 0xa8, 0x4a), QColor(0x8a, 0x3a, 0x1a), QColor(0x2f, 0x8f, 0x5a),
        QColor(0x5a, 0x2a, 0x3a), QColor(0x4c, 0xb0, 0x3c), QColor(0x9a, 0x5a, 0x1a),
        QColor(0x36, 0x96, 0x4e), QColor(0x6a, 0x30, 0x20), QColor(0x44, 0xa0, 0x60)};
    const double cell = 13;
    const double gap = 2;
    const QPointF origin(mount.left() + (mount.width() - 3 * cell - 2 * gap) / 2,
                         mount.top() + (mount.height() - 3 * cell - 2 * gap) / 2);
    for (int i = 0; i < 9; ++i) {
        const QRectF r(origin.x() + (i % 3) * (cell + gap), origin.y() + (i / 3) * (cell + gap),
                       cell, cell);
        p.save();
        QPainterPath clip;
        clip.addRoundedRect(r, 1.5, 1.5);
        p.setClipPath(clip);
        p.fillRect(r, skies[i]);
        QPainterPath hill;
        hill.moveTo(r.left(), r.bottom());
        hill.lineTo(r.left(), r.top() + cell * 0.62);
        hill.quadTo(QPointF(r.left() + cell * (0.3 + 0.1 * (i % 2)), r.top() + cell * 0.3),
                    QPointF(r.right(), r.top() + cell * 0.7));
        hill.lineTo(r.right(), r.bottom());
        hill.closeSubpath();
        p.fillPath(hill, hills[i]);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xff, 0xf4, 0xc0));
        p.drawEllipse(QPointF(r.right() - 3.5, r.top() + 3.5), 1.6, 1.6);
        p.restore();
    }

    // A highlight along the top of the frame.
    p.setPen(QPen(QColor(255, 255, 255, 90), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(frame.adjusted(1.2, 1.2, -1.2, -1.2), 8, 8);
    p.end();
    return image;
}

bool WriteIcon(const QImage &indexed, const QString &path)
{
    QImageWriter writer(path, "png");
    if (!writer.write(indexed)) {
        Err() << "pixelnook-artwork: cannot write " << path << ": " << writer.errorString() << "\n";
        return false;
    }
    return true;
}

} // namespace artwork
