// TApplication: the program's QApplication. What escapes an event handler
// is shown in the application-wide error report and the program goes on.
#pragma once

#include <QApplication>
#include <QIcon>

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

// The program's icon at every size it is drawn in (48 to 256 px).
QIcon PixelnookIcon();

// Start-up: title, icon, the eight windows in their fixed order and the
// WelcomePage shown; returns when the message loop ends.
int RunPixelnook(TApplication &Application);
