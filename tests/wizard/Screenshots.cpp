// Walks the real windows through the whole road on a real display and
// saves a picture of every window, for a person to look at, and keeps the
// site the walk built in OUTPUT_FOLDER/site for a browser to show.
// Usage: pixelnook_screenshots OUTPUT_FOLDER  (run under xvfb-run)
#include "WizardTestSupport.h"

#include "app/Application.h"
#include "app/CreateForms.h"
#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "wizard/CompletedPage.h"
#include "wizard/FolderSettingsPage.h"
#include "wizard/PictureListPage.h"
#include "wizard/ProgressGauge.h"
#include "wizard/ProgressWindow.h"
#include "wizard/SiteDetailsPage.h"
#include "wizard/SiteFolderChooser.h"
#include "wizard/TemplatePage.h"
#include "wizard/WelcomePage.h"
#include "wizard/base/StdCtrls.h"
#include "wizard/base/WizardForms.h"

#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <filesystem>
#include <system_error>

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

// A landscape instead of a flat colour, so that the thumbnails on the built
// site's page look like the photos they stand for.
bool WriteLandscape(const QString &path, const QColor &sky, const QColor &hill, int sunX)
{
    QImage image(800, 600, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient skyFill(0, 0, 0, 420);
    skyFill.setColorAt(0.0, sky.darker(130));
    skyFill.setColorAt(1.0, sky.lighter(140));
    p.fillRect(image.rect(), skyFill);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xf4, 0xc0));
    p.drawEllipse(QPointF(sunX, 140), 48, 48);
    for (int layer = 0; layer < 2; ++layer) {
        QPainterPath ridge;
        const double top = 330 + 90 * layer;
        ridge.moveTo(0, 600);
        ridge.lineTo(0, top + 40);
        ridge.cubicTo(QPointF(220 + 120 * layer, top - 110), QPointF(480, top + 120),
                      QPointF(800, top - 20));
        ridge.lineTo(800, 600);
        ridge.closeSubpath();
        p.fillPath(ridge, layer == 0 ? hill.lighter(125) : hill);
    }
    p.end();
    return image.save(path, "JPEG", 90);
}

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
    const struct {
        const char *Name;
        QColor Sky;
        QColor Hill;
        int SunX;
    } scenes[] = {
        {"beach.jpg", QColor(0x6c, 0xb8, 0xf0), QColor(0xd8, 0xb0, 0x60), 620},
        {"sunset over the bay.jpg", QColor(0xf5, 0x7a, 0x5a), QColor(0x5a, 0x2a, 0x3a), 400},
        {"IMG_0042.JPG", QColor(0x9a, 0xd0, 0xf8), QColor(0x2f, 0x8f, 0x5a), 180},
        {"dinner.jpeg", QColor(0xff, 0xb0, 0x5c), QColor(0x8a, 0x3a, 0x1a), 560},
        {"harbour.jpg", QColor(0x7e, 0xc8, 0xff), QColor(0x36, 0x96, 0x4e), 300},
        {"the old lighthouse.jpg", QColor(0xff, 0xc8, 0x6a), QColor(0x6a, 0x30, 0x20), 650},
        {"IMG_0057.JPG", QColor(0x88, 0xc0, 0xe8), QColor(0x44, 0xa0, 0x60), 240},
        {"dunes.jpg", QColor(0xa8, 0xd8, 0xff), QColor(0xc8, 0x98, 0x48), 520},
        {"evening.jpg", QColor(0xff, 0x94, 0x4a), QColor(0x4a, 0x28, 0x40), 360},
        {"last day.jpg", QColor(0x6c, 0xb0, 0xe0), QColor(0x3e, 0xa8, 0x4a), 700},
    };
    for (const auto &scene : scenes) {
        photos << home.filePath(QStringLiteral("Pictures/Holiday 2026/") + scene.Name);
        WriteLandscape(photos.last(), scene.Sky, scene.Hill, scene.SunX);
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
        QTest::qWait(300); // the folder tree fills in the background
        ok &= Save(Forms.Form8, QStringLiteral("8-site-folder-chooser"));
        Click(Forms.Form8->xpButton1);

        Click(Forms.Form2->xpCheckBox1);
        ok &= Save(Forms.Form2, QStringLiteral("2-folder-settings-chosen"));
        Click(Forms.Form2->xpButton2);

        Retype(Forms.Form3->Edit1, QStringLiteral("Holiday 2026"));
        Retype(Forms.Form3->Memo1,
               QStringLiteral("Two weeks at the sea.\nPictures of the beach, the bay and the "
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

        // The built site outlives the scratch home, for scripts/screenshots
        // to open in a browser.
        const std::filesystem::path site = (OutputFolder + QStringLiteral("/site")).toStdString();
        std::error_code error;
        std::filesystem::remove_all(site, error);
        std::filesystem::copy(home.filePath(QStringLiteral("Pictures/holiday-site")).toStdString(),
                              site, std::filesystem::copy_options::recursive, error);
        ok &= !error;
        std::printf("%s %s\n", error ? "FAILED" : "kept", site.c_str());

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
                        QStringLiteral("You MUST select a folder to save the site to"),
                        QMessageBox::Ok);
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
