#include "StdCtrls.h"

#include "controls/xpButton.h"
#include "controls/xpDrawing.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include <QPainter>
#include <QTextOption>
#include <limits>

namespace {

// A click is a left press and release both inside the control.
bool PressStarts(QMouseEvent *e)
{
    return e->button() == Qt::LeftButton;
}

bool ReleaseClicks(QWidget *w, QMouseEvent *e, bool &pressed)
{
    const bool click =
        pressed && e->button() == Qt::LeftButton && w->rect().contains(e->position().toPoint());
    if (e->button() == Qt::LeftButton)
        pressed = false;
    return click;
}

// The dotted focus mark on the edge of Area.
void DrawFocusMark(QWidget *w, const QRect &Area)
{
    QPainter painter(w);
    XPDraw::DrawFocusRect(painter,
                          TRect{Area.left(), Area.top(), Area.right() + 1, Area.bottom() + 1});
}

} // namespace

bool TKeyClick::Press(const QKeyEvent &Key)
{
    const bool mine = Key.key() == Qt::Key_Return || Key.key() == Qt::Key_Enter ||
                      (FSpaces && Key.key() == Qt::Key_Space);
    if (mine && !Key.isAutoRepeat())
        FPressed = true;
    return mine;
}

bool TKeyClick::Release(const QKeyEvent &Key)
{
    if (Key.isAutoRepeat() || !FPressed)
        return false;
    FPressed = false;
    return true;
}

TLabel::TLabel(QWidget *Parent, int Left, int Top, const QString &Caption) : QLabel(Parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    move(Left, Top);
    SetCaption(Caption);
}

TLabel::TLabel(QWidget *Parent, int Left, int Top, int Width, int Height, const QString &Caption,
               bool WordWrap)
    : QLabel(Parent), FAutoSize(false), FDesignHeight(Height)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(WordWrap);
    setGeometry(Left, Top, Width, Height);
    SetCaption(Caption);
}

void TLabel::SetCaption(const QString &Value)
{
    setText(Value);
    if (FAutoSize)
        resize(sizeHint());
    else if (wordWrap() && !FWrapAnywhere)
        resize(width(), qMax(FDesignHeight, heightForWidth(width())));
}

void TLabel::SetWrapAnywhere(bool Value)
{
    FWrapAnywhere = Value;
    resize(width(), FDesignHeight);
    update();
}

void TLabel::SetLink(bool Value)
{
    setFocusPolicy(Value ? Qt::TabFocus : Qt::NoFocus);
}

void TLabel::paintEvent(QPaintEvent *e)
{
    if (!FWrapAnywhere) {
        QLabel::paintEvent(e);
        if (hasFocus())
            DrawFocusMark(this, rect());
        return;
    }
    QPainter painter(this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    painter.drawText(QRectF(rect()), text(), option);
}

void TLabel::mousePressEvent(QMouseEvent *e)
{
    if (PressStarts(e))
        FPressed = true;
    QLabel::mousePressEvent(e);
}

void TLabel::mouseReleaseEvent(QMouseEvent *e)
{
    const bool click = ReleaseClicks(this, e, FPressed);
    QLabel::mouseReleaseEvent(e);
    if (click && OnClick)
        OnClick(this);
}

void TLabel::keyPressEvent(QKeyEvent *e)
{
    if (!OnClick || !FKeys.Press(*e))
        QLabel::keyPressEvent(e);
}

void TLabel::keyReleaseEvent(QKeyEvent *e)
{
    if (OnClick && FKeys.Release(*e))
        OnClick(this);
    else
        QLabel::keyReleaseEvent(e);
}

void TLabel::focusOutEvent(QFocusEvent *e)
{
    FKeys.Cancel();
    QLabel::focusOutEvent(e);
}

TBevel::TBevel(QWidget *Parent, int Left, int Top, int Width, int Height, TBevelShape Shape)
    : QFrame(Parent)
{
    setFrameShape(Shape == bsBox ? QFrame::Box : QFrame::HLine);
    setFrameShadow(QFrame::Sunken);
    setLineWidth(1);
    setGeometry(Left, Top, Width, Height);
}

TPanel::TPanel(QWidget *Parent, int Left, int Top, int Width, int Height) : QWidget(Parent)
{
    setGeometry(Left, Top, Width, Height);
}

void TPanel::SetBevelInner(TBevelCut Value)
{
    if (FBevelInner != Value) {
        FBevelInner = Value;
        update();
    }
}

void TPanel::SetBevelOuter(TBevelCut Value)
{
    if (FBevelOuter != Value) {
        FBevelOuter = Value;
        update();
    }
}

void TPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    // One pixel each: the outer bevel on the edge, the inner just inside it.
    auto bevel = [&](QRect r, TBevelCut cut) {
        const QColor topLeft = cut == bvRaised ? light : dark;
        const QColor bottomRight = cut == bvRaised ? dark : light;
        painter.setPen(topLeft);
        painter.drawLine(r.left(), r.top(), r.right() - 1, r.top());
        painter.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
        painter.setPen(bottomRight);
        painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
    };
    bevel(rect(), FBevelOuter);
    bevel(rect().adjusted(1, 1, -1, -1), FBevelInner);
    painter.end();
    // Inside the bevels, where a centred picture leaves a ring free.
    if (hasFocus())
        DrawFocusMark(this, rect().adjusted(2, 2, -2, -2));
}

