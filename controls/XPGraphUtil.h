// Drawing helpers shared by the styled push button and check box: colour
// values as the controls store them and the banded two-colour gradient.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPalette>
#include <QtGlobal>

// A literal colour is 0x00BBGGRR; a value with the high byte 0xFF is a
// system colour whose low byte picks the system's colour.
using TColor = quint32;

constexpr TColor clBtnFace = 0xFF00000F;    // the palette's window (button face) colour
constexpr TColor clWindowText = 0xFF000008; // the palette's window text colour

// (r, g, b) as a literal colour value.
constexpr TColor RGBColor(quint8 R, quint8 G, quint8 B)
{
    return TColor(R) | (TColor(G) << 8) | (TColor(B) << 16);
}

enum TGradientDirection : quint8 { gdTopToBottom, gdBottomToTop, gdLeftToRight, gdRightToLeft };

// Right and Bottom are exclusive: the rectangle covers Left <= x < Right and
// Top <= y < Bottom and is empty when Right <= Left or Bottom <= Top.
struct TRect {
    int Left, Top, Right, Bottom;
};

int RectHeight(const TRect &R);
int RectWidth(const TRect &R);

// Resolves a colour value to RGB; system colours are taken from Palette.
QColor ColorToRGB(TColor Color, const QPalette &Palette);

// Fills ARect with ColorCount solid bands running from the top or left edge.
// The painter's brush is left as it was; when a gradient is drawn the pen is
// left solid (colour and width unchanged) and the composition in copy mode.
// System colours are resolved against the palette of the painter's device
// when it is a widget, else against the application palette.
void FillGradient(QPainter &Canvas, const TRect &ARect, TColor FromColor, TColor ToColor,
                  TGradientDirection Direction, quint8 ColorCount);

// The same with system colours resolved against Palette, for painters that
// draw a control off screen.
void FillGradient(QPainter &Canvas, const TRect &ARect, TColor FromColor, TColor ToColor,
                  TGradientDirection Direction, quint8 ColorCount, const QPalette &Palette);
