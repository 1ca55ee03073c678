#include "xpCheckBox.h"

#include "PixelnookFont.h"
#include "xpDrawing.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QPolygon>

using namespace XPDraw;

TxpCheckBox::TxpCheckBox(QWidget *parent) : QWidget(parent), FFont(PixelnookFont())
{
  resize(97, 17);
  // Tab stop; a click focuses only through the left-button handler, so the
  // right button leaves the focus where it was.
  setFocusPolicy(Qt::TabFocus);
  // paintEvent fills the whole control with Color first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  HookWindow();
  UpdateShortcut();
}

TxpCheckBox::~TxpCheckBox()
{
  if (FHookedWindow)
    FHookedWindow->removeEventFilter(this);
}

QString TxpCheckBox::Caption() const
{
  return FCaption;
}

void TxpCheckBox::SetCaption(const QString &Value)
{
  if (Value == FCaption)
    return;
  FCaption = Value;
  UpdateShortcut();
  repaint();
}

QFont &TxpCheckBox::Font()
{
  return FFont;
}

void TxpCheckBox::SetFont(const QFont &Value)
{
  FFont = Value;
  repaint();
}

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

bool TxpCheckBox::MouseOver() const
{
  return FMouseOver;
}

bool TxpCheckBox::Pressed() const
{
  return FPressed;
}

bool TxpCheckBox::HasFocus() const
{
  return FHasFocus;
}

QSize TxpCheckBox::sizeHint() const
{
  return QSize(97, 17);
}

QImage TxpCheckBox::Render() const
{
  const int W = width(), H = height();
  if (W <= 0 || H <= 0)
    return QImage();
  QImage Img(W, H, QImage::Format_RGB32);
  const QColor Back = ColorToRGB(FColor, palette());
  Img.fill(Back);

  QPainter P(&Img);
  P.setRenderHint(QPainter::Antialiasing, false);
  P.setFont(FFont);
  const QFontMetrics FM(FFont, &Img);
  const QString Shown = DisplayCaption(FCaption);
  const int TW = FM.horizontalAdvance(Shown);
  const int TH = FM.height();

  const TRect Box = FAlignment == cbaRight ? TRect{1, H / 2 - 7, 15, H / 2 + 7}
                                           : TRect{W - 15, H / 2 - 7, W - 1, H / 2 + 7};
  if (isEnabled()) {
    if (FPressed) {
      FillGradient(P, Box, RGBColor(176, 176, 167), RGBColor(241, 239, 223), gdTopToBottom, 10, palette());
    } else if (FMouseOver) {
      FillGradient(P, Box, RGBColor(255, 240, 207), RGBColor(248, 179, 48), gdTopToBottom, 10, palette());
      // A rectangle without outline stops one pixel short on the right and
      // bottom, which leaves the ring wider there.
      P.fillRect(QRect(Box.Left + 2, Box.Top + 2, RectWidth(Box) - 5, RectHeight(Box) - 5), Back);
    } else {
      FillGradient(P, Box, RGBColor(220, 220, 215), RGBColor(255, 255, 255), gdTopToBottom, 10, palette());
    }
    FrameRect(P, Box, QColor(28, 81, 128));
  } else {
    P.fillRect(QRect(Box.Left, Box.Top, RectWidth(Box), RectHeight(Box)), Qt::white);
    FrameRect(P, Box, QColor(128, 128, 128));
  }

  if (FChecked) {
    QPen Pen(isEnabled() ? QColor(0, 160, 0) : QColor(192, 192, 192), 3, Qt::SolidLine, Qt::RoundCap,
             Qt::RoundJoin);
    P.setPen(Pen);
    P.setBrush(Qt::NoBrush);
    const QPoint Mark[3] = {QPoint(Box.Left + 3, Box.Top + 6), QPoint(Box.Left + 5, Box.Bottom - 5),
                            QPoint(Box.Right - 5, Box.Top + 4)};
    P.drawPolyline(Mark, 3);
  }

  const QColor TextColor =
      isEnabled() ? palette().color(QPalette::Active, QPalette::WindowText) : QColor(128, 128, 128);
  const int X0 = FAlignment == cbaRight ? 20 : 2;
  const int Y0 = (H - TH) / 2;
  const QRect Clip = FAlignment == cbaRight ? QRect(QPoint(20, 2), QPoint(W - 3, H - 1))
                                            : QRect(QPoint(2, 2), QPoint(W - 21, H - 1));
  P.fillRect(Clip, Back);
  P.setClipRect(Clip);
  P.setPen(TextColor);
  P.drawText(X0, Y0 + FM.ascent(), Shown);
  P.setClipping(false);
  DrawAcceleratorUnderline(P, FCaption, FM, X0, Y0, TextColor);

  if (isEnabled() && FHasFocus)
    DrawFocusRect(P, FAlignment == cbaRight ? TRect{17, 1, TW + 25, H - 1} : TRect{1, 1, TW + 8, H - 1});
  return Img;
}

