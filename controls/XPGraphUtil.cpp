#include "XPGraphUtil.h"

#include <QGuiApplication>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

int RectHeight(const TRect &R)
{
    return R.Bottom - R.Top;
}

int RectWidth(const TRect &R)
{
    return R.Right - R.Left;
}

QColor ColorToRGB(TColor Color, const QPalette &Palette)
{
    if ((Color & 0xFF000000u) == 0xFF000000u) {
        // The system colours the program can meet, by their classic index.
        switch (Color & 0xFFu) {
        case 0x05: return Palette.color(QPalette::Base);       // window background
        case 0x08: return Palette.color(QPalette::WindowText); // window text
        case 0x0D: return Palette.color(QPalette::Highlight);
        case 0x0E: return Palette.color(QPalette::HighlightedText);
        case 0x0F: return Palette.color(QPalette::Window);                         // button face
        case 0x10: return Palette.color(QPalette::Mid);                            // button shadow
        case 0x11: return Palette.color(QPalette::Disabled, QPalette::WindowText); // grey text
        case 0x12: return Palette.color(QPalette::ButtonText);
        case 0x14: return Palette.color(QPalette::Light); // button highlight
        default: return QColor(0, 0, 0);
        }
    }
    return QColor(int(Color & 0xFFu), int((Color >> 8) & 0xFFu), int((Color >> 16) & 0xFFu));
}

namespace {

// i * D / Divisor rounded to the nearest integer, halves away from zero.
int RoundedStep(int I, int D, int Divisor)
{
    const int N = I * D; // exact: at most 254 * 255
    const int Q = (2 * std::abs(N) + Divisor) / (2 * Divisor);
    return N < 0 ? -Q : Q;
}

const QPalette &CanvasPalette(QPainter &Canvas, QPalette &Fallback)
{
    if (Canvas.device() && Canvas.device()->devType() == QInternal::Widget)
        return static_cast<QWidget *>(Canvas.device())->palette();
    Fallback = QGuiApplication::palette();
    return Fallback;
}

} // namespace

void FillGradient(QPainter &Canvas, const TRect &ARect, TColor FromColor, TColor ToColor,
                  TGradientDirection Direction, quint8 ColorCount)
{
    QPalette Fallback;
    FillGradient(Canvas, ARect, FromColor, ToColor, Direction, ColorCount,
                 CanvasPalette(Canvas, Fallback));
}

void FillGradient(QPainter &Canvas, const TRect &ARect, TColor FromColor, TColor ToColor,
                  TGradientDirection Direction, quint8 ColorCount, const QPalette &Palette)
{
    if (ARect.Right <= ARect.Left || ARect.Bottom <= ARect.Top)
        return;
    const QRect Whole(ARect.Left, ARect.Top, RectWidth(ARect), RectHeight(ARect));
    if (ColorCount < 2) {
        Canvas.fillRect(Whole, ColorToRGB(FromColor, Palette));
        return;
    }

    const QColor From = ColorToRGB(FromColor, Palette);
    const QColor To = ColorToRGB(ToColor, Palette);
    const bool Reversed = Direction == gdBottomToTop || Direction == gdRightToLeft;
    const QColor S = Reversed ? To : From;
    const QColor E = Reversed ? From : To;
    const int DR = E.red() - S.red();
    const int DG = E.green() - S.green();
    const int DB = E.blue() - S.blue();

    const bool Vertical = Direction == gdTopToBottom || Direction == gdBottomToTop;
    const int Size = Vertical ? RectHeight(ARect) : RectWidth(ARect);
    const int Count = std::max(2, std::min(int(ColorCount), Size));
    const int Thickness = Size / Count;

    // Solid pen in copy mode, colour and width kept: callers draw outlines
    // straight after without setting the pen again.
    QPen Pen = Canvas.pen();
    Pen.setStyle(Qt::SolidLine);
    Canvas.setPen(Pen);
    Canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);

    if (Thickness > 0) {
        for (int I = 0; I < Count; ++I) {
            const QColor Band(S.red() + RoundedStep(I, DR, Count - 1),
                              S.green() + RoundedStep(I, DG, Count - 1),
                              S.blue() + RoundedStep(I, DB, Count - 1));
            const int From0 = (Vertical ? ARect.Top : ARect.Left) + I * Thickness;
            if (Vertical)
                Canvas.fillRect(QRect(ARect.Left, From0, RectWidth(ARect), Thickness), Band);
            else
                Canvas.fillRect(QRect(From0, ARect.Top, Thickness, RectHeight(ARect)), Band);
        }
    }
    const int Remainder = Size % Count;
    if (Remainder > 0) {
        if (Vertical)
            Canvas.fillRect(
                QRect(ARect.Left, ARect.Bottom - Remainder, RectWidth(ARect), Remainder), E);
        else
            Canvas.fillRect(QRect(ARect.Right - Remainder, ARect.Top, Remainder, RectHeight(ARect)),
                            E);
    }
}
