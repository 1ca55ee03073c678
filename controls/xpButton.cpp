#include "xpButton.h"

#include "XPGraphUtil.h"
#include "xpDrawing.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPainter>

using namespace XPDraw;

TxpButton::TxpButton(QWidget *parent) : TxpCustomControl(QStringLiteral("XP Button"), parent)
{
    resize(75, 25);
}

TxpButton::~TxpButton() = default;

void TxpButton::Click()
{
    QPointer<TxpButton> Self(this);
    if (OnClick)
        OnClick(this);
    if (!Self || ModalResult == 0)
        return;
    if (auto *Form = qobject_cast<QDialog *>(window()))
        Form->done(ModalResult);
}

QSize TxpButton::sizeHint() const
{
    return QSize(75, 25);
}

QImage TxpButton::Render(qreal Ratio) const
{
    const int W = width(), H = height();
    if (W <= 0 || H <= 0)
        return QImage();
    QImage Img = NewCanvas(W, H, Ratio);
    // The parent's colour stays visible outside the rounded corners.
    const QWidget *Parent = parentWidget();
    Img.fill(Parent ? Parent->palette().color(Parent->backgroundRole())
                    : palette().color(QPalette::Window));

    QPainter P(&Img);
    P.setRenderHint(QPainter::Antialiasing, false);
    P.setFont(CaptionFont());
    const QFontMetrics FM(CaptionFont(), &Img);
    const QString Shown = DisplayCaption(Caption());
    const int TW = FM.horizontalAdvance(Shown);
    const int TH = FM.height();
    const TRect Face{4, 4, W - 4, H - 4};
    const QRect FaceClip(Face.Left, Face.Top, RectWidth(Face), RectHeight(Face));

    if (isEnabled()) {
        FillRoundRect(P, TRect{0, 0, W, H}, 3, 3, QColor(214, 211, 211));
        FrameRoundRect(P, TRect{1, 1, W - 1, H - 1}, 5, 5, QColor(0, 60, 116));
        // Pressed under the pointer the face turns over and gets finer bands.
        if (Pressed() && MouseOver())
            FillGradient(P, Face, RGBColor(253, 253, 253), RGBColor(205, 204, 223), gdBottomToTop,
                         quint8(H / 2), palette());
        else
            FillGradient(P, Face, RGBColor(253, 253, 253), RGBColor(205, 204, 223), gdTopToBottom,
                         quint8(H / 3), palette());
        HLine(P, 2, 3, W - 4, QColor(206, 231, 255));
        HLine(P, H - 3, 3, W - 4, QColor(105, 130, 238));
        FrameRect(P, TRect{2, 3, W - 2, H - 3}, QColor(188, 212, 246));
        VLine(P, 3, 4, H - 5, Qt::white);
        VLine(P, W - 4, 4, H - 5, Qt::white);
        HLine(P, H - 1, 3, W - 4, Qt::white);
        VLine(P, W - 1, 3, H - 4, Qt::white);
        if (MouseOver())
            FrameRoundRect(P, TRect{3, 3, W - 3, H - 3}, 2, 2, QColor(248, 179, 48));

        const int Shift = Pressed() ? 1 : 0;
        const int X0 = (W - TW) / 2 + Shift, Y0 = (H - TH) / 2 + Shift;
        const QColor TextColor = palette().color(QPalette::Active, QPalette::WindowText);
        P.setClipRect(FaceClip);
        P.setPen(TextColor);
        P.drawText(X0, Y0 + FM.ascent(), Shown);
        P.setClipping(false);
        if (HasFocus())
            DrawFocusRect(P, Face);
        DrawAcceleratorUnderline(P, Caption(), FM, X0, Y0, TextColor);
    } else {
        FillRoundRect(P, TRect{0, 0, W, H}, 3, 3, QColor(241, 241, 237));
        FrameRoundRect(P, TRect{0, 0, W, H}, 3, 3, QColor(214, 211, 211));
        const QColor Face0 = ColorToRGB(clBtnFace, palette());
        for (const QPoint &Corner :
             {QPoint(0, 0), QPoint(W - 1, 0), QPoint(W - 1, H - 1), QPoint(0, H - 1)})
            P.fillRect(QRect(Corner, QSize(1, 1)), Face0);
        FrameRoundRect(P, TRect{1, 1, W - 1, H - 1}, 5, 5, QColor(196, 195, 191));

        const int X0 = (W - TW) / 2, Y0 = (H - TH) / 2;
        const QColor TextColor(161, 161, 146);
        P.setClipRect(FaceClip);
        P.setPen(TextColor);
        P.drawText(X0, Y0 + FM.ascent(), Shown);
        P.setClipping(false);
        DrawAcceleratorUnderline(P, Caption(), FM, X0, Y0, TextColor);
    }
    return Img;
}

void TxpButton::Activate()
{
    Click();
}

// The button follows the mouse at once: the ring and the pressed face show
// before the handler returns.
void TxpButton::RedrawForMouse()
{
    repaint();
}

bool TxpButton::IsPressKey(int Key) const
{
    return Key == Qt::Key_Return || Key == Qt::Key_Enter || Key == Qt::Key_Space;
}

// Enter and Escape that no control of the window took click the Default and
// Cancel buttons; the key still goes on to the window's other buttons.
bool TxpButton::WindowKey(const QKeyEvent &K)
{
    const int Key = K.key();
    if (isEnabled() && ((Cancel && Key == Qt::Key_Escape) ||
                        (Default && (Key == Qt::Key_Return || Key == Qt::Key_Enter)))) {
        Click();
        return true;
    }
    return false;
}
