// Draws the wizard's artwork: the six template previews of the template page,
// the welcome banner and the program icon. The pictures are generated rather
// than drawn by hand so that they can be changed and reproduced; everything
// is procedural with fixed seeds and a fixed font, so a re-run on any machine
// gives the same pictures.
//
// Re-run after a change and commit the results:
//   cmake --build <build> --target pixelnook-artwork
//   <build>/bin/pixelnook-artwork wizard/resources
// It writes preview1.jpg ... preview6.jpg, banner.jpg, pixelnook.png (the
// 64 px icon) and pixelnook-48.png, pixelnook-128.png and pixelnook-256.png
// into the folder named on its command line. It needs no display (it selects Qt's
// offscreen platform unless QT_QPA_PLATFORM says otherwise) and the FreeSans
// fonts of fonts-freefont-ttf.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

const char *const kFontFolder = "/usr/share/fonts/truetype/freefont/";

// The orange of the product name, the icon frame and the banner lettering.
const QColor kPixelnookOrange(0xf0, 0x8a, 0x1c);

// A small generator of our own: std:: distributions differ between library
// implementations, and the pictures must not.
class Random
{
public:
    explicit Random(std::uint32_t seed) : m_state(seed ? seed : 0x9e3779b9u) {}

    std::uint32_t next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }

    // Uniform in [lo, hi).
    double uniform(double lo, double hi)
    {
        return lo + (hi - lo) * (next() / 4294967296.0);
    }

private:
    std::uint32_t m_state;
};

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Loads one FreeSans face and returns its family name, or an empty string.
QString loadFont(const QString &file)
{
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kFontFolder) + file);
    if (id < 0)
        return QString();
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString() : families.first();
}

