// The plain controls the wizard windows are made of, placed by pixel:
// labels, divider lines and frames, panels with bevels, pictures, edit
// boxes, and the styled push button as the windows place it.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QWidget>

#include <functional>

class QKeyEvent;
class QPlainTextEdit;
class TxpButton;

// A click by key for controls that take the focus: a press of one of the
// control's keys followed by the release of any key clicks, as the styled
// button does. Auto-repeat changes nothing.
class TKeyClick {
public:
    // Spaces: whether Space clicks as well as Return and Enter.
    explicit TKeyClick(bool Spaces) : FSpaces(Spaces) {}
    // True when the control takes the key.
    bool Press(const QKeyEvent &Key);
    // True when the release completes a click.
    bool Release(const QKeyEvent &Key);
    void Cancel() { FPressed = false; }

private:
    bool FSpaces;
    bool FPressed = false;
};

// A label. An auto-size label grows and shrinks with its text. A label
// given a size keeps its width; one that wraps its words grows downwards
// when its text needs more lines than the size holds, any other cuts off
// what does not fit. Text is shown as typed, never as markup.
class TLabel : public QLabel {
    Q_OBJECT
public:
    // Auto-size label at (Left, Top).
    TLabel(QWidget *Parent, int Left, int Top, const QString &Caption);
    // Fixed-size label.
    TLabel(QWidget *Parent, int Left, int Top, int Width, int Height, const QString &Caption,
           bool WordWrap);

    QString Caption() const { return text(); }
    void SetCaption(const QString &Value);
    // A label that keeps its size and breaks long words (such as a path)
    // anywhere when they do not fit a line.
    void SetWrapAnywhere(bool Value);

    // A link takes the focus by Tab, shows a dotted focus mark round its
    // text, and Return or Enter clicks it.
    void SetLink(bool Value);

    std::function<void(QObject *Sender)> OnClick;

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    TKeyClick FKeys{false};
    bool FAutoSize = true;
    bool FWrapAnywhere = false;
    int FDesignHeight = 0;
    bool FPressed = false;
};

// A divider line (bsTopLine) or a sunken frame (bsBox).
class TBevel : public QFrame {
    Q_OBJECT
public:
    enum TBevelShape { bsBox, bsTopLine };
    TBevel(QWidget *Parent, int Left, int Top, int Width, int Height, TBevelShape Shape);
};

// A panel with an outer and an inner 1-pixel bevel, raised or lowered. A
// panel given Tab focus shows a dotted focus mark inside its bevels, and
// Space, Return or Enter clicks it.
class TPanel : public QWidget {
    Q_OBJECT
public:
    enum TBevelCut { bvRaised, bvLowered };
    TPanel(QWidget *Parent, int Left, int Top, int Width, int Height);

    TBevelCut BevelInner() const { return FBevelInner; }
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelInner(TBevelCut Value);
    void SetBevelOuter(TBevelCut Value);

    std::function<void(QObject *Sender)> OnClick;

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    TKeyClick FKeys{true};
    TBevelCut FBevelInner = bvRaised;
    TBevelCut FBevelOuter = bvRaised;
    bool FPressed = false;
};

// A picture box: the picture at its own size, in the top left corner or
// centred, cut off at the box's edges.
class TImage : public QWidget {
    Q_OBJECT
public:
    TImage(QWidget *Parent, int Left, int Top, int Width, int Height, bool Center);

    const QPixmap &Picture() const { return FPicture; }
    void SetPicture(const QPixmap &Value);

    std::function<void(QObject *Sender)> OnClick;

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QPixmap FPicture;
    bool FCenter = false;
    bool FPressed = false;
};

// A one-line edit box 21 pixels high holding Text, with no length limit.
QLineEdit *NewEdit(QWidget *Parent, int Left, int Top, int Width, const QString &Text);

// A styled push button 25 pixels high with its caption.
TxpButton *NewButton(QWidget *Parent, int Left, int Top, int Width, const QString &Caption);

// Puts Value (Latin-1) back into a box the user has left empty.
void FillIfEmpty(QLineEdit *Edit, const char *Value);
void FillIfEmpty(QPlainTextEdit *Memo, const char *Value);