void TxpCheckBox::paintEvent(QPaintEvent *)
{
  QPainter P(this);
  P.drawImage(0, 0, Render());
}

void TxpCheckBox::SetMouseOver(bool Value)
{
  if (FMouseOver == Value)
    return;
  FMouseOver = Value;
  update();
}

void TxpCheckBox::enterEvent(QEnterEvent *)
{
  SetMouseOver(true);
}

void TxpCheckBox::leaveEvent(QEvent *)
{
  SetMouseOver(false);
}

void TxpCheckBox::mousePressEvent(QMouseEvent *e)
{
  if (e->button() != Qt::LeftButton || FPressed)
    return;
  FPressed = true;
  if (!FHasFocus && isEnabled())
    setFocus(Qt::MouseFocusReason);
  update();
}

void TxpCheckBox::mouseReleaseEvent(QMouseEvent *e)
{
  // Only releases over the control count (Qt would deliver the one of a
  // press dragged elsewhere too).
  if (e->button() != Qt::LeftButton || !rect().contains(e->position().toPoint()) || !FPressed)
    return;
  FPressed = false;
  update();
  Toggle();
}

void TxpCheckBox::mouseDoubleClickEvent(QMouseEvent *e)
{
  if (e->button() == Qt::LeftButton)
    Toggle();
}

void TxpCheckBox::mouseMoveEvent(QMouseEvent *e)
{
  // While a button is held Qt holds back enter and leave; follow the pointer here.
  SetMouseOver(rect().contains(e->position().toPoint()));
}

void TxpCheckBox::keyPressEvent(QKeyEvent *e)
{
  if (!FPressed && e->key() == Qt::Key_Space) {
    FPressed = true;
    update();
  }
  QWidget::keyPressEvent(e);
}

void TxpCheckBox::keyReleaseEvent(QKeyEvent *e)
{
  if (e->isAutoRepeat()) {
    e->ignore();
    return;
  }
  if (FPressed) {
    FPressed = false;
    Toggle();
  }
  // The release is the check box's own: it goes no further.
  e->accept();
}

void TxpCheckBox::focusInEvent(QFocusEvent *)
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

void TxpCheckBox::focusOutEvent(QFocusEvent *)
{
  if (FHasFocus) {
    FHasFocus = false;
    update();
  }
  if (FEntered && window()->focusWidget() != this) {
    FEntered = false;
    if (OnExit)
      OnExit(this);
  }
}

void TxpCheckBox::changeEvent(QEvent *e)
{
  QWidget::changeEvent(e);
  if (e->type() == QEvent::EnabledChange)
    repaint();
}

bool TxpCheckBox::event(QEvent *e)
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

// A plain accelerator character that no control of the window took reaches
// the window itself; it is not consumed.
bool TxpCheckBox::eventFilter(QObject *watched, QEvent *e)
{
  if (watched == FHookedWindow && e->type() == QEvent::KeyPress) {
    const auto *K = static_cast<QKeyEvent *>(e);
    if (!(K->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) && IsAccelerator(FCaption, K->text()))
      Accelerator();
  }
  return QWidget::eventFilter(watched, e);
}

void TxpCheckBox::Accelerator()
{
  if (!isEnabled())
    return;
  if (!FHasFocus)
    setFocus(Qt::ShortcutFocusReason);
  Toggle();
}

void TxpCheckBox::HookWindow()
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

void TxpCheckBox::UpdateShortcut()
{
  if (FShortcutId != 0)
    releaseShortcut(FShortcutId);
  FShortcutId = 0;
  const QKeySequence Sequence = AcceleratorShortcut(FCaption);
  if (!Sequence.isEmpty())
    FShortcutId = grabShortcut(Sequence, Qt::WindowShortcut);
}
