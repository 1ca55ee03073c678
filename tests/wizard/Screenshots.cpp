// Walks the real windows through the whole road on a real display and
// saves a picture of every window, for a person to look at.
// Usage: pixelnook_screenshots OUTPUT_FOLDER  (run under xvfb-run)
#include "WizardTestSupport.h"

#include "Application.h"
#include "CompletedPage.h"
#include "FolderSettingsPage.h"
#include "WizardForms.h"
#include "PictureListPage.h"
#include "ProgressGauge.h"
#include "ProgressWindow.h"
#include "SiteDetailsPage.h"
#include "SiteFolderChooser.h"
#include "StdCtrls.h"
#include "TemplatePage.h"
#include "WelcomePage.h"
#include "xpButton.h"
#include "xpCheckBox.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>

namespace {

QString OutputFolder;

bool Save(QWidget *window, const QString &name)
{
    QTest::qWait(150);
    const QString path = OutputFolder + QLatin1Char('/') + name + QStringLiteral(".png");
    const bool ok = window->grab().save(path);
    std::printf("%s %s\n", ok ? "saved" : "FAILED", qPrintable(path));
    return ok;
}

// Takes the screen's own picture of the progress window while the build
// runs, at the copying stage: what the display really shows then, not what
// the window would paint afterwards.
class TDuringBuild : public QObject {
public:
    bool Saved = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !Scheduled && Forms.Form6->Gauge1->Progress() == 50) {
            Scheduled = true;
            // Runs when the progress window next lets the window system in.
            QTimer::singleShot(0, this, [this] {
                const QRect frame = Forms.Form6->frameGeometry();
                const QString path = OutputFolder + QStringLiteral("/6-progress-during-build.png");
                Saved = QGuiApplication::primaryScreen()
                            ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                            .save(path);
                std::printf("%s %s\n", Saved ? "saved" : "FAILED", qPrintable(path));
            });
        }
        return false;
    }

private:
    bool Scheduled = false;
};

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    TApplication application(argc, argv);
    OutputFolder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(OutputFolder);

    QDir(home.path()).mkpath(QStringLiteral("Pictures/Holiday 2026"));
    QStringList photos;
    const Qt::GlobalColor colours[] = {Qt::darkCyan, Qt::darkYellow, Qt::darkMagenta, Qt::darkGreen};
    const char *names[] = {"beach.jpg", "sunset over the bay.jpg", "IMG_0042.JPG", "dinner.jpeg"};
    for (int i = 0; i < 4; ++i) {
        photos << home.filePath(QStringLiteral("Pictures/Holiday 2026/") + names[i]);
        WriteJpeg(photos.last(), 640, 480, colours[i]);
    }

    TRecordingPlatform desktop;
    Desktop::Install(&desktop);
    bool ok = true;
    {
        CreateForms();
        Forms.Form1->Show();
        ok &= Save(Forms.Form1, QStringLiteral("1-welcome"));

        Click(Forms.Form1->xpButton1);
        ok &= Save(Forms.Form2, QStringLiteral("2-folder-settings"));

        Click(Forms.Form2->xpButton1);
        SelectFolderInTree(home.filePath(QStringLiteral("Pictures")));
        Retype(Forms.Form8->Edit1, QStringLiteral("holiday-site"));
        QTest::qWait(300);   // the folder tree fills in the background
        ok &= Save(Forms.Form8, QStringLiteral("8-site-folder-chooser"));
        Click(Forms.Form8->xpButton1);

        Click(Forms.Form2->xpCheckBox1);
        ok &= Save(Forms.Form2, QStringLiteral("2-folder-settings-chosen"));
        Click(Forms.Form2->xpButton2);

        Retype(Forms.Form3->Edit1, QStringLiteral("Holiday 2026"));
        Retype(Forms.Form3->Memo1, QStringLiteral("Two weeks at the sea.\nPictures of the beach, the bay and the "
                                                  "long dinners in the evening."));
        ok &= Save(Forms.Form3, QStringLiteral("3-site-details"));
        Click(Forms.Form3->xpCheckBox1);
        ok &= Save(Forms.Form3, QStringLiteral("3-site-details-web-ready"));
        Click(Forms.Form3->xpButton1);

        desktop.PictureAnswers.append(photos);
        Click(Forms.Form4->xpButton3);
        QTreeWidget *list = Forms.Form4->ListView1;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(list->topLevelItem(1)).center());
        ok &= Save(Forms.Form4, QStringLiteral("4-picture-list"));
        Click(Forms.Form4->xpButton6);

        Click(Forms.Form5->Images[1]);
        ok &= Save(Forms.Form5, QStringLiteral("5-template"));
        Click(Forms.Form5->xpCheckBox1);
        desktop.TemplateAnswers << home.filePath(QStringLiteral("my-own-template.html"));
        Click(Forms.Form5->xpButton1);
        ok &= Save(Forms.Form5, QStringLiteral("5-template-custom"));
        // A chosen custom file would win over the built-in one even unticked.
        Retype(Forms.Form5->Edit1, QString());
        Click(Forms.Form5->xpCheckBox1);

        TDuringBuild duringBuild;
        Forms.Form6->Gauge1->installEventFilter(&duringBuild);
        Click(Forms.Form5->xpButton3);
        Forms.Form6->Gauge1->removeEventFilter(&duringBuild);
        ok &= duringBuild.Saved;
        ok &= Save(Forms.Form7, QStringLiteral("7-completed"));

        // The progress window as a build leaves it at a stage.
        Forms.Form6->Show();
        Forms.Form6->SetStage(QStringLiteral("Currently: Moving images to the images folder"));
        Forms.Form6->SetPercent(50);
        ok &= Save(Forms.Form6, QStringLiteral("6-progress"));
        Forms.Form6->SetStage(QStringLiteral("Currently: Making thumbnails of images"));
        Forms.Form6->SetPercent(35);
        ok &= Save(Forms.Form6, QStringLiteral("6-progress-35"));
        Forms.Form6->hide();

        for (const QString &text : desktop.MessageTexts())
            std::printf("message: %s\n", qPrintable(text));

        QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"),
                        QStringLiteral("You MUST select a folder to save the site to"), QMessageBox::Ok);
        box.show();
        ok &= Save(&box, QStringLiteral("9-message-box"));
        box.hide();

        QFileDialog *dialog = Desktop::CreatePictureDialog(nullptr);
        dialog->setDirectory(home.filePath(QStringLiteral("Pictures/Holiday 2026")));
        dialog->show();
        QTest::qWait(500);
        dialog->selectFile(photos[1]);
        emit dialog->currentChanged(photos[1]);
        ok &= Save(dialog, QStringLiteral("9-picture-dialog"));
        delete dialog;

        DestroyForms();
    }
    Desktop::Install(nullptr);
    return ok ? 0 : 1;
}
