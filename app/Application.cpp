#include "Application.h"

#include "ErrorReport.h"
#include "FileSystem.h"
#include "WizardForms.h"
#include "PixelnookFont.h"
#include "WelcomePage.h"

#include <QIcon>

#include <exception>

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("pixelnook"));
    setDesktopFileName(QStringLiteral("pixelnook"));
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

int RunPixelnook(TApplication &Application)
{
    Application.setWindowIcon(QIcon(QStringLiteral(":/wizard/pixelnook.png")));
    CreateForms();
    Forms.Form1->Show();
    const int result = Application.exec();
    DestroyForms();
    return result;
}
