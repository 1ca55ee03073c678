#include "xpDrawing.h"

#include <QPaintEngine>
#include <QtMath>

namespace XPDraw {

QString DisplayCaption(const QString &Caption)
{
    QString Shown = Caption;
    const int First = Shown.indexOf(QLatin1Char('&'));
    if (First >= 0)
        Shown.remove(First, 1);
    return Shown;
}

QChar Accelerator(const QString &Caption)
{
    QChar Found;
    for (int I = 0; I < Caption.size(); ++I) {
        if (Caption[I] != QLatin1Char('&') || I + 1 >= Caption.size())
            continue;
        if (Caption[I + 1] != QLatin1Char('&'))
            Found = Caption[I + 1];
        ++I; // "&&" is a literal "&"; the marked character is skipped too
    }
    return Found;
}

bool IsAccelerator(const QString &Caption, const QString &Typed)
{
    const QChar Acc = Accelerator(Caption);
    return !Acc.isNull() && Typed.size() == 1 && Typed[0].toUpper() == Acc.toUpper();
}

QKeySequence AcceleratorShortcut(const QString &Caption)
{
    const QChar Acc = Accelerator(Caption);
    if (Acc.isNull())
        return QKeySequence();
    return QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(Acc.toUpper().unicode())));
}

QImage NewCanvas(int W, int H, qreal Ratio)
{
    QImage Img(qCeil(W * Ratio), qCeil(H * Ratio), QImage::Format_RGB32);
    Img.setDevicePixelRatio(Ratio);
    return Img;
}

qreal PaintRatio(QPainter &P)
{
    const QPaintEngine *Engine = P.paintEngine();
    const QPaintDevice *Device =
        Engine && Engine->paintDevice() ? Engine->paintDevice() : P.device();
    return Device ? Device->devicePixelRatioF() : 1.0;
}

bool InRoundRect(int X, int Y, const TRect &R, int A, int B)
{
    if (X < R.Left || X >= R.Right || Y < R.Top || Y >= R.Bottom)
        return false;
    if (A < 2 || B < 2)
        return true;
    // In pixel-centre coordinates the corner ellipse spans A - 1 by B - 1.
    const double RX = (A - 1) / 2.0, RY = (B - 1) / 2.0;
    const double LeftC = R.Left + RX, RightC = R.Right - 1 - RX;
    const double TopC = R.Top + RY, BottomC = R.Bottom - 1 - RY;
    double CX, CY;
    if (X < LeftC)
        CX = LeftC;
    else if (X > RightC)
        CX = RightC;
    else
        return true;
    if (Y < TopC)
        CY = TopC;
    else if (Y > BottomC)
        CY = BottomC;
    else
        return true;
    const double DX = (X - CX) / RX, DY = (Y - CY) / RY;
    return DX * DX + DY * DY <= 1.0 + 1e-9;
}

void FillRoundRect(QPainter &P, const TRect &R, int A, int B, const QColor &Color)
{
    for (int Y = R.Top; Y < R.Bottom; ++Y) {
        int X = R.Left;
        while (X < R.Right) {
            if (!InRoundRect(X, Y, R, A, B)) {
                ++X;
                continue;
            }
            const int Start = X;
            while (X < R.Right && InRoundRect(X, Y, R, A, B))
                ++X;
            P.fillRect(QRect(Start, Y, X - Start, 1), Color);
        }
    }
}

void FrameRoundRect(QPainter &P, const TRect &R, int A, int B, const QColor &Color)
{
    for (int Y = R.Top; Y < R.Bottom; ++Y)
        for (int X = R.Left; X < R.Right; ++X)
            if (InRoundRect(X, Y, R, A, B) &&
                (!InRoundRect(X - 1, Y, R, A, B) || !InRoundRect(X + 1, Y, R, A, B) ||
                 !InRoundRect(X, Y - 1, R, A, B) || !InRoundRect(X, Y + 1, R, A, B)))
                P.fillRect(QRect(X, Y, 1, 1), Color);
}

void HLine(QPainter &P, int Y, int X0, int X1, const QColor &Color)
{
    if (X1 >= X0)
        P.fillRect(QRect(X0, Y, X1 - X0 + 1, 1), Color);
}

void VLine(QPainter &P, int X, int Y0, int Y1, const QColor &Color)
{
    if (Y1 >= Y0)
        P.fillRect(QRect(X, Y0, 1, Y1 - Y0 + 1), Color);
}

void FrameRect(QPainter &P, const TRect &R, const QColor &Color)
{
    if (R.Right <= R.Left || R.Bottom <= R.Top)
        return;
    HLine(P, R.Top, R.Left, R.Right - 1, Color);
    HLine(P, R.Bottom - 1, R.Left, R.Right - 1, Color);
    VLine(P, R.Left, R.Top, R.Bottom - 1, Color);
    VLine(P, R.Right - 1, R.Top, R.Bottom - 1, Color);
}

void DrawFocusRect(QPainter &P, const TRect &R)
{
    if (R.Right <= R.Left || R.Bottom <= R.Top)
        return;
    P.save();
    P.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    auto Dot = [&P](int X, int Y) {
        if ((X + Y) % 2 == 0)
            P.fillRect(QRect(X, Y, 1, 1), Qt::white);
    };
    for (int X = R.Left; X < R.Right; ++X) {
        Dot(X, R.Top);
        if (R.Bottom - 1 > R.Top)
            Dot(X, R.Bottom - 1);
    }
    for (int Y = R.Top + 1; Y < R.Bottom - 1; ++Y) {
        Dot(R.Left, Y);
        if (R.Right - 1 > R.Left)
            Dot(R.Right - 1, Y);
    }
    P.restore();
}

void DrawAcceleratorUnderline(QPainter &P, const QString &Caption, const QFontMetrics &Metrics,
                              int X0, int Y0, const QColor &Color)
{
    const int First = Caption.indexOf(QLatin1Char('&'));
    if (First < 0)
        return;
    const QString Shown = DisplayCaption(Caption);
    const int From = Metrics.horizontalAdvance(Shown.left(First));
    const int To = Metrics.horizontalAdvance(Shown.left(First + 1));
    HLine(P, Y0 + Metrics.height(), X0 + From, X0 + To - 1, Color);
}

} // namespace XPDraw
