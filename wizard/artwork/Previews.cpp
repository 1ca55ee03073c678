#include "Previews.h"

#include "ArtworkCommon.h"

#include <QColor>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cstdint>

namespace artwork {

namespace {

enum class Formation { Rectangle, OpenMiddle, Cross };

struct PreviewSpec {
    const char *name;
    const char *count;
    Formation formation;
    int columns;
    int rows;
    QColor backgroundTop;
    QColor backgroundBottom;
    QColor ink;
    QColor accent;
    QColor empty;
};

// One per built-in template, in the colours of that template's pages.
// clang-format off
const PreviewSpec kPreviews[kPreviewCount] = {
    {"Template One", "Ten", Formation::Rectangle, 5, 2,
     QColor(0xfb, 0xfa, 0xf7), QColor(0xe9, 0xe5, 0xdc), QColor(0x24, 0x22, 0x1f),
     QColor(0xf0, 0x8a, 0x1c), QColor(0xd8, 0xd2, 0xc6)},
    {"Template Two", "Fifteen", Formation::Rectangle, 5, 3,
     QColor(0x26, 0x32, 0x3c), QColor(0x10, 0x12, 0x16), QColor(0xe6, 0xe4, 0xdf),
     QColor(0x3c, 0xc3, 0xc8), QColor(0x3a, 0x40, 0x4a)},
    {"Template Three", "Twelve", Formation::OpenMiddle, 4, 4,
     QColor(0xf6, 0xf0, 0xe6), QColor(0xe2, 0xd6, 0xc2), QColor(0x3b, 0x31, 0x28),
     QColor(0x9a, 0x6a, 0x36), QColor(0xcd, 0xbf, 0xa8)},
    {"Template Four", "Eight", Formation::Cross, 5, 5,
     QColor(0x1a, 0x36, 0x66), QColor(0x08, 0x15, 0x2b), QColor(0xe9, 0xee, 0xf7),
     QColor(0xf2, 0xb8, 0x4b), QColor(0x3a, 0x52, 0x7a)},
    {"Template Five", "Ten", Formation::OpenMiddle, 4, 3,
     QColor(0xfd, 0xe2, 0xe4), QColor(0xd9, 0xe8, 0xf5), QColor(0x3f, 0x37, 0x60),
     QColor(0x8a, 0x7b, 0xd8), QColor(0xd9, 0x8b, 0xb5)},
    {"Template Six", "Nine", Formation::Rectangle, 3, 3,
     QColor(0xfa, 0xf7, 0xf0), QColor(0xe6, 0xe1, 0xd5), QColor(0x11, 0x11, 0x11),
     QColor(0x11, 0x11, 0x11), QColor(0xff, 0xd4, 0x00)},
};
// clang-format on

// Whether cell (column, row) of the formation holds a picture.
bool HoldsPicture(const PreviewSpec &spec, int column, int row)
{
    switch (spec.formation) {
    case Formation::Rectangle: return true;
    case Formation::OpenMiddle:
        return column == 0 || row == 0 || column == spec.columns - 1 || row == spec.rows - 1;
    case Formation::Cross: {
        const int midColumn = spec.columns / 2;
        const int midRow = spec.rows / 2;
        return (column == midColumn) != (row == midRow);
    }
    }
    return false;
}

const char *FormationName(Formation formation)
{
    switch (formation) {
    case Formation::Rectangle: return "Rectangle";
    case Formation::OpenMiddle: return "Open Middle";
    case Formation::Cross: return "Cross";
    }
    return "";
}

// The formation as a small map of picture cells inside box.
void DrawFormation(QPainter &p, const PreviewSpec &spec, const QRectF &box)
{
    const double gap = 1.5;
    const double cell = std::min((box.width() - gap * (spec.columns - 1)) / spec.columns,
                                 (box.height() - gap * (spec.rows - 1)) / spec.rows);
    const double width = cell * spec.columns + gap * (spec.columns - 1);
    const double height = cell * spec.rows + gap * (spec.rows - 1);
    const QPointF origin(box.center().x() - width / 2, box.center().y() - height / 2);

    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    for (int row = 0; row < spec.rows; ++row) {
        for (int column = 0; column < spec.columns; ++column) {
            if (!HoldsPicture(spec, column, row))
                continue;
            const QRectF r(origin.x() + column * (cell + gap), origin.y() + row * (cell + gap),
                           cell, cell);
            // A tiny "photo" in each cell: accent frame with a lighter top.
            QLinearGradient fill(r.topLeft(), r.bottomLeft());
            fill.setColorAt(0.0, spec.accent.lighter(135));
            fill.setColorAt(1.0, spec.accent);
            p.setPen(Qt::NoPen);
            p.setBrush(fill);
            p.drawRoundedRect(r, 1.2, 1.2);
        }
    }
    // The centre of an open ring or of a cross carries the page's title.
    if (spec.formation != Formation::Rectangle) {
        QRectF centre;
        if (spec.formation == Formation::OpenMiddle) {
            centre = QRectF(origin.x() + cell + gap, origin.y() + cell + gap,
                            width - 2 * (cell + gap), height - 2 * (cell + gap));
        } else {
            const int mc = spec.columns / 2;
            const int mr = spec.rows / 2;
            centre =
                QRectF(origin.x() + mc * (cell + gap), origin.y() + mr * (cell + gap), cell, cell);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(spec.empty, 1.0));
        if (spec.formation == Formation::Cross)
            p.drawEllipse(centre.adjusted(0.8, 0.8, -0.8, -0.8));
        else
            p.drawRoundedRect(centre.adjusted(0.5, 0.5, -0.5, -0.5), 1.5, 1.5);
    }
    p.restore();
}

QImage DrawPreview(const PreviewSpec &spec, const QString &family, std::uint32_t seed)
{
    const int width = 129;
    const int height = 73;
    // The template page shows the middle 121 x 65 only.
    const QRectF visible(4, 4, 121, 65);

    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    QLinearGradient background(0, 0, width * 0.35, height);
    background.setColorAt(0.0, spec.backgroundTop);
    background.setColorAt(1.0, spec.backgroundBottom);
    p.fillRect(image.rect(), background);

    // A faint paper grain: it keeps the flat areas from banding.
    Random random(seed);
    for (int y = 0; y < height; ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int d = static_cast<int>(random.Uniform(-7, 7));
            const QRgb px = row[x];
            row[x] = qRgb(std::clamp(qRed(px) + d, 0, 255), std::clamp(qGreen(px) + d, 0, 255),
                          std::clamp(qBlue(px) + d, 0, 255));
        }
    }