QFont pixelFont(const QString &family, int pixelSize, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// Box blur of a premultiplied image, three passes each way (close to a
// Gaussian): the glow around the banner lettering and the light streaks.
QImage blurred(const QImage &source, int radius)
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
                const QRgb px = qRgba(sum[1] / window, sum[2] / window, sum[3] / window,
                                      sum[0] / window);
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

// Writes a baseline JFIF JPEG (three components, 2x2 luminance sampling as
// Qt's writer gives it) with the given quality.
QByteArray encodeJpeg(const QImage &image, int quality)
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

bool saveBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        err() << "pixelnook-artwork: cannot write " << path << ": " << file.errorString() << "\n";
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Template previews

enum class Formation { Rectangle, OpenMiddle, Cross };

struct PreviewSpec
{
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
const PreviewSpec kPreviews[6] = {
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

// Whether cell (column, row) of the formation holds a picture.
bool holdsPicture(const PreviewSpec &spec, int column, int row)
{
    switch (spec.formation) {
    case Formation::Rectangle:
        return true;
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

const char *formationName(Formation formation)
{
    switch (formation) {
    case Formation::Rectangle:
        return "Rectangle";
    case Formation::OpenMiddle:
        return "Open Middle";
    case Formation::Cross:
        return "Cross";
    }
    return "";
}

// The formation as a small map of picture cells inside box.
void drawFormation(QPainter &p, const PreviewSpec &spec, const QRectF &box)
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
            if (!holdsPicture(spec, column, row))
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
            centre = QRectF(origin.x() + mc * (cell + gap), origin.y() + mr * (cell + gap), cell,
                            cell);
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

QImage drawPreview(const PreviewSpec &spec, const QString &family, std::uint32_t seed)
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
            const int d = static_cast<int>(random.uniform(-7, 7));
            const QRgb px = row[x];
            row[x] = qRgb(std::clamp(qRed(px) + d, 0, 255), std::clamp(qGreen(px) + d, 0, 255),
                          std::clamp(qBlue(px) + d, 0, 255));
        }
    }

    // A thin accent bar along the left edge of the visible part.
    p.fillRect(QRectF(visible.left(), visible.top(), 2.5, visible.height()), spec.accent);

    const double textLeft = visible.left() + 6;
    p.setPen(spec.ink);
    p.setFont(pixelFont(family, 12, true));
    p.drawText(QPointF(textLeft, visible.top() + 14), QString::fromLatin1(spec.name));

    p.setPen(QPen(spec.accent, 1.0));
    p.drawLine(QPointF(textLeft, visible.top() + 18.5), QPointF(textLeft + 22, visible.top() + 18.5));

    const QFont label = pixelFont(family, 9, false);
    const QFont value = pixelFont(family, 9, true);
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
               QString::fromLatin1(formationName(spec.formation)));

    drawFormation(p, spec, QRectF(visible.right() - 41, visible.top() + 22, 37, 38));
    p.end();
    return image;
}

// Encodes a preview with the best quality that keeps the file within the
// size the template page is laid out for.
bool writePreview(const QImage &image, const QString &path, int *qualityUsed, qint64 *size)
{
    const qint64 lowest = 9700;
    const qint64 highest = 14300;
    QByteArray chosen;
    for (int quality = 100; quality >= 50; --quality) {
        const QByteArray bytes = encodeJpeg(image, quality);
        if (bytes.isEmpty())
            break;
        if (bytes.size() <= highest) {
            chosen = bytes;
            *qualityUsed = quality;
            break;
        }
    }
    if (chosen.isEmpty() || chosen.size() < lowest) {
        err() << "pixelnook-artwork: no quality gives " << path << " a size between " << lowest
              << " and " << highest << " bytes\n";
        return false;
    }
    *size = chosen.size();
    return saveBytes(path, chosen);
}

// ---------------------------------------------------------------------------
// Welcome banner

void drawStreak(QPainter &p, Random &random, int width, int height)
{
    const double y0 = random.uniform(-0.2, 1.2) * height;
    const double y1 = random.uniform(-0.2, 1.2) * height;
    QPainterPath path(QPointF(-20, y0));
    path.cubicTo(QPointF(width * random.uniform(0.2, 0.45), y0 + random.uniform(-90, 90)),
                 QPointF(width * random.uniform(0.55, 0.8), y1 + random.uniform(-90, 90)),
                 QPointF(width + 20, y1));

    static const QColor hues[] = {QColor(0xff, 0x8a, 0x1c), QColor(0xff, 0x4f, 0x7b),
                                  QColor(0x4f, 0xc8, 0xff), QColor(0xb0, 0x6b, 0xff),
                                  QColor(0xff, 0xc8, 0x5a)};
    QColor colour = hues[random.next() % 5];
    const double strength = random.uniform(0.25, 0.8);
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

void drawSphere(QPainter &p, Random &random, int width, int height)
{
    const QPointF centre(random.uniform(0, width), random.uniform(0, height));
    const double radius = std::pow(random.uniform(0.0, 1.0), 1.6) * 26 + 3.0;
    static const QColor hues[] = {QColor(0xff, 0x9a, 0x2e), QColor(0xff, 0x6a, 0x3d),
                                  QColor(0x5a, 0xc8, 0xff), QColor(0xc0, 0x7a, 0xff),
                                  QColor(0xff, 0xd0, 0x70)};
    const QColor hue = hues[random.next() % 5];
    const double strength = random.uniform(0.6, 1.0);

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

QImage drawBanner(const QString &bold, const QString &regular)
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
            drawStreak(sp, random, width, height);
        sp.end();
        p.setCompositionMode(QPainter::CompositionMode_Plus);
        p.drawImage(0, 0, blurred(streaks, 3));
        p.drawImage(0, 0, streaks);
    }

    // Glowing spheres, and a sprinkle of small sparks.
    for (int i = 0; i < 22; ++i)
        drawSphere(p, random, width, height);
    for (int i = 0; i < 90; ++i) {
        const QPointF at(random.uniform(0, width), random.uniform(0, height));
        const double r = random.uniform(0.4, 1.3);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 230, 200, static_cast<int>(random.uniform(40, 200))));
        p.drawEllipse(at, r, r);
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    // Dark vignette keeps the edges calm and the lettering in front.
    QRadialGradient vignette(QPointF(width / 2.0, height / 2.0), width * 0.62);
    vignette.setColorAt(0.55, QColor(0, 0, 0, 0));
    vignette.setColorAt(1.0, QColor(0, 0, 0, 150));
    p.fillRect(image.rect(), vignette);

    // The product name, sized to fill most of the width.
    QFont font = pixelFont(bold, 96, true);
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
    p.drawImage(0, 0, blurred(mask, 9));
    p.drawImage(0, 0, blurred(mask, 4));
    p.drawImage(0, 0, blurred(mask, 2));
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
    QFont small = pixelFont(regular, 14, false);
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
    p.drawImage(0, 0, blurred(bed, 2));
    p.setFont(small);
    p.setPen(QColor(0xf4, 0xe6, 0xd6));
    p.drawText(taglineAt, tagline);
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

bool writeBanner(const QImage &image, const QString &path, qint64 *size)
{
    QImage stored = image;
    // 300 dots per inch in the JFIF header.
    stored.setDotsPerMeterX(11811);
    stored.setDotsPerMeterY(11811);
    QByteArray bytes = encodeJpeg(stored, 88);
    // SOI, APP0 marker and length, "JFIF\0", then the version: the writer
    // says 1.01; the banner is stored as JFIF 1.02, which reads the same.
    if (bytes.size() < 13 || !bytes.startsWith("\xff\xd8\xff\xe0")
        || bytes.mid(6, 5) != QByteArray("JFIF", 5)) {
        err() << "pixelnook-artwork: cannot encode " << path << "\n";
        return false;
    }
    bytes[12] = 2;
    *size = bytes.size();
    return saveBytes(path, bytes);
}

// ---------------------------------------------------------------------------
// Program icon

// Drawn on a 64-unit grid and scaled to the size asked for, so that every
// size of the icon is the same drawing rather than a resampled picture.
QImage drawIcon(int size)
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
    const QColor skies[] = {QColor(0x6c, 0xb8, 0xf0), QColor(0xff, 0xb0, 0x5c),
                            QColor(0x9a, 0xd0, 0xf8), QColor(0xf5, 0x7a, 0x5a),
                            QColor(0x7e, 0xc8, 0xff), QColor(0xff, 0xc8, 0x6a),
                            QColor(0x88, 0xc0, 0xe8), QColor(0xff, 0x94, 0x4a),
                            QColor(0xa8, 0xd8, 0xff)};
    const QColor hills[] = {QColor(0x3e, 0xa8, 0x4a), QColor(0x8a, 0x3a, 0x1a),
                            QColor(0x2f, 0x8f, 0x5a), QColor(0x5a, 0x2a, 0x3a),
                            QColor(0x4c, 0xb0, 0x3c), QColor(0x9a, 0x5a, 0x1a),
                            QColor(0x36, 0x96, 0x4e), QColor(0x6a, 0x30, 0x20),
                            QColor(0x44, 0xa0, 0x60)};
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

// 256 colours by median cut over the icon's own pixels, alpha included, so
// the frame's gradient and the soft edges survive; Qt's own conversion falls
// back to a fixed colour cube with one-bit alpha.
QImage toIndexed(const QImage &source)
{
    const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
    const int w = argb.width();
    const int h = argb.height();

    struct Box
    {
        std::vector<QRgb> pixels;
    };
    auto channel = [](QRgb px, int c) {
        switch (c) {
        case 0:
            return qRed(px);
        case 1:
            return qGreen(px);
        case 2:
            return qBlue(px);
        default:
            return qAlpha(px);
        }
    };
    auto widest = [&](const Box &box, int *which) {
        int best = -1;
        for (int c = 0; c < 4; ++c) {
            int lo = 255;
            int hi = 0;
            for (QRgb px : box.pixels) {
                lo = std::min(lo, channel(px, c));
                hi = std::max(hi, channel(px, c));
            }
            if (hi - lo > best) {
                best = hi - lo;
                *which = c;
            }
        }
        return best;
    };

    // Index 0 is kept for fully transparent pixels.
    std::vector<Box> boxes(1);
    for (int y = 0; y < h; ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < w; ++x)
            if (qAlpha(row[x]) != 0)
                boxes[0].pixels.push_back(row[x]);
    }
    while (boxes.size() < 255) {
        int chosen = -1;
        int chosenChannel = 0;
        long long chosenScore = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].pixels.size() < 2)
                continue;
            int c = 0;
            const long long score = static_cast<long long>(widest(boxes[i], &c))
                * static_cast<long long>(boxes[i].pixels.size());
            if (score > chosenScore) {
                chosenScore = score;
                chosen = static_cast<int>(i);
                chosenChannel = c;
            }
        }
        if (chosen < 0)
            break;
        std::vector<QRgb> &pixels = boxes[static_cast<size_t>(chosen)].pixels;
        std::sort(pixels.begin(), pixels.end(), [&](QRgb a, QRgb b) {
            const int ca = channel(a, chosenChannel);
            const int cb = channel(b, chosenChannel);
            return ca != cb ? ca < cb : a < b;
        });
        Box upper;
        upper.pixels.assign(pixels.begin() + static_cast<long>(pixels.size() / 2), pixels.end());
        pixels.resize(pixels.size() / 2);
        boxes.push_back(std::move(upper));
    }

    QVector<QRgb> table;
    table.push_back(qRgba(0, 0, 0, 0));
    for (const Box &box : boxes) {
        if (box.pixels.empty())
            continue;
        long long sum[4] = {0, 0, 0, 0};
        for (QRgb px : box.pixels)
            for (int c = 0; c < 4; ++c)
                sum[c] += channel(px, c);
        const long long n = static_cast<long long>(box.pixels.size());
        table.push_back(qRgba(static_cast<int>((sum[0] + n / 2) / n),
                              static_cast<int>((sum[1] + n / 2) / n),
                              static_cast<int>((sum[2] + n / 2) / n),
                              static_cast<int>((sum[3] + n / 2) / n)));
    }

    QImage indexed(w, h, QImage::Format_Indexed8);
    indexed.setColorTable(table);
    for (int y = 0; y < h; ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        uchar *out = indexed.scanLine(y);
        for (int x = 0; x < w; ++x) {
            if (qAlpha(row[x]) == 0) {
                out[x] = 0;
                continue;
            }
            int best = 1;
            long long bestDistance = -1;
            for (int i = 1; i < table.size(); ++i) {
                long long d = 0;
                for (int c = 0; c < 4; ++c) {
                    const int delta = channel(row[x], c) - channel(table[i], c);
                    d += static_cast<long long>(delta) * delta;
                }
                if (bestDistance < 0 || d < bestDistance) {
                    bestDistance = d;
                    best = i;
                }
            }
            out[x] = static_cast<uchar>(best);
        }
    }
    return indexed;
}

