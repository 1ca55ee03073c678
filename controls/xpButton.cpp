#include "xpButton.h"

#include "PixelnookFont.h"
#include "XPGraphUtil.h"
#include "xpDrawing.h"

#include <QDialog>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

using namespace XPDraw;

TxpButton::TxpButton(QWidget *parent) : QWidget(parent), FFont(PixelnookFont())
{
  resize(75, 25);
  // Tab stop; a click focuses only through the left-button handler, so the
  // right button leaves the focus where it was.
  setFocusPolicy(Qt::TabFocus);
  // paintEvent covers every pixel itself, the parent's colour included.
  setAttribute(Qt::WA_OpaquePaintEvent);
  HookWindow();
  UpdateShortcut();
}

TxpButton::~TxpButton()
{
  if (FHookedWindow)
    FHookedWindow->removeEventFilter(this);
}

QString TxpButton::Caption() const
{
  return FCaption;
}

void TxpButton::SetCaption(const QString &Value)
{
  if (Value == FCaption)
    return;
  FCaption = Value;
  UpdateShortcut();
  repaint();
}

QFont &TxpButton::Font()
{
  return FFont;
}

void TxpButton::SetFont(const QFont &Value)
{
  FFont = Value;
  repaint();
}

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

bool TxpButton::MouseOver() const
{
  return FMouseOver;
}

bool TxpButton::Pressed() const
{
  return FPressed;
}

bool TxpButton::HasFocus() const
{
  return FHasFocus;
}

QSize TxpButton::sizeHint() const
{
  return QSize(75, 25);
}

QImage TxpButton::Render() const
{
  const int W = width(), H = height();
  if (W <= 0 || H <= 0)
    return QImage();
  QImage Img(W, H, QImage::Format_RGB32);
  // The parent's colour stays visible outside the rounded corners.
  const QWidget *Parent = parentWidget();
  Img.fill(Parent ? Parent->palette().color(Parent->backgroundRole()) : palette().color(QPalette::Window));

  QPainter P(&Img);
  P.setRenderHint(QPainter::Antialiasing, false);
  P.setFont(FFont);
  const QFontMetrics FM(FFont, &Img);
  const QString Shown = DisplayCaption(FCaption);
  const int TW = FM.horizontalAdvance(Shown);
  const int TH = FM.height();
  const TRect Face{4, 4, W - 4, H - 4};
  const QRect FaceClip(Face.Left, Face.Top, RectWidth(Face), RectHeight(Face));

  if (isEnabled()) {
    FillRoundRect(P, TRect{0, 0, W, H}, 3, 3, QColor(214, 211, 211));
    FrameRoundRect(P, TRect{1, 1, W - 1, H - 1}, 5, 5, QColor(0, 60, 116));
    // Pressed under the pointer the face turns over and gets finer bands.
    if (FPressed && FMouseOver)
      FillGradient(P, Face, RGBColor(253, 253, 253), RGBColor(205, 204, 223), gdBottomToTop, quint8(H / 2),
                   palette());
    else
      FillGradient(P, Face, RGBColor(253, 253, 253), RGBColor(205, 204, 223), gdTopToBottom, quint8(H / 3),
                   palette());
    HLine(P, 2, 3, W - 4, QColor(206, 231, 255));
    HLine(P, H - 3, 3, W - 4, QColor(105, 130, 238));
    FrameRect(P, TRect{2, 3, W - 2, H - 3}, QColor(188, 212, 246));
    VLine(P, 3, 4, H - 5, Qt::white);
    VLine(P, W - 4, 4, H - 5, Qt::white);
    HLine(P, H - 1, 3, W - 4, Qt::white);
    VLine(P, W - 1, 3, H - 4, Qt::white);
    if (FMouseOver)
      FrameRoundRect(P, TRect{3, 3, W - 3, H - 3}, 2, 2, QColor(248, 179, 48));

    const int Shift = FPressed ? 1 : 0;
    const int X0 = (W - TW) / 2 + Shift, Y0 = (H - TH) / 2 + Shift;
    const QColor TextColor = palette().color(QPalette::Active, QPalette::WindowText);
    P.setClipRect(FaceClip);
    P.setPen(TextColor);
    P.drawText(X0, Y0 + FM.ascent(), Shown);
    P.setClipping(false);
    if (FHasFocus)
      DrawFocusRect(P, Face);
    DrawAcceleratorUnderline(P, FCaption, FM, X0, Y0, TextColor);
  } else {
    FillRoundRect(P, TRect{0, 0, W, H}, 3, 3, QColor(241, 241, 237));
    FrameRoundRect(P, TRect{0, 0, W, H}, 3, 3, QColor(214, 211, 211));
    const QColor Face0 = ColorToRGB(clBtnFace, palette());
    for (const QPoint &Corner : {QPoint(0, 0), QPoint(W - 1, 0), QPoint(W - 1, H - 1), QPoint(0, H - 1)})
      P.fillRect(QRect(Corner, QSize(1, 1)), Face0);
    FrameRoundRect(P, TRect{1, 1, W - 1, H - 1}, 5, 5, QColor(196, 195, 191));

    const int X0 = (W - TW) / 2, Y0 = (H - TH) / 2;
    const QColor TextColor(161, 161, 146);
    P.setClipRect(FaceClip);
    P.setPen(TextColor);
    P.drawText(X0, Y0 + FM.ascent(), Shown);
    P.setClipping(false);
    DrawAcceleratorUnderline(P, FCaption, FM, X0, Y0, TextColor);
  }
  return Img;
}

