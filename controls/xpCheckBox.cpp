#include "xpCheckBox.h"

#include "xpDrawing.h"

#include <QPainter>
#include <QPen>
#include <QPolygon>

using namespace XPDraw;

TxpCheckBox::TxpCheckBox(QWidget *parent) : TxpCustomControl(QStringLiteral("XP Checkbox"), parent)
{
    resize(97, 17);
}

TxpCheckBox::~TxpCheckBox() = default;

bool TxpCheckBox::Checked() const
{
    return FChecked;
}

void TxpCheckBox::SetChecked(bool Value)
{
    if (Value == FChecked)
        return;
    FChecked = Value;
    repaint();
}

TCheckBoxAlignment TxpCheckBox::Alignment() const
{
    return FAlignment;
}

void TxpCheckBox::SetAlignment(TCheckBoxAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    repaint();
}

TColor TxpCheckBox::Color() const
{
    return FColor;
}

void TxpCheckBox::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    update();
}

void TxpCheckBox::Toggle()
{
    FChecked = !FChecked;
    update();
    if (OnClick)
        OnClick(this);
}

QSize TxpCheckBox::sizeHint() const
{
    return QSize(97, 17);
}

QImage TxpCheckBox::Render(qreal Ratio) const
{
    const int W = width(), H = height();
    if (W <= 0 || H <= 0)
        return QImage();
    QImage Img = NewCanvas(W, H, Ratio);
    const QColor Back = ColorToRGB(FColor, palette());
    Img.fill(Back);

    QPainter P(&Img);
    P.setRenderHint(QPainter::Antialiasing, false);
    P.setFont(CaptionFont());
    const QFontMetrics FM(CaptionFont(), &Img);
    const QString Shown = DisplayCaption(Caption());
    const int TW = FM.horizontalAdvance(Shown);
    const int TH = FM.height();

    const TRect Box = FAlignment == cbaRight ? TRect{1, H / 2 - 7, 15, H / 2 + 7}
                                             : TRect{W - 15, H / 2 - 7, W - 1, H / 2 + 7};
    if (isEnabled()) {
        if (Pressed()) {
            FillGradient(P, Box, RGBColor(176, 176, 167), RGBColor(241, 239, 223), gdTopToBottom,
                         10, palette());
        } else if (MouseOver()) {
            FillGradient(P, Box, RGBColor(255, 240, 207), RGBColor(248, 179, 48), gdTopToBottom, 10,
                         palette());
            // A rectangle without outline stops one pixel short on the right and
            // bottom, which leaves the ring wider there.
            P.fillRect(QRect(Box.Left + 2, Box.Top + 2, RectWidth(Box) - 5, RectHeight(Box) - 5),
                       Back);
        } else {
            FillGradient(P, Box, RGBColor(220, 220, 215), RGBColor(255, 255, 255), gdTopToBottom,
                         10, palette());
        }
        FrameRect(P, Box, QColor(28, 81, 128));
    } else {
        P.fillRect(QRect(Box.Left, Box.Top, RectWidth(Box), RectHeight(Box)), Qt::white);
        FrameRect(P, Box, QColor(128, 128, 128));
    }

    if (FChecked) {
        QPen Pen(isEnabled() ? QColor(0, 160, 0) : QColor(192, 192, 192), 3, Qt::SolidLine,
                 Qt::RoundCap, Qt::RoundJoin);
        P.setPen(Pen);
        P.setBrush(Qt::NoBrush);
        const QPoint Mark[3] = {QPoint(Box.Left + 3, Box.Top + 6),
                                QPoint(Box.Left + 5, Box.Bottom - 5),
                                QPoint(Box.Right - 5, Box.Top + 4)};
        P.drawPolyline(Mark, 3);
    }

    const QColor TextColor = isEnabled() ? palette().color(QPalette::Active, QPalette::WindowText)
                                         : QColor(128, 128, 128);
    const int X0 = FAlignment == cbaRight ? 20 : 2;
    const int Y0 = (H - TH) / 2;
    const QRect Clip = FAlignment == cbaRight ? QRect(QPoint(20, 2), QPoint(W - 3, H - 1))
                                              : QRect(QPoint(2, 2), QPoint(W - 21, H - 1));
    P.fillRect(Clip, Back);
    P.setClipRect(Clip);
    P.setPen(TextColor);
    P.drawText(X0, Y0 + FM.ascent(), Shown);
    P.setClipping(false);
    DrawAcceleratorUnderline(P, Caption(), FM, X0, Y0, TextColor);

    if (isEnabled() && HasFocus())
        DrawFocusRect(P, FAlignment == cbaRight ? TRect{17, 1, TW + 25, H - 1}
                                                : TRect{1, 1, TW + 8, H - 1});
    return Img;
}

void TxpCheckBox::Activate()
{
    Toggle();
}

// The release is the check box's own: it goes no further.
bool TxpCheckBox::PassesKeyRelease() const
{
    return false;
}

// The accelerator also brings the focus to the check box.
void TxpCheckBox::Accelerator()
{
    if (!isEnabled())
        return;
    if (!HasFocus())
        setFocus(Qt::ShortcutFocusReason);
    Toggle();
}