bool writeIcon(const QImage &indexed, const QString &path)
{
    QImageWriter writer(path, "png");
    if (!writer.write(indexed)) {
        err() << "pixelnook-artwork: cannot write " << path << ": " << writer.errorString() << "\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        err() << "usage: pixelnook-artwork OUTPUT_FOLDER\n";
        return 2;
    }
    const QDir out(args.at(1));
    if (!QDir().mkpath(out.absolutePath())) {
        err() << "pixelnook-artwork: cannot create " << out.absolutePath() << "\n";
        return 1;
    }

    const QString regular = loadFont(QStringLiteral("FreeSans.ttf"));
    const QString bold = loadFont(QStringLiteral("FreeSansBold.ttf"));
    if (regular.isEmpty() || bold.isEmpty()) {
        err() << "pixelnook-artwork: the FreeSans fonts are missing from " << kFontFolder
              << " (install fonts-freefont-ttf)\n";
        return 1;
    }

    QTextStream report(stdout);
    for (int i = 0; i < 6; ++i) {
        const QImage preview = drawPreview(kPreviews[i], regular, 1000u + static_cast<unsigned>(i));
        const QString path = out.filePath(QStringLiteral("preview%1.jpg").arg(i + 1));
        int quality = 0;
        qint64 size = 0;
        if (!writePreview(preview, path, &quality, &size))
            return 1;
        report << path << ": " << preview.width() << "x" << preview.height() << ", quality "
               << quality << ", " << size << " bytes\n";
    }

    const QString bannerPath = out.filePath(QStringLiteral("banner.jpg"));
    qint64 bannerSize = 0;
    const QImage banner = drawBanner(bold, regular);
    if (!writeBanner(banner, bannerPath, &bannerSize))
        return 1;
    report << bannerPath << ": " << banner.width() << "x" << banner.height() << ", " << bannerSize
           << " bytes\n";

    // The 64 px icon is the window's and the menu's; the others are the sizes
    // a desktop's icon theme asks for on denser screens.
    for (const int size : {64, 48, 128, 256}) {
        const QString iconPath = out.filePath(
            size == 64 ? QStringLiteral("pixelnook.png") : QStringLiteral("pixelnook-%1.png").arg(size));
        const QImage icon = toIndexed(drawIcon(size));
        if (!writeIcon(icon, iconPath))
            return 1;
        report << iconPath << ": " << icon.width() << "x" << icon.height() << ", "
               << icon.colorCount() << " colours\n";
    }
    return 0;
}