void TPanel::keyPressEvent(QKeyEvent *e)
{
    if (!FKeys.Press(*e))
        QWidget::keyPressEvent(e);
}

void TPanel::keyReleaseEvent(QKeyEvent *e)
{
    if (FKeys.Release(*e)) {
        if (OnClick)
            OnClick(this);
    } else {
        QWidget::keyReleaseEvent(e);
    }
}

void TPanel::focusInEvent(QFocusEvent *)
{
    update();
}

void TPanel::focusOutEvent(QFocusEvent *)
{
    FKeys.Cancel();
    update();
}

void TPanel::mousePressEvent(QMouseEvent *e)
{
    if (PressStarts(e))
        FPressed = true;
}

void TPanel::mouseReleaseEvent(QMouseEvent *e)
{
    if (ReleaseClicks(this, e, FPressed) && OnClick)
        OnClick(this);
}

TImage::TImage(QWidget *Parent, int Left, int Top, int Width, int Height, bool Center)
    : QWidget(Parent), FCenter(Center)
{
    setGeometry(Left, Top, Width, Height);
}

void TImage::SetPicture(const QPixmap &Value)
{
    FPicture = Value;
    update();
}

void TImage::paintEvent(QPaintEvent *)
{
    if (FPicture.isNull())
        return;
    QPainter painter(this);
    const QSize size = FPicture.deviceIndependentSize().toSize();
    const QPoint at = FCenter ? QPoint((width() - size.width()) / 2, (height() - size.height()) / 2)
                              : QPoint(0, 0);
    painter.drawPixmap(at, FPicture);
}

void TImage::mousePressEvent(QMouseEvent *e)
{
    if (PressStarts(e))
        FPressed = true;
}

void TImage::mouseReleaseEvent(QMouseEvent *e)
{
    if (ReleaseClicks(this, e, FPressed) && OnClick)
        OnClick(this);
}

QLineEdit *NewEdit(QWidget *Parent, int Left, int Top, int Width, const QString &Text)
{
    auto *edit = new QLineEdit(Text, Parent);
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setGeometry(Left, Top, Width, 21);
    return edit;
}

TxpButton *NewButton(QWidget *Parent, int Left, int Top, int Width, const QString &Caption)
{
    auto *button = new TxpButton(Parent);
    button->setGeometry(Left, Top, Width, 25);
    button->SetCaption(Caption);
    return button;
}

void FillIfEmpty(QLineEdit *Edit, const char *Value)
{
    if (Edit->text().isEmpty())
        Edit->setText(QString::fromLatin1(Value));
}

void FillIfEmpty(QPlainTextEdit *Memo, const char *Value)
{
    if (Memo->toPlainText().isEmpty())
        Memo->setPlainText(QString::fromLatin1(Value));
}
