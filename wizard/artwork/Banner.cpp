#include "Banner.h"

#include "ArtworkCommon.h"

#include <QColor>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <vector>

namespace artwork {

namespace {

// Box blur of a premultiplied image, three passes each way (close to a
// Gaussian): the glow around the banner lettering and the light streaks.
QImage Blurred(const QImage &source, int radius)
{
    QImage image = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = image.width();
    const int h = image.height();
    std::vector<int> line(static_cast<size_t>(std::max(w, h)) * 4);
    const int window = 2 * radius + 1;

    auto pass = [&](bool horizontal) {
        const int lines = horizontal ? h : w;
        const int length = horizontal ? w : h;
        for (int l = 0; l < lines; ++l) {
            for (int i = 0; i < length; ++i) {
                const QRgb px = horizontal
                                    ? reinterpret_cast<const QRgb *>(image.constScanLine(l))[i]
                                    : reinterpret_cast<const QRgb *>(image.constScanLine(i))[l];
                line[i * 4 + 0] = qAlpha(px);
                line[i * 4 + 1] = qRed(px);
                line[i * 4 + 2] = qGreen(px);
                line[i * 4 + 3] = qBlue(px);
            }
            int sum[4] = {0, 0, 0, 0};
            for (int i = -radius; i <= radius; ++i) {
                const int k = std::clamp(i, 0, length - 1);
                for (int c = 0; c < 4; ++c)
                    sum[c] += line[k * 4 + c];
            }
            for (int i = 0; i < length; ++i) {
                const QRgb px =
                    qRgba(sum[1] / window, sum[2] / window, sum[3] / window, sum[0] / window);
                if (horizontal)
                    reinterpret_cast<QRgb *>(image.scanLine(l))[i] = px;
                else
                    reinterpret_cast<QRgb *>(image.scanLine(i))[l] = px;
                const int out = std::clamp(i - radius, 0, length - 1);
                const int in = std::clamp(i + radius + 1, 0, length - 1);
                for (int c = 0; c < 4; ++c)
                    sum[c] += line[in * 4 + c] - line[out * 4 + c];
            }
        }
    };
    for (int round = 0; round < 3; ++round) {
        pass(true);
        pass(false);
    }
    return image;
}

void DrawStreak(QPainter &p, Random &random, int width, int height)
{
    const double y0 = random.Uniform(-0.2, 1.2) * height;
    const double y1 = random.Uniform(-0.2, 1.2) * height;
    QPainterPath path(QPointF(-20, y0));
    path.cubicTo(QPointF(width * random.Uniform(0.2, 0.45), y0 + random.Uniform(-90, 90)),
                 QPointF(width * random.Uniform(0.55, 0.8), y1 + random.Uniform(-90, 90)),
                 QPointF(width + 20, y1));

    static const QColor hues[] = {QColor(0xff, 0x8a, 0x1c), QColor(0xff, 0x4f, 0x7b),
                                  QColor(0x4f, 0xc8, 0xff), QColor(0xb0, 0x6b, 0xff),
                                  QColor(0xff, 0xc8, 0x5a)};
    QColor colour = hues[random.Next() % 5];
    const double strength = random.Uniform(0.25, 0.8);
    // Wide and faint first, then narrower and brighter: a line of light.
    const double widths[] = {9.0, 4.0, 1.6, 0.7};
    const double alphas[] = {0.05, 0.12, 0.35, 0.8};
    for (int i = 0; i < 4; ++i) {
        colour.setAlphaF(static_cast<float>(std::min(1.0, alphas[i] * strength * 1.4)));
        QPen pen(i == 3 ? colour.lighter(160) : colour, widths[i]);
        pen.setCapStyle(Qt::RoundCap);
        p.strokePath(path, pen);
    }
}

void DrawSphere(QPainter &p, Random &random, int width, int height)
{
    const QPointF centre(random.Uniform(0, width), random.Uniform(0, height));
    const double radius = std::pow(random.Uniform(0.0, 1.0), 1.6) * 26 + 3.0;
    static const QColor hues[] = {QColor(0xff, 0x9a, 0x2e), QColor(0xff, 0x6a, 0x3d),
                                  QColor(0x5a, 0xc8, 0xff), QColor(0xc0, 0x7a, 0xff),
                                  QColor(0xff, 0xd0, 0x70)};
    const QColor hue = hues[random.Next() % 5];
    const double strength = random.Uniform(0.6, 1.0);

    // Halo around the sphere.
    QRadialGradient halo(centre, radius * 2.6);
    QColor c = hue;
    c.setAlphaF(static_cast<float>(0.45 * strength));
    halo.setColorAt(0.0, c);
    c.setAlphaF(0.0f);
    halo.setColorAt(1.0, c);
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(centre, radius * 2.6, radius * 2.6);

    // The sphere: lit from the upper left, bright core, soft rim.
    QRadialGradient body(centre, radius, centre + QPointF(-radius * 0.35, -radius * 0.35));
    QColor core = hue.lighter(170);
    core.setAlphaF(static_cast<float>(0.9 * strength));
    QColor mid = hue;
    mid.setAlphaF(static_cast<float>(0.55 * strength));
    QColor rim = hue.darker(140);
    rim.setAlphaF(static_cast<float>(0.25 * strength));
    body.setColorAt(0.0, core);
    body.setColorAt(0.55, mid);
    body.setColorAt(0.92, rim);
    QColor edge = hue;
    edge.setAlphaF(0.0f);
    body.setColorAt(1.0, edge);
    p.setBrush(body);
    p.drawEllipse(centre, radius, radius);
}

} // namespace

QImage DrawBanner(const QString &bold, const QString &regular)
{
    const int width = 465;
    const int height = 209;
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    QLinearGradient sky(0, 0, width * 0.3, height);
    sky.setColorAt(0.0, QColor(0x12, 0x0c, 0x24));
    sky.setColorAt(0.55, QColor(0x0a, 0x0a, 0x18));
    sky.setColorAt(1.0, QColor(0x05, 0x0b, 0x16));
    p.fillRect(image.rect(), sky);

    QRadialGradient warmth(QPointF(width * 0.5, height * 0.55), width * 0.55);
    warmth.setColorAt(0.0, QColor(0x5a, 0x22, 0x10, 150));
    warmth.setColorAt(0.6, QColor(0x2a, 0x10, 0x30, 60));
    warmth.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.fillRect(image.rect(), warmth);

    Random random(20261209u);

    // Light streaks, added up like light.
    {
        QImage streaks(width, height, QImage::Format_ARGB32_Premultiplied);
        streaks.fill(Qt::transparent);
        QPainter sp(&streaks);
        sp.setRenderHint(QPainter::Antialiasing, true);
        for (int i = 0; i < 13; ++i)
            DrawStreak(sp, random, width, height);
        sp.end();
        p.setCompositionMode(QPainter::CompositionMode_Plus);
        p.drawImage(0, 0, Blurred(streaks, 3));
        p.drawImage(0, 0, streaks);
    }

    // Glowing spheres, and a sprinkle of small sparks.
    for (int i = 0; i < 22; ++i)
        DrawSphere(p, random, width, height);
    for (int i = 0; i < 90; ++i) {
        const QPointF at(random.Uniform(0, width), random.Uniform(0, height));
        const double r = random.Uniform(0.4, 1.3);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 230, 200, static_cast<int>(random.Uniform(40, 200))));
        p.drawEllipse(at, r, r);
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    // Dark vignette keeps the edges calm and the lettering in front.
    QRadialGradient vignette(QPointF(width / 2.0, height / 2.0), width * 0.62);
    vignette.setColorAt(0.55, QColor(0, 0, 0, 0));
    vignette.setColorAt(1.0, QColor(0, 0, 0, 150));
    p.fillRect(image.rect(), vignette);

