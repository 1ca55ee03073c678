#include "Form.h"

#include "WizardForms.h"
#include "controls/PixelnookFont.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

// The pages reach each other through these; the program's start-up fills
// them.
TForms Forms;

TForm::TForm(const QString &Caption, int ClientWidth, int ClientHeight, TBorderStyle BorderStyle)
    : QWidget(nullptr)
{
    Qt::WindowFlags flags =
        Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (BorderStyle == bsToolWindow)
        flags |= Qt::Tool;
    else
        flags |= Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);
    setWindowTitle(Caption);
    setFixedSize(ClientWidth, ClientHeight);
    setFont(PixelnookFont());
    // The palette's window colour is the button face the styled controls
    // paint their own backgrounds with.
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);
}

void TForm::Show()
{
    if (windowState() & Qt::WindowMinimized)
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TForm::setVisible(bool visible)
{
    if (visible && !FPlaced) {
        FPlaced = true;
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            // The whole screen, not the work area. The frame is not known
            // before the window is first mapped, so the client area is
            // what is centred.
            const QRect desk = screen->geometry();
            setGeometry(desk.left() + (desk.width() - width()) / 2,
                        desk.top() + (desk.height() - height()) / 2, width(), height());
        }
    }
    QWidget::setVisible(visible);
}

void TForm::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}
