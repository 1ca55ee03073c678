// TxpButton: the program's push button, drawn entirely by itself (rounded
// grey body, dark blue frame, gradient face, orange ring under the mouse).
#pragma once

#include "xpCustomControl.h"

#include <QImage>
#include <QWidget>

#include <functional>

class TxpButton : public TxpCustomControl {
    Q_OBJECT
public:
    explicit TxpButton(QWidget *parent = nullptr);
    ~TxpButton() override;

    int ModalResult = 0;
    bool Cancel = false;  // Escape on the window clicks the button
    bool Default = false; // Enter on the window clicks the button
    // Part of the button's interface and stored, but never raised by the
    // button, and no window assigns them.
    std::function<void(QObject *Sender, int &Key, Qt::KeyboardModifiers Shift)> OnKeyDown, OnKeyUp;

    // OnClick, then the window's result when ModalResult != 0 and the window is a QDialog.
    void Click();

    QImage Render(qreal Ratio = 1.0) const override;

    QSize sizeHint() const override;

protected:
    void Activate() override;
    void RedrawForMouse() override;
    bool IsPressKey(int Key) const override;
    bool WindowKey(const QKeyEvent &Key) override;
};