void TxpButton::paintEvent(QPaintEvent *)
{
  QPainter P(this);
  P.drawImage(0, 0, Render());
}

void TxpButton::SetMouseOver(bool Value)
{
  if (FMouseOver == Value)
    return;
  FMouseOver = Value;
  repaint();
}

void TxpButton::enterEvent(QEnterEvent *)
{
  SetMouseOver(true);
}

void TxpButton::leaveEvent(QEvent *)
{
  SetMouseOver(false);
}

void TxpButton::mousePressEvent(QMouseEvent *e)
{
  if (e->button() != Qt::LeftButton)
    return;
  if (FPressed)
    return;
  FPressed = true;
  if (!FHasFocus && isEnabled())
    setFocus(Qt::MouseFocusReason);
  repaint();
}

void TxpButton::mouseReleaseEvent(QMouseEvent *e)
{
  if (e->button() != Qt::LeftButton)
    return;
  // Qt routes the release to the widget that saw the press; the button only
  // counts releases made over itself, so a press dragged off and released
  // elsewhere stays pressed.
  if (!rect().contains(e->position().toPoint()))
    return;
  if (!FPressed)
    return;
  FPressed = false;
  repaint();
  Click();
}

void TxpButton::mouseDoubleClickEvent(QMouseEvent *e)
{
  // The first release has clicked already; the double-click is a click of its own.
  if (e->button() == Qt::LeftButton)
    Click();
}

void TxpButton::mouseMoveEvent(QMouseEvent *e)
{
  // While a button is held Qt holds back enter and leave; follow the pointer here.
  SetMouseOver(rect().contains(e->position().toPoint()));
}

void TxpButton::keyPressEvent(QKeyEvent *e)
{
  const int Key = e->key();
  if (!FPressed && (Key == Qt::Key_Return || Key == Qt::Key_Enter || Key == Qt::Key_Space)) {
    FPressed = true;
    update();
  }
  QWidget::keyPressEvent(e);
}

void TxpButton::keyReleaseEvent(QKeyEvent *e)
{
  // Auto-repeat sends release/press pairs; only the real release counts.
  if (e->isAutoRepeat()) {
    e->ignore();
    return;
  }
  if (FPressed) {
    FPressed = false;
    update();
    Click();
  }
  QWidget::keyReleaseEvent(e);
}

void TxpButton::focusInEvent(QFocusEvent *)
{
  if (!FHasFocus) {
    FHasFocus = true;
    update();
  }
  if (!FEntered) {
    FEntered = true;
    if (OnEnter)
      OnEnter(this);
  }
}

void TxpButton::focusOutEvent(QFocusEvent *)
{
  if (FHasFocus) {
    FHasFocus = false;
    update();
  }
  // Losing the focus with the window (deactivated or hidden) keeps the button
  // its window's current control; only a move to another control is an exit.
  if (FEntered && window()->focusWidget() != this) {
    FEntered = false;
    if (OnExit)
      OnExit(this);
  }
}

void TxpButton::changeEvent(QEvent *e)
{
  QWidget::changeEvent(e);
  if (e->type() == QEvent::EnabledChange)
    repaint();
}

bool TxpButton::event(QEvent *e)
{
  switch (e->type()) {
  case QEvent::Shortcut:
    Accelerator();
    return true;
  case QEvent::ParentChange:
  case QEvent::Show:
    HookWindow();
    break;
  default:
    break;
  }
  return QWidget::event(e);
}

// Keys that no control of the window took reach the window itself: Enter and
// Escape for the Default and Cancel buttons, and plain accelerator characters.
// None of them is consumed, so every button of the window gets its turn.
bool TxpButton::eventFilter(QObject *watched, QEvent *e)
{
  if (watched == FHookedWindow && e->type() == QEvent::KeyPress) {
    const auto *K = static_cast<QKeyEvent *>(e);
    const int Key = K->key();
    if (isEnabled() && ((Cancel && Key == Qt::Key_Escape) ||
                        (Default && (Key == Qt::Key_Return || Key == Qt::Key_Enter))))
      Click();
    else if (!(K->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) && IsAccelerator(FCaption, K->text()))
      Accelerator();
  }
  return QWidget::eventFilter(watched, e);
}

void TxpButton::Accelerator()
{
  // A disabled button ignores its accelerator, as the check box does.
  if (isEnabled())
    Click();
}

void TxpButton::HookWindow()
{
  QWidget *Form = window();
  if (Form == this)
    Form = nullptr;
  if (Form == FHookedWindow)
    return;
  if (FHookedWindow)
    FHookedWindow->removeEventFilter(this);
  FHookedWindow = Form;
  if (FHookedWindow)
    FHookedWindow->installEventFilter(this);
}

void TxpButton::UpdateShortcut()
{
  if (FShortcutId != 0)
    releaseShortcut(FShortcutId);
  FShortcutId = 0;
  const QKeySequence Sequence = AcceleratorShortcut(FCaption);
  if (!Sequence.isEmpty())
    FShortcutId = grabShortcut(Sequence, Qt::WindowShortcut);
}
