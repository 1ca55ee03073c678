#include "ProgressGauge.h"

#include "controls/PixelnookFont.h"
#include "controls/xpDrawing.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

ProgressGauge::ProgressGauge(QWidget *parent) : QWidget(parent), FFont(PixelnookFont())
{
    resize(217, 17);
    setFocusPolicy(Qt::NoFocus);
    // The whole area comes from the off-screen picture.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int ProgressGauge::MinValue() const
{
    return FMinValue;
}

int ProgressGauge::MaxValue() const
{
    return FMaxValue;
}

// The range never turns over: a minimum above the maximum takes the maximum
// with it, and the progress is kept inside.
void ProgressGauge::SetMinValue(int Value)
{
    if (Value == FMinValue)
        return;
    FMinValue = Value;
    FMaxValue = std::max(FMaxValue, Value);
    FCurValue = std::clamp(FCurValue, FMinValue, FMaxValue);
    repaint();
}

void ProgressGauge::SetMaxValue(int Value)
{
    if (Value == FMaxValue)
        return;
    FMaxValue = Value;
    FMinValue = std::min(FMinValue, Value);
    FCurValue = std::clamp(FCurValue, FMinValue, FMaxValue);
    repaint();
}

int ProgressGauge::Progress() const
{
    return FCurValue;
}

void ProgressGauge::SetProgress(int Value)
{
    const int Clamped = std::clamp(Value, FMinValue, FMaxValue);
    if (Clamped == FCurValue)
        return;
    const int Before = PercentDone();
    FCurValue = Clamped;
    // The build keeps the event loop waiting, so this is the only painting
    // the gauge gets while it runs.
    if (PercentDone() != Before)
        repaint();
}

int ProgressGauge::PercentDone() const
{
    // 64-bit so that wide ranges do not overflow.
    const long long Span = (long long)FMaxValue - FMinValue;
    if (Span == 0)
        return 0;
    return int(((long long)FCurValue - FMinValue) * 100 / Span);
}

QSize ProgressGauge::sizeHint() const
{
    return QSize(217, 17);
}

QImage ProgressGauge::Render(qreal Ratio) const
{
    const int Width = width(), Height = height();
    if (Width <= 0 || Height <= 0)
        return QImage();
    QImage Img = XPDraw::NewCanvas(Width, Height, Ratio);
    Img.fill(Qt::black);

    // Inner area: the border is the black left round it.
    const int Inset = FBorder ? 1 : 0;
    const int Left = Inset, Top = Inset, Right = Width - Inset, Bottom = Height - Inset;
    const int W = Right - Left + 1, H = Bottom - Top + 1;
    const QRect Inner(QPoint(Left, Top), QPoint(Right - 1, Bottom - 1));
    const int Percent = PercentDone();
    {
        QPainter P(&Img);
        P.setRenderHint(QPainter::Antialiasing, false);
        P.fillRect(Inner, FBackColor);
        // 0.01L is the nearest extended value to 0.01 (slightly below it), so
        // 10 % of 216 is 21 and not 22.
        const long double Fraction = (long double)Percent * 0.01L;
        int L = int(std::trunc((long double)W * Fraction));
        L = std::min(L, W);
        if (L >= 1)
            P.fillRect(QRect(Left, Top, L - Left, H - Top), FForeColor);
    }

    if (FShowText) {
        // White text on black, then exclusive-or: each text pixel inverts what
        // lies under it. Antialiasing would leave grey fringes, so it is off.
        QImage Text = XPDraw::NewCanvas(Width, Height, Ratio);
        Text.fill(Qt::black);
        QFont Font = FFont;
        Font.setStyleStrategy(QFont::NoAntialias);
        const QString Shown = QString::asprintf("%d%%", Percent);
        {
            QPainter P(&Text);
            P.setRenderHint(QPainter::TextAntialiasing, false);
            P.setFont(Font);
            const QFontMetrics FM(Font, &Text);
            const int X = (Right - Left + 1 - FM.horizontalAdvance(Shown)) / 2;
            const int Y = (Bottom - Top + 1 - FM.height()) / 2;
            P.setClipRect(Inner);
            P.setPen(Qt::white);
            P.drawText(X, Y + FM.ascent(), Shown);
        }
        for (int Y = 0; Y < Img.height(); ++Y) {
            auto *Dst = reinterpret_cast<QRgb *>(Img.scanLine(Y));
            const auto *Src = reinterpret_cast<const QRgb *>(Text.constScanLine(Y));
            for (int X = 0; X < Img.width(); ++X)
                Dst[X] = 0xFF000000u | ((Dst[X] ^ Src[X]) & 0x00FFFFFFu);
        }
    }
    return Img;
}

void ProgressGauge::paintEvent(QPaintEvent *)
{
    QPainter P(this);
    P.drawImage(0, 0, Render(XPDraw::PaintRatio(P)));
}