    // The product name, sized to fill most of the width.
    QFont font = PixelFont(bold, 96, true);
    QFontMetricsF metrics(font);
    const QString name = QStringLiteral("Pixelnook");
    const double wanted = width * 0.84;
    font.setPixelSize(static_cast<int>(96 * wanted / metrics.horizontalAdvance(name)));
    metrics = QFontMetricsF(font);
    const double textWidth = metrics.horizontalAdvance(name);
    const QPointF baseline((width - textWidth) / 2.0, height * 0.5 + metrics.capHeight() / 2.0 - 2);
    QPainterPath letters;
    letters.addText(baseline, font, name);

    // Glow: the letters blurred wide and narrow, in orange, added as light.
    QImage mask(width, height, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter mp(&mask);
        mp.setRenderHint(QPainter::Antialiasing, true);
        mp.fillPath(letters, QColor(0xff, 0x84, 0x10));
    }
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    p.drawImage(0, 0, Blurred(mask, 9));
    p.drawImage(0, 0, Blurred(mask, 4));
    p.drawImage(0, 0, Blurred(mask, 2));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    // The letters themselves: hot yellow at the top to deep orange below.
    const QRectF bounds = letters.boundingRect();
    QLinearGradient fill(bounds.topLeft(), bounds.bottomLeft());
    fill.setColorAt(0.0, QColor(0xff, 0xe8, 0x9c));
    fill.setColorAt(0.45, QColor(0xff, 0xa3, 0x2e));
    fill.setColorAt(1.0, QColor(0xe8, 0x5d, 0x0c));
    p.fillPath(letters, fill);
    p.setPen(QPen(QColor(0xff, 0xf1, 0xcf, 150), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(letters);

    // A quiet line saying what the program does.
    QFont small = PixelFont(regular, 14, false);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 2.2);
    const QString tagline = QStringLiteral("YOUR PICTURES, A WEB GALLERY");
    const QFontMetricsF smallMetrics(small);
    const QPointF taglineAt((width - smallMetrics.horizontalAdvance(tagline)) / 2.0,
                            baseline.y() + 32);
    // A soft dark bed under the small letters keeps them clear of the streaks.
    QImage bed(width, height, QImage::Format_ARGB32_Premultiplied);
    bed.fill(Qt::transparent);
    {
        QPainter bp(&bed);
        bp.setRenderHint(QPainter::Antialiasing, true);
        bp.setFont(small);
        bp.setPen(QPen(QColor(0, 0, 0, 230), 3));
        QPainterPath shape;
        shape.addText(taglineAt, small, tagline);
        bp.strokePath(shape, QPen(QColor(0, 0, 0, 230), 4));
        bp.fillPath(shape, QColor(0, 0, 0, 230));
    }
    p.drawImage(0, 0, Blurred(bed, 2));
    p.setFont(small);
    p.setPen(QColor(0xf4, 0xe6, 0xd6));
    p.drawText(taglineAt, tagline);
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

bool WriteBanner(const QImage &image, const QString &path, qint64 *size)
{
    QImage stored = image;
    // 300 dots per inch in the JFIF header.
    stored.setDotsPerMeterX(11811);
    stored.setDotsPerMeterY(11811);
    QByteArray bytes = EncodeJpeg(stored, 88);
    // SOI, APP0 marker and length, "JFIF\0", then the version: the writer
    // says 1.01; the banner is stored as JFIF 1.02, which reads the same.
    if (bytes.size() < 13 || !bytes.startsWith("\xff\xd8\xff\xe0") ||
        bytes.mid(6, 5) != QByteArray("JFIF", 5)) {
        Err() << "pixelnook-artwork: cannot encode " << path << "\n";
        return false;
    }
    bytes[12] = 2;
    *size = bytes.size();
    return SaveBytes(path, bytes);
}

} // namespace artwork
