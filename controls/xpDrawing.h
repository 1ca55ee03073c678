// Pieces shared by the push button and the check box: reading the "&"
// accelerator out of a caption, and the exact-pixel primitives both draw with.
#pragma once

#include "XPGraphUtil.h"

#include <QChar>
#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QKeySequence>
#include <QPainter>
#include <QString>

namespace XPDraw {

// The caption as shown: its first "&" removed.
QString DisplayCaption(const QString &Caption);
// The character after a single "&" ("&&" is a literal "&"; the last marked
// character counts); a null QChar when there is none.
QChar Accelerator(const QString &Caption);
// True when Typed is the caption's accelerator, letter case ignored.
bool IsAccelerator(const QString &Caption, const QString &Typed);
// Alt + the accelerator, or an empty sequence.
QKeySequence AcceleratorShortcut(const QString &Caption);

// An image of W x H device-independent pixels for Ratio device pixels per
// pixel: a painter on it draws in device-independent pixels.
QImage NewCanvas(int W, int H, qreal Ratio);
// Device pixels per pixel of what the painter really paints on (the
// window's backing store on screen, or the image a widget renders into).
qreal PaintRatio(QPainter &P);

// Rounded rectangle with an A x B corner ellipse, rasterised the classic
// way: the corner ellipse passes through the centres of the outermost pixels.
bool InRoundRect(int X, int Y, const TRect &R, int A, int B);
void FillRoundRect(QPainter &P, const TRect &R, int A, int B, const QColor &Color);
void FrameRoundRect(QPainter &P, const TRect &R, int A, int B, const QColor &Color);

// 1-pixel lines, both ends included.
void HLine(QPainter &P, int Y, int X0, int X1, const QColor &Color);
void VLine(QPainter &P, int X, int Y0, int Y1, const QColor &Color);
// Outline on columns Left and Right - 1, rows Top and Bottom - 1.
void FrameRect(QPainter &P, const TRect &R, const QColor &Color);

// Dotted focus rectangle: every other pixel of the outline is inverted.
void DrawFocusRect(QPainter &P, const TRect &R);

// The underline under the character that followed the caption's first "&",
// on row Y0 + text height, from the caption's top-left corner (X0, Y0).
void DrawAcceleratorUnderline(QPainter &P, const QString &Caption, const QFontMetrics &Metrics,
                              int X0, int Y0, const QColor &Color);

} // namespace XPDraw