    // A thin accent bar along the left edge of the visible part.
    p.fillRect(QRectF(visible.left(), visible.top(), 2.5, visible.height()), spec.accent);

    const double textLeft = visible.left() + 6;
    p.setPen(spec.ink);
    p.setFont(PixelFont(family, 12, true));
    p.drawText(QPointF(textLeft, visible.top() + 14), QString::fromLatin1(spec.name));

    p.setPen(QPen(spec.accent, 1.0));
    p.drawLine(QPointF(textLeft, visible.top() + 18.5),
               QPointF(textLeft + 22, visible.top() + 18.5));

    const QFont label = PixelFont(family, 9, false);
    const QFont value = PixelFont(family, 9, true);
    const QFontMetricsF labelMetrics(label);
    auto labelled = [&](double baseline, const QString &caption, const QString &text) {
        p.setPen(spec.ink);
        p.setFont(label);
        p.drawText(QPointF(textLeft, baseline), caption);
        p.setFont(value);
        p.drawText(QPointF(textLeft + labelMetrics.horizontalAdvance(caption + QLatin1Char(' ')),
                           baseline),
                   text);
    };
    labelled(visible.top() + 32, QStringLiteral("Images:"), QString::fromLatin1(spec.count));
    p.setPen(spec.ink);
    p.setFont(label);
    p.drawText(QPointF(textLeft, visible.top() + 45), QStringLiteral("Formation:"));
    p.setFont(value);
    p.drawText(QPointF(textLeft, visible.top() + 57),
               QString::fromLatin1(FormationName(spec.formation)));

    DrawFormation(p, spec, QRectF(visible.right() - 41, visible.top() + 22, 37, 38));
    p.end();
    return image;
}

} // namespace

QImage DrawPreview(int number, const QString &family)
{
    return DrawPreview(kPreviews[number - 1], family, 1000u + static_cast<unsigned>(number - 1));
}

bool WritePreview(const QImage &image, const QString &path, int *qualityUsed, qint64 *size)
{
    const qint64 lowest = 9700;
    const qint64 highest = 14300;
    QByteArray chosen;
    for (int quality = 100; quality >= 50; --quality) {
        const QByteArray bytes = EncodeJpeg(image, quality);
        if (bytes.isEmpty())
            break;
        if (bytes.size() <= highest) {
            chosen = bytes;
            *qualityUsed = quality;
            break;
        }
    }
    if (chosen.isEmpty() || chosen.size() < lowest) {
        Err() << "pixelnook-artwork: no quality gives " << path << " a size between " << lowest
              << " and " << highest << " bytes\n";
        return false;
    }
    *size = chosen.size();
    return SaveBytes(path, chosen);
}

} // namespace artwork
