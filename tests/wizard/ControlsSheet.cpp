// pixelnook-controls-sheet [DIR]: renders every styled control and the
// progress gauge in every look into one picture for a person to look at,
// DIR/controls.png (default: screenshots), at 1x beside a 3x enlargement.
#include "controls/PixelnookFont.h"
#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "tests/support/WidgetTestSupport.h"
#include "wizard/ProgressGauge.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QPainter>
#include <QStyleFactory>
#include <QTest>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

void Enter(QWidget *W)
{
    QEnterEvent E(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(W, &E);
}

void Focus(QWidget *W)
{
    QFocusEvent E(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(W, &E);
}

void Press(QWidget *W)
{
    QTest::mousePress(W, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
}

struct Cell {
    QString Label;
    QImage Picture;
};

QImage ButtonLook(const QString &Caption, const std::function<void(TxpButton &)> &Setup)
{
    QWidget Form;
    Form.setPalette(PinnedPalette());
    TxpButton B(&Form);
    B.SetCaption(Caption);
    B.setFocusPolicy(Qt::NoFocus); // only the looks that ask for it show the focus
    Setup(B);
    return B.Render();
}

QImage CheckBoxLook(const std::function<void(TxpCheckBox &)> &Setup)
{
    QWidget Form;
    Form.setPalette(PinnedPalette());
    TxpCheckBox C(&Form);
    C.resize(130, 17);
    C.SetCaption(QStringLiteral("Make &image pages"));
    C.setFocusPolicy(Qt::NoFocus);
    Setup(C);
    return C.Render();
}

QImage GaugeLook(int Percent)
{
    ProgressGauge G;
    G.resize(217, 17);
    G.SetProgress(Percent);
    return G.Render();
}

QImage Sheet(const std::vector<std::vector<Cell>> &Rows)
{
    const int Pad = 8, LabelH = 14;
    int W = 0, H = Pad;
    for (const auto &Row : Rows) {
        int RowW = Pad, RowH = 0;
        for (const Cell &C : Row) {
            RowW += std::max(C.Picture.width(), 80) + Pad;
            RowH = std::max(RowH, C.Picture.height());
        }
        W = std::max(W, RowW);
        H += LabelH + RowH + Pad;
    }
    QImage Img(W, H, QImage::Format_RGB32);
    Img.fill(PinnedFace());
    QPainter P(&Img);
    P.setFont(PixelnookFont());
    P.setPen(QColor(80, 80, 80));
    int Y = Pad;
    for (const auto &Row : Rows) {
        int X = Pad, RowH = 0;
        for (const Cell &C : Row) {
            P.drawText(X, Y + 10, C.Label);
            P.drawImage(X, Y + LabelH, C.Picture);
            X += std::max(C.Picture.width(), 80) + Pad;
            RowH = std::max(RowH, C.Picture.height());
        }
        Y += LabelH + RowH + Pad;
    }
    return Img;
}

QImage EveryControlInEveryLook()
{
    const QString Caption = QStringLiteral("&Continue");
    std::vector<std::vector<Cell>> Rows;
    Rows.push_back({
        {"normal", ButtonLook(Caption, [](TxpButton &) {})},
        {"hot", ButtonLook(Caption, [](TxpButton &B) { Enter(&B); })},
        {"pressed", ButtonLook(Caption, [](TxpButton &B) { QTest::keyPress(&B, Qt::Key_Space); })},
        {"pressed hot", ButtonLook(Caption,
                                   [](TxpButton &B) {
                                       Enter(&B);
                                       Press(&B);
                                   })},
        {"focused", ButtonLook(Caption, [](TxpButton &B) { Focus(&B); })},
        {"disabled", ButtonLook(Caption,
                                [](TxpButton &B) {
                                    Enter(&B);
                                    B.setEnabled(false);
                                })},
    });
    Rows.push_back({
        {"normal", CheckBoxLook([](TxpCheckBox &) {})},
        {"hot", CheckBoxLook([](TxpCheckBox &C) { Enter(&C); })},
        {"pressed", CheckBoxLook([](TxpCheckBox &C) { QTest::keyPress(&C, Qt::Key_Space); })},
        {"checked, focused", CheckBoxLook([](TxpCheckBox &C) {
             C.SetChecked(true);
             Focus(&C);
         })},
    });
    Rows.push_back({
        {"disabled checked", CheckBoxLook([](TxpCheckBox &C) {
             C.SetChecked(true);
             C.setEnabled(false);
         })},
        {"cbaLeft checked hot", CheckBoxLook([](TxpCheckBox &C) {
             C.SetAlignment(cbaLeft);
             C.SetChecked(true);
             Enter(&C);
         })},
    });
    for (int Percent : {0, 10, 35, 50, 65, 80, 100})
        Rows.push_back({{QStringLiteral("%1%").arg(Percent), GaugeLook(Percent)}});

    const QImage One = Sheet(Rows);
    QImage Both(One.width() * 4 + 8, One.height() * 3, QImage::Format_RGB32);
    Both.fill(PinnedFace());
    {
        QPainter P(&Both);
        P.drawImage(0, 0, One);
        P.drawImage(One.width() + 8, 0,
                    One.scaled(One.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }
    return Both;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication App(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(PinnedPalette());
    const QString Dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    const QString Path = Dir + QStringLiteral("/controls.png");
    if (!QDir().mkpath(Dir) || !EveryControlInEveryLook().save(Path)) {
        std::fprintf(stderr, "pixelnook-controls-sheet: cannot write %s\n", qPrintable(Path));
        return 1;
    }
    std::printf("%s\n", qPrintable(Path));
    return 0;
}
