// Helpers for the pixel and behaviour tests of the painted widgets.
#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QObject>
#include <QPainter>
#include <QPalette>
#include <QWidget>
#include <QtMath>

#include <cmath>
#include <ostream>

// The button face colour every test runs with (the classic XP face).
inline QColor PinnedFace()
{
    return QColor(236, 233, 216);
}

inline QPalette PinnedPalette()
{
    QPalette P;
    P.setColor(QPalette::Window, PinnedFace());
    P.setColor(QPalette::WindowText, Qt::black);
    P.setColor(QPalette::Base, Qt::white);
    P.setColor(QPalette::Text, Qt::black);
    P.setColor(QPalette::Button, PinnedFace());
    P.setColor(QPalette::ButtonText, Qt::black);
    return P;
}

struct RGB {
    int R, G, B;
    bool operator==(const RGB &O) const { return R == O.R && G == O.G && B == O.B; }
    bool operator!=(const RGB &O) const { return !(*this == O); }
};

inline void PrintTo(const RGB &C, std::ostream *Out)
{
    *Out << "(" << C.R << ", " << C.G << ", " << C.B << ")";
}

inline RGB ToRGB(const QColor &C)
{
    return RGB{C.red(), C.green(), C.blue()};
}

inline RGB PixelAt(const QImage &Img, int X, int Y)
{
    return ToRGB(QColor(Img.pixel(X, Y)));
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget *W) { W->installEventFilter(this); }
    int Count = 0;

protected:
    bool eventFilter(QObject *, QEvent *E) override
    {
        if (E->type() == QEvent::Paint)
            ++Count;
        return false;
    }
};

// A widget painted through its own paintEvent into an image of Ratio device
// pixels per pixel, as a window's backing store on a screen of that ratio.
inline QImage PaintedAt(QWidget *W, qreal Ratio)
{
    QImage Img(qCeil(W->width() * Ratio), qCeil(W->height() * Ratio), QImage::Format_RGB32);
    Img.setDevicePixelRatio(Ratio);
    Img.fill(Qt::magenta);
    W->render(&Img);
    Img.setDevicePixelRatio(1);
    return Img;
}

// How a painting at device pixel ratio 2 (Sharp) compares with the same
// widget painted at 1x (Plain).
struct DensityReport {
    // Pixels of Plain outside Detail whose 2 x 2 block in Sharp is not
    // exactly that pixel four times: the geometry moved.
    int MovedOutside = 0;
    // 2 x 2 blocks inside Detail that are not one colour, per pixel edge of
    // Plain there: 0 for Plain doubled, well above it when glyphs are drawn
    // at the finer resolution.
    double FineDetail = 0;
    // Edge sharpness inside Detail, the sum of squared steps between
    // neighbouring pixels over the sum of their sizes (the height of a
    // typical step: a step spread over two pixels counts half): of Sharp,
    // and of Plain enlarged smoothly, as a compositor scales a 1x picture.
    double Sharpness = 0, SmoothSharpness = 0;
};

inline int Luma(QRgb C)
{
    return (qRed(C) * 299 + qGreen(C) * 587 + qBlue(C) * 114) / 1000;
}

inline double EdgeSharpness(const QImage &Img, const QRect &Area)
{
    double Squares = 0, Sizes = 0;
    for (int Y = Area.top(); Y <= Area.bottom(); ++Y)
        for (int X = Area.left(); X < Area.right(); ++X) {
            const double Step = std::abs(Luma(Img.pixel(X + 1, Y)) - Luma(Img.pixel(X, Y)));
            Squares += Step * Step;
            Sizes += Step;
        }
    return Sizes > 0 ? Squares / Sizes : 0;
}

inline DensityReport CompareDensity(const QImage &Plain, const QImage &Sharp, const QRect &Detail)
{
    DensityReport R;
    int Blocks = 0, Edges = 0;
    for (int Y = 0; Y < Plain.height(); ++Y)
        for (int X = 0; X < Plain.width(); ++X) {
            const QRgb P = Plain.pixel(X, Y);
            const QRgb Q[4] = {Sharp.pixel(2 * X, 2 * Y), Sharp.pixel(2 * X + 1, 2 * Y),
                               Sharp.pixel(2 * X, 2 * Y + 1), Sharp.pixel(2 * X + 1, 2 * Y + 1)};
            const bool OneColour = Q[0] == Q[1] && Q[0] == Q[2] && Q[0] == Q[3];
            if (!Detail.contains(X, Y)) {
                R.MovedOutside += !(OneColour && Q[0] == P);
                continue;
            }
            Blocks += !OneColour;
            Edges += X + 1 < Plain.width() && Plain.pixel(X + 1, Y) != P;
        }
    R.FineDetail = Edges > 0 ? double(Blocks) / Edges : 0;
    const QRect Doubled(Detail.topLeft() * 2, Detail.size() * 2);
    R.Sharpness = EdgeSharpness(Sharp, Doubled);
    R.SmoothSharpness = EdgeSharpness(
        Plain.scaled(Plain.size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), Doubled);
    return R;
}

inline void PrintTo(const DensityReport &R, std::ostream *Out)
{
    *Out << "moved outside " << R.MovedOutside << ", fine detail " << R.FineDetail << ", sharpness "
         << R.Sharpness << " against " << R.SmoothSharpness << " enlarged";
}
