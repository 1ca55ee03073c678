#include "xpCustomControl.h"

#include "PixelnookFont.h"
#include "xpDrawing.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

using namespace XPDraw;

TxpCustomControl::TxpCustomControl(const QString &DefaultCaption, QWidget *parent)
    : QWidget(parent), FCaption(DefaultCaption), FFont(PixelnookFont())
{
    // Tab stop; a click focuses only through the left-button handler, so the
    // right button leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
    // paintEvent covers every pixel itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    HookWindow();
    UpdateShortcut();
}

TxpCustomControl::~TxpCustomControl()
{
    if (FHookedWindow)
        FHookedWindow->removeEventFilter(this);
}

QString TxpCustomControl::Caption() const
{
    return FCaption;
}

void TxpCustomControl::SetCaption(const QString &Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    UpdateShortcut();
    repaint();
}

QFont &TxpCustomControl::Font()
{
    return FFont;
}

const QFont &TxpCustomControl::CaptionFont() const
{
    return FFont;
}

void TxpCustomControl::SetFont(const QFont &Value)
{
    FFont = Value;
    repaint();
}

bool TxpCustomControl::MouseOver() const
{
    return FMouseOver;
}

bool TxpCustomControl::Pressed() const
{
    return FPressed;
}

bool TxpCustomControl::HasFocus() const
{
    return FHasFocus;
}

void TxpCustomControl::Accelerator()
{
    // A disabled control ignores its accelerator.
    if (isEnabled())
        Activate();
}

void TxpCustomControl::RedrawForMouse()
{
    update();
}

bool TxpCustomControl::IsPressKey(int Key) const
{
    return Key == Qt::Key_Space;
}

bool TxpCustomControl::PassesKeyRelease() const
{
    return true;
}

bool TxpCustomControl::WindowKey(const QKeyEvent &)
{
    return false;
}

void TxpCustomControl::paintEvent(QPaintEvent *)
{
    QPainter P(this);
    P.drawImage(0, 0, Render(PaintRatio(P)));
}

void TxpCustomControl::SetMouseOver(bool Value)
{
    if (FMouseOver == Value)
        return;
    FMouseOver = Value;
    RedrawForMouse();
}

void TxpCustomControl::enterEvent(QEnterEvent *)
{
    SetMouseOver(true);
}

void TxpCustomControl::leaveEvent(QEvent *)
{
    SetMouseOver(false);
}

void TxpCustomControl::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || FPressed)
        return;
    FPressed = true;
    if (!FHasFocus && isEnabled())
        setFocus(Qt::MouseFocusReason);
    RedrawForMouse();
}

void TxpCustomControl::mouseReleaseEvent(QMouseEvent *e)
{
    // Qt routes the release to the widget that saw the press; only releases
    // over the control count, so a press dragged off and released elsewhere
    // stays pressed.
    if (e->button() != Qt::LeftButton || !rect().contains(e->position().toPoint()) || !FPressed)
        return;
    FPressed = false;
    RedrawForMouse();
    Activate();
}

void TxpCustomControl::mouseDoubleClickEvent(QMouseEvent *e)
{
    // The first release has clicked already; the double-click is a click of its own.
    if (e->button() == Qt::LeftButton)
        Activate();
}

void TxpCustomControl::mouseMoveEvent(QMouseEvent *e)
{
    // While a button is held Qt holds back enter and leave; follow the pointer here.
    SetMouseOver(rect().contains(e->position().toPoint()));
}

void TxpCustomControl::keyPressEvent(QKeyEvent *e)
{
    if (!FPressed && IsPressKey(e->key())) {
        FPressed = true;
        update();
    }
    QWidget::keyPressEvent(e);
}

void TxpCustomControl::keyReleaseEvent(QKeyEvent *e)
{
    // Auto-repeat sends release/press pairs; only the real release counts.
    if (e->isAutoRepeat()) {
        e->ignore();
        return;
    }
    // Asked before the click, whose handler may close or delete the window.
    const bool PassOn = PassesKeyRelease();
    // The release of any key ends a key press.
    if (FPressed) {
        FPressed = false;
        update();
        Activate();
    }
    if (PassOn)
        QWidget::keyReleaseEvent(e);
    else
        e->accept();
}

void TxpCustomControl::focusInEvent(QFocusEvent *)
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

void TxpCustomControl::focusOutEvent(QFocusEvent *)
{
    if (FHasFocus) {
        FHasFocus = false;
        update();
    }
    // Losing the focus with the window (deactivated or hidden) keeps the
    // control its window's current one; only a move to another control is an exit.
    if (FEntered && window()->focusWidget() != this) {
        FEntered = false;
        if (OnExit)
            OnExit(this);
    }
}

void TxpCustomControl::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange)
        repaint();
}

bool TxpCustomControl::event(QEvent *e)
{
    switch (e->type()) {
    case QEvent::Shortcut: Accelerator(); return true;
    case QEvent::ParentChange:
    case QEvent::Show: HookWindow(); break;
    default: break;
    }
    return QWidget::event(e);
}

// Keys that no control of the window took reach the window itself: the
// control's own window keys (WindowKey) and plain accelerator characters.
// None of them is consumed, so every control of the window gets its turn.
bool TxpCustomControl::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == FHookedWindow && e->type() == QEvent::KeyPress) {
        const auto *K = static_cast<QKeyEvent *>(e);
        if (!WindowKey(*K) && !(K->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) &&
            IsAccelerator(FCaption, K->text()))
            Accelerator();
    }
    return QWidget::eventFilter(watched, e);
}

void TxpCustomControl::HookWindow()
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

void TxpCustomControl::UpdateShortcut()
{
    if (FShortcutId != 0)
        releaseShortcut(FShortcutId);
    FShortcutId = 0;
    const QKeySequence Sequence = AcceleratorShortcut(FCaption);
    if (!Sequence.isEmpty())
        FShortcutId = grabShortcut(Sequence, Qt::WindowShortcut);
}
