#include "WizardTestSupport.h"

#include "app/CreateForms.h"
#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "wizard/FolderSettingsPage.h"
#include "wizard/PictureListPage.h"
#include "wizard/SiteDetailsPage.h"
#include "wizard/SiteFolderChooser.h"
#include "wizard/TemplatePage.h"
#include "wizard/WelcomePage.h"
#include "wizard/base/WizardForms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

void TRecordingPlatform::MessageBox(QWidget *, const QString &Title, const QString &Text)
{
    Messages.append({Title, Text});
}

QStringList TRecordingPlatform::OpenPictures(QWidget *)
{
    ++PictureDialogRuns;
    return PictureAnswers.isEmpty() ? QStringList() : PictureAnswers.takeFirst();
}

QString TRecordingPlatform::OpenTemplate(QWidget *, const QString &StartFolder)
{
    TemplateStartFolders.append(StartFolder);
    return TemplateAnswers.isEmpty() ? QString() : TemplateAnswers.takeFirst();
}

void TRecordingPlatform::OpenInBrowser(const QString &Path)
{
    BrowserPaths.append(Path);
}

void TRecordingPlatform::EndProgram()
{
    ++EndProgramCalls;
}

QStringList TRecordingPlatform::MessageTexts() const
{
    QStringList texts;
    for (const auto &message : Messages)
        texts << message.Text;
    return texts;
}

TWizardFixture::TWizardFixture()
{
    Desktop::Install(&Desktop);
    CreateForms();
    Forms.Form1->Show();
}

TWizardFixture::~TWizardFixture()
{
    DestroyForms();
    Desktop::Install(nullptr);
}

void Click(QWidget *Control)
{
    if (!Control->isVisible() || !Control->isEnabled())
        QFAIL(qPrintable(QStringLiteral("clicked a control that cannot be clicked: ") +
                         Control->window()->windowTitle()));
    QTest::mouseClick(Control, Qt::LeftButton, Qt::NoModifier, Control->rect().center());
}

void Click(TxpButton *Button)
{
    Click(static_cast<QWidget *>(Button));
}

void Click(TxpCheckBox *Box)
{
    Click(static_cast<QWidget *>(Box));
}

void Retype(QWidget *Edit, const QString &Text)
{
    QTest::keyClick(Edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(Edit, Qt::Key_Delete);
    const QStringList lines = Text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(Edit, Qt::Key_Return);
        QTest::keyClicks(Edit, lines[i]);
    }
}

bool WriteJpeg(const QString &Path, int Width, int Height, Qt::GlobalColor Colour)
{
    QImage image(Width, Height, QImage::Format_RGB32);
    image.fill(Colour);
    return image.save(Path, "JPEG", 90);
}

QStringList MakePhotos(const QString &Folder, const QStringList &Names)
{
    QDir().mkpath(Folder);
    QStringList paths;
    const Qt::GlobalColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan};
    for (int i = 0; i < Names.size(); ++i) {
        paths << Folder + QLatin1Char('/') + Names[i];
        if (!WriteJpeg(paths.last(), 160 + 20 * i, 120, colours[i % 5]))
            return {};
    }
    return paths;
}

QByteArray ReadAll(const QString &Path)
{
    QFile file(Path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool SelectFolderInTree(const QString &Folder)
{
    const QModelIndex index = Forms.Form8->FolderModel->index(Folder);
    if (!index.isValid())
        return false;
    Forms.Form8->Shelltreeview1->setCurrentIndex(index);
    return true;
}

bool WalkToPage(TRecordingPlatform &Desktop, int Page, const TWalk &Walk)
{
    if (!Forms.Form2->isVisible())
        Click(Forms.Form1->xpButton1);
    if (!Forms.Form2->isVisible())
        return false;
    if (Page == kFolderPage)
        return true;
    Click(Forms.Form2->xpButton1);
    if (!Forms.Form8->isVisible())
        return false;
    if (!Walk.SiteFolder.isEmpty()) {
        const QFileInfo site(Walk.SiteFolder);
        if (!SelectFolderInTree(site.absolutePath()))
            return false;
        Retype(Forms.Form8->Edit1, site.fileName());
    }
    Click(Forms.Form8->xpButton1);
    Click(Forms.Form2->xpButton2);
    if (!Forms.Form3->isVisible())
        return false;
    if (Walk.OnDetailsPage)
        Walk.OnDetailsPage();
    if (Page == kDetailsPage)
        return true;
    Click(Forms.Form3->xpButton1);
    if (!Forms.Form4->isVisible())
        return false;
    if (!Walk.Pictures.isEmpty()) {
        Desktop.PictureAnswers.append(Walk.Pictures);
        Click(Forms.Form4->xpButton3);
    }
    if (Page == kPictureListPage)
        return true;
    Click(Forms.Form4->xpButton6);
    return Forms.Form5->isVisible() && !Forms.Form4->isVisible();
}

QStringList ListNames()
{
    QStringList names;
    for (int i = 0; i < Forms.Form4->ListView1->topLevelItemCount(); ++i)
        names << Forms.Form4->ListView1->topLevelItem(i)->text(0);
    return names;
}

QStringList ListFolders()
{
    QStringList folders;
    for (int i = 0; i < Forms.Form4->ListView1->topLevelItemCount(); ++i)
        folders << Forms.Form4->ListView1->topLevelItem(i)->text(1);
    return folders;
}

int ListSelectedRow()
{
    const auto selected = Forms.Form4->ListView1->selectedItems();
    if (selected.size() > 1)
        return -2;
    return selected.isEmpty() ? -1 : Forms.Form4->ListView1->indexOfTopLevelItem(selected.first());
}
