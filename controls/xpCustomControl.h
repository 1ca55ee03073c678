// TxpCustomControl: what the program's self-drawn controls (push button,
// check box) have in common: caption and font, the mouse, key and focus
// flags, the window's Enter/Exit notifications and the "&" accelerator,
// both as Alt+key and as a plain key that no control of the window took.
// A control adds its picture (Render) and what a click means (Activate).
#pragma once

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QKeyEvent;

class TxpCustomControl : public QWidget {
    Q_OBJECT
public:
    ~TxpCustomControl() override;

    QString Caption() const;
    void SetCaption(const QString &Value); // same text: nothing; else redraws at once
    QFont &Font();
    void SetFont(const QFont &Value); // copies every attribute, redraws at once

    // Handlers receiving the control as sender. OnEnter and OnExit follow the
    // window's focus widget; OnClick is raised by the control's own click.
    std::function<void(QObject *Sender)> OnClick, OnEnter, OnExit;

    bool MouseOver() const;
    bool Pressed() const;
    bool HasFocus() const;

    // The control's picture exactly as paintEvent puts it on screen, drawn
    // for Ratio device pixels per pixel (the screen's device pixel ratio):
    // the same geometry in device-independent pixels, with the caption's
    // glyphs at the screen's own resolution.
    virtual QImage Render(qreal Ratio = 1.0) const = 0;

protected:
    TxpCustomControl(const QString &DefaultCaption, QWidget *parent);

    // What a completed click (mouse, key or double-click) does.
    virtual void Activate() = 0;
    // The caption's accelerator was typed; by default an enabled control clicks.
    virtual void Accelerator();
    // The redraw after a mouse change (enter, leave, press, release); by
    // default only requested.
    virtual void RedrawForMouse();
    // Whether Key starts a key press of the control (Space by default).
    virtual bool IsPressKey(int Key) const;
    // Whether a key release goes on to the parent after the control saw it.
    virtual bool PassesKeyRelease() const;
    // A key the window received that no control took; true when the control
    // acted on it, so it is not also taken as an accelerator.
    virtual bool WindowKey(const QKeyEvent &Key);

    const QFont &CaptionFont() const;

    bool event(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void SetMouseOver(bool Value);
    void HookWindow();
    void UpdateShortcut();

    QString FCaption;
    bool FMouseOver = false;
    bool FPressed = false;
    QFont FFont;
    bool FHasFocus = false;
    bool FEntered = false; // the window's focus widget is this control
    int FShortcutId = 0;
    QPointer<QWidget> FHookedWindow;
};
