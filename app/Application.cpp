#include "Application.h"

#include "CreateForms.h"
#include "controls/PixelnookFont.h"
#include "site/FileSystem.h"
#include "wizard/WelcomePage.h"
#include "wizard/base/ErrorReport.h"
#include "wizard/base/WizardForms.h"

#include <QIcon>

#include <exception>

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("pixelnook"));
    // The menu entry's id, so that a Wayland desktop matches the windows to it.
    setDesktopFileName(QStringLiteral(PIXELNOOK_APP_ID));
    // The pages are separate windows; the program ends only by the
    // WelcomePage's close or a "Quit".
    setQuitOnLastWindowClosed(false);
    // Every window, dialog and message box in the program's own font.
    setFont(PixelnookFont());
    // A file-size limit makes a write fail (and the build report it) rather
    // than end the program with files cut short.
    pixelnook::FailWritesPastTheFileSizeLimit();
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    // The last net: the handlers that can fail report through their own
    // guard, but no exception may unwind through Qt's dispatch.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        ReportException(e);
    } catch (...) {
        ShowErrorReport(QStringLiteral("Unknown error"));
    }
    return false;
}

QIcon PixelnookIcon()
{
    // Every size drawn for itself, so that a dense screen or a task switcher
    // never shows the 64 px icon blown up.
    QIcon icon;
    icon.addFile(QStringLiteral(":/wizard/pixelnook-48.png"));
    icon.addFile(QStringLiteral(":/wizard/pixelnook.png"));
    icon.addFile(QStringLiteral(":/wizard/pixelnook-128.png"));
    icon.addFile(QStringLiteral(":/wizard/pixelnook-256.png"));
    return icon;
}

int RunPixelnook(TApplication &Application)
{
    Application.setWindowIcon(PixelnookIcon());
    CreateForms();
    Forms.Form1->Show();
    const int result = Application.exec();
    DestroyForms();
    return result;
}
