// TxpCheckBox: the wizard's check box, drawn entirely by itself (gradient
// box with a dark blue outline, thick green check mark, caption beside it).
#pragma once

#include "XPGraphUtil.h"
#include "xpCustomControl.h"

#include <QImage>
#include <QWidget>

enum TCheckBoxAlignment : quint8 { cbaLeft, cbaRight };

class TxpCheckBox : public TxpCustomControl {
    Q_OBJECT
public:
    explicit TxpCheckBox(QWidget *parent = nullptr);
    ~TxpCheckBox() override;

    bool Checked() const;
    void SetChecked(bool Value); // redraws at once; raises no OnClick
    TCheckBoxAlignment Alignment() const;
    void SetAlignment(TCheckBoxAlignment Value);
    TColor Color() const;
    void SetColor(TColor Value); // requests a redraw

    // Inverts Checked, requests a redraw, then OnClick (which reads the new value).
    void Toggle();

    QImage Render(qreal Ratio = 1.0) const override;

    QSize sizeHint() const override;

protected:
    void Activate() override;
    void Accelerator() override;
    bool PassesKeyRelease() const override;

private:
    bool FChecked = false;
    TCheckBoxAlignment FAlignment = cbaRight;
    TColor FColor = clBtnFace;
};
