// What the wizard tests share: how a group of tests registers itself, a
// desktop that records instead of showing modal windows, the eight windows
// created afresh for every test, clicks on the real controls, and fixture
// pictures and folders.
#pragma once

#include "wizard/base/Desktop.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <utility>

class QWidget;
class TxpButton;
class TxpCheckBox;

// A group of wizard tests is one class in a file of the same name, listed
// once in CMakeLists.txt; WIZARD_TEST_GROUP(Name) after the class hands it
// to main(), which runs the group "--class Name" asks for, or every group.
using TTestGroupMaker = QObject *(*)();
bool RegisterTestGroup(const char *Name, TTestGroupMaker Make);
#define WIZARD_TEST_GROUP(Class)                                                                   \
    static const bool Class##Registered =                                                          \
        RegisterTestGroup(#Class, []() -> QObject * { return new Class; })

struct TRecordedMessage {
    QString Title;
    QString Text;
};

class TRecordingPlatform : public Desktop::TDesktop {
public:
    QList<TRecordedMessage> Messages;
    // Answers of the picture dialog, one per run, taken from the front;
    // an empty list (or none left) is a cancel.
    QList<QStringList> PictureAnswers;
    int PictureDialogRuns = 0;
    // Answers of the template dialog, one per run; an empty text is a cancel.
    QStringList TemplateAnswers;
    QStringList TemplateStartFolders;
    QStringList BrowserPaths;
    int EndProgramCalls = 0;

    void MessageBox(QWidget *Owner, const QString &Title, const QString &Text) override;
    QStringList OpenPictures(QWidget *Owner) override;
    QString OpenTemplate(QWidget *Owner, const QString &StartFolder) override;
    void OpenInBrowser(const QString &Path) override;
    void EndProgram() override;

    QStringList MessageTexts() const;
};

// Creates the eight windows and installs the recording desktop; undoes
// both when it goes.
class TWizardFixture {
public:
    TWizardFixture();
    ~TWizardFixture();
    TRecordingPlatform Desktop;
};

// A left click through the window system's path, on a visible control.
void Click(QWidget *Control);
void Click(TxpButton *Button);
void Click(TxpCheckBox *Box);
// Types Text into an edit box after emptying it, as a user would.
void Retype(QWidget *Edit, const QString &Text);

// A small real JPEG of one colour at Path.
bool WriteJpeg(const QString &Path, int Width, int Height, Qt::GlobalColor Colour);
// One small picture of its own colour and width for each name, in Folder
// (made when missing); their paths in the same order, or none when a
// picture could not be written.
QStringList MakePhotos(const QString &Folder, const QStringList &Names);
QByteArray ReadAll(const QString &Path);

// What a walk through the pages enters on its way.
struct TWalk {
    TWalk(QString Folder = {}, QStringList Added = {}, std::function<void()> OnDetails = {})
        : SiteFolder(std::move(Folder)), Pictures(std::move(Added)),
          OnDetailsPage(std::move(OnDetails))
    {
    }

    // Picked in the chooser (its parent in the tree, its name typed); when
    // empty the chooser is closed as it opens.
    QString SiteFolder;
    // Added with one run of the picture dialog, when there are any.
    QStringList Pictures;
    // Runs while the details page is up, before its "Continue".
    std::function<void()> OnDetailsPage;
};

// The pages a walk can stop on, numbered as their windows are.
enum TWalkPage { kFolderPage = 2, kDetailsPage = 3, kPictureListPage = 4, kTemplatePage = 5 };

// Walks from "Start Site" (unless the folder page is open already) to Page
// through the buttons, the way a user does, entering what Walk holds on the
// pages it passes or stops on. Returns false when a page does not come up.
bool WalkToPage(TRecordingPlatform &Desktop, int Page, const TWalk &Walk = {});

// Selects Folder in the chooser's tree, as a click on it would.
bool SelectFolderInTree(const QString &Folder);

// The names in the picture list, top to bottom, and the selected row (-1: none).
QStringList ListNames();
QStringList ListFolders();
int ListSelectedRow();
