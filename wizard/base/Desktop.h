// Everything the wizard asks of the desktop goes through here: the message
// box, the two open-file dialogs, the web browser and ending the program.
// A test installs its own TDesktop to record the requests, so it never
// waits on a modal window.
#pragma once

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

namespace Desktop {

inline constexpr const char *kErrorTitle = "Error";

// The picture dialog's filters: the text shown and the patterns it stands for.
struct TFileFilter {
    QString Text;
    QStringList Patterns;
};
QList<TFileFilter> PictureFilters();
TFileFilter TemplateFilter();

class TDesktop {
public:
    virtual ~TDesktop() = default;
    // A modal box with the error icon and a single "OK" button.
    virtual void MessageBox(QWidget *Owner, const QString &Title, const QString &Text);
    // The picture dialog; the chosen files' absolute paths in the dialog's
    // order, or nothing when cancelled.
    virtual QStringList OpenPictures(QWidget *Owner);
    // The template dialog starting in StartFolder; the chosen file's path,
    // or an empty text when cancelled.
    virtual QString OpenTemplate(QWidget *Owner, const QString &StartFolder);
    // Opens a local file in the user's web browser; the outcome is not looked at.
    virtual void OpenInBrowser(const QString &Path);
    // Stops the message loop, which ends the program.
    virtual void EndProgram();
};

// The platform in use; Install(nullptr) puts the real desktop back.
TDesktop &Platform();
void Install(TDesktop *Replacement);

// Shorthands for the program's own message box titled "Error".
void ShowError(QWidget *Owner, const QString &Text);

// The two dialogs as the program shows them, not yet run (tests look at
// their filters and preview).
QFileDialog *CreatePictureDialog(QWidget *Owner);
QFileDialog *CreateTemplateDialog(QWidget *Owner, const QString &StartFolder);

} // namespace Desktop
