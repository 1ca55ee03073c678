// The build from the GUI: the whole road to a site on disk and back to
// "Start Site", what the progress window paints while the build runs, the
// completed page, and a build that stops on an error.
#include "WizardTestSupport.h"

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

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <optional>

namespace {

// What the progress window puts on screen while the build runs: the stage
// text and the gauge's percentage at every paint.
class TPaintLog : public QObject {
public:
    TPaintLog()
    {
        Forms.Form6->Label2->installEventFilter(this);
        Forms.Form6->Gauge1->installEventFilter(this);
    }
    QStringList Texts;
    QList<int> Percents;

    // The values in the order they were first painted, repeats dropped,
    // without what was there before the build.
    static QStringList Steps(QStringList values, const QString &before)
    {
        values.erase(std::unique(values.begin(), values.end()), values.end());
        if (!values.isEmpty() && values.first() == before)
            values.removeFirst();
        return values;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            if (watched == Forms.Form6->Label2)
                Texts << Forms.Form6->Label2->Caption();
            else
                Percents << Forms.Form6->Gauge1->Progress();
        }
        return false;
    }
};

QStringList Numbers(const QList<int> &values)
{
    QStringList texts;
    for (int v : values)
        texts << QString::number(v);
    return texts;
}

} // namespace

class BuildTests : public QObject {
    Q_OBJECT
    std::optional<TWizardFixture> Fixture;
    std::optional<QTemporaryDir> Scratch;

    QString Photo(const QString &name) const { return Scratch->filePath(QStringLiteral("photos/") + name); }
    QString Site() const { return Scratch->filePath(QStringLiteral("out/gallery")); }

    QStringList MakePhotos(const QStringList &names)
    {
        QDir().mkpath(Scratch->filePath(QStringLiteral("out")));
        return ::MakePhotos(Scratch->filePath(QStringLiteral("photos")), names);
    }

private slots:
    void init()
    {
        Scratch.emplace();
        Fixture.emplace();
    }
    void cleanup()
    {
        Fixture.reset();
        Scratch.reset();
    }

    // From "Start Site" to a site on disk, the link, "Start Again" and the
    // next "Start Site", the way a user clicks it.
    void wholeRoad()
    {
        const QStringList photos = MakePhotos({"one.jpg", "Two.JPG", "three.jpeg"});
        QCOMPARE(photos.size(), 3);

        Click(Forms.Form1->xpButton1);
        Click(Forms.Form2->xpButton1);
        QVERIFY(SelectFolderInTree(QFileInfo(Site()).absolutePath()));
        Retype(Forms.Form8->Edit1, QStringLiteral("gallery"));
        Click(Forms.Form8->xpButton1);
        QCOMPARE(Forms.Form2->Label7->Caption(), QStringLiteral("Folder for site: ") + Site());
        Click(Forms.Form2->xpCheckBox1);
        Click(Forms.Form2->xpButton1);   // the chooser stays open from here on
        Click(Forms.Form2->xpButton2);

        Retype(Forms.Form3->Edit1, QStringLiteral("Beach Days"));
        Retype(Forms.Form3->Memo1, QStringLiteral("line one\nline two"));
        Click(Forms.Form3->xpButton1);

        Fixture->Desktop.PictureAnswers.append(photos);
        Click(Forms.Form4->xpButton3);
        QCOMPARE(ListNames(), (QStringList{"one.jpg", "Two.JPG", "three.jpeg"}));
        Click(Forms.Form4->xpButton6);

        Click(Forms.Form5->Images[1]);
        Click(Forms.Form5->xpButton3);
        QVERIFY2(Fixture->Desktop.Messages.isEmpty(), qPrintable(Fixture->Desktop.MessageTexts().join('\n')));

        // The windows at the end of the build.
        QVERIFY(Forms.Form7->isVisible());
        QVERIFY(!Forms.Form5->isVisible());
        QVERIFY(!Forms.Form6->isVisible());
        QVERIFY(Forms.Form8->isVisible());
        QVERIFY(Forms.Form1->isVisible());
        QCOMPARE(Forms.Form6->Label2->Caption(), QStringLiteral("Currently:"));
        QCOMPARE(Forms.Form6->Gauge1->Progress(), 0);
        QCOMPARE(Forms.Form7->Label2->Caption(), QStringLiteral("Your site - Beach Days has been made sucessfully"));
        QCOMPARE(Forms.Form7->Label3->Caption(), QStringLiteral("It contains 3 pictures and is on 1 pages"));
        QVERIFY(Forms.Form7->Label2->width() >= Forms.Form7->Label2->sizeHint().width());

        // The site on disk.
        for (const QString name : {"one.jpg", "Two.JPG", "three.jpeg"}) {
            QCOMPARE(ReadAll(Site() + "/images/" + name), ReadAll(Photo(name)));
            QVERIFY(ReadAll(Site() + "/thumbnails/tn" + name).startsWith("\xFF\xD8"));
            QVERIFY(QFileInfo::exists(Photo(name)));
        }
        for (int k = 1; k <= 3; ++k)
            QVERIFY(QFileInfo::exists(Site() + QStringLiteral("/imagepages/imagepage%1.html").arg(k)));
        const QByteArray index = ReadAll(Site() + "/index1.html");
        QVERIFY(index.contains("<title>Beach Days</title>"));
        QVERIFY(index.contains("line one\r\nline two"));
        QVERIFY(!QFileInfo::exists(Site() + "/index2.html"));

        // The link opens the first gallery page of the path the chooser
        // shows at the moment of the click.
        Click(Forms.Form7->Label4);
        Retype(Forms.Form8->Edit1, QStringLiteral("moved"));
        Click(Forms.Form7->Label4);
        QCOMPARE(Fixture->Desktop.BrowserPaths,
                 (QStringList{Site() + "/index1.html", Scratch->filePath("out/moved/index1.html")}));
        QVERIFY(Forms.Form7->isVisible());

        Click(Forms.Form7->xpButton2);   // "Start Again"
        QVERIFY(Forms.Form1->isVisible());
        QVERIFY(!Forms.Form7->isVisible());
        QCOMPARE(ListNames(), (QStringList{"one.jpg", "Two.JPG", "three.jpeg"}));   // nothing reset yet
        Click(Forms.Form1->xpButton1);
        QVERIFY(Forms.Form2->isVisible());
        QCOMPARE(ListNames(), QStringList{});
        QCOMPARE(Forms.Form2->Label7->Caption(), QStringLiteral("Folder:"));
        QCOMPARE(Forms.Form3->Edit1->text(), QStringLiteral("My Picture Site"));
        QVERIFY(Forms.Form2->xpCheckBox1->Checked());
        QCOMPARE(Fixture->Desktop.EndProgramCalls, 0);
    }

    void completedPageQuitEndsProgram()
    {
        const QStringList photos = MakePhotos({"a.jpg"});
        QVERIFY(WalkToPage(Fixture->Desktop, kTemplatePage, {Site(), photos}));
        Click(Forms.Form5->Images[0]);
        Click(Forms.Form5->xpButton3);
        QVERIFY(Forms.Form7->isVisible());
        QCOMPARE(Forms.Form7->Label3->Caption(), QStringLiteral("It contains 1 pictures and is on 1 pages"));
        Click(Forms.Form7->xpButton1);
        QCOMPARE(Fixture->Desktop.EndProgramCalls, 1);
    }

    // Each stage is on screen (text, then bar) while the build runs, not
    // only once it is over.
    void progressPaintedWhileBuilding_data()
    {
        QTest::addColumn<bool>("imagePages");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("percents");
        const QStringList withoutPages{"Currenty: Building folders for files",
                                       "Currently: Making thumbnails of images",
                                       "Currently: Moving images to the images folder",
                                       "Currently: Making the gallery pages", "Currently:"};
        QStringList withPages = withoutPages;
        withPages.insert(3, QStringLiteral("Currently: Creating images pages"));
        QTest::newRow("image pages off") << false << withoutPages << QStringList{"10", "35", "50", "80", "0"};
        QTest::newRow("image pages on") << true << withPages << QStringList{"10", "35", "50", "65", "80", "0"};
    }

    void progressPaintedWhileBuilding()
    {
        QFETCH(bool, imagePages);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, percents);
        const QStringList photos = MakePhotos({"a.jpg", "b.jpg"});
        Click(Forms.Form1->xpButton1);
        if (imagePages)
            Click(Forms.Form2->xpCheckBox1);
        QVERIFY(WalkToPage(Fixture->Desktop, kTemplatePage, {Site(), photos}));
        Click(Forms.Form5->Images[0]);
        TPaintLog log;
        Click(Forms.Form5->xpButton3);
        QVERIFY(Forms.Form7->isVisible());
        QCOMPARE(TPaintLog::Steps(log.Texts, QStringLiteral("Currently:")), texts);
        QCOMPARE(TPaintLog::Steps(Numbers(log.Percents), QStringLiteral("0")), percents);
        QCOMPARE(QFileInfo::exists(Site() + "/imagepages"), imagePages);
    }

    // An error inside a stage ends the build there: the report with the
    // application's title, the template page and the progress window left
    // open at the stage reached, no completed page; the files made so far
    // stay, and "Build Site" again starts over.
    void buildStopsOnError_data()
    {
        QTest::addColumn<QString>("size");
        QTest::addColumn<bool>("deleteSecond");
        QTest::addColumn<QString>("report");
        QTest::newRow("size in letters") << "abc" << false << "'abc' is not a valid integer value.";
        QTest::newRow("size zero") << "0" << false << "Floating point division by zero.";
        QTest::newRow("picture gone") << "85" << true
                                      << "Cannot open file \"~/photos/b.jpg\". No such file or directory.";
    }

    void buildStopsOnError()
    {
        QFETCH(QString, size);
        QFETCH(bool, deleteSecond);
        QFETCH(QString, report);
        report.replace(QLatin1Char('~'), Scratch->path());
        const QStringList photos = MakePhotos({"a.jpg", "b.jpg", "c.jpg"});
        QVERIFY(WalkToPage(Fixture->Desktop, kTemplatePage,
                           {Site(), photos, [&] { Retype(Forms.Form3->Edit4, size); }}));
        Click(Forms.Form5->Images[0]);
        if (deleteSecond)
            QVERIFY(QFile::remove(photos[1]));

        Click(Forms.Form5->xpButton3);
        QCOMPARE(Fixture->Desktop.Messages.size(), 1);
        QCOMPARE(Fixture->Desktop.Messages[0].Title, QStringLiteral("Quorvex - Pixelnook"));
        QCOMPARE(Fixture->Desktop.Messages[0].Text, report);
        QVERIFY(Forms.Form5->isVisible());
        QVERIFY(Forms.Form6->isVisible());
        QVERIFY(!Forms.Form7->isVisible());
        QCOMPARE(Forms.Form6->Label2->Caption(), QStringLiteral("Currently: Making thumbnails of images"));
        QCOMPARE(Forms.Form6->Gauge1->Progress(), 35);
        QVERIFY(QFileInfo(Site() + "/images").isDir());
        QVERIFY(!QFileInfo::exists(Site() + "/index1.html"));
        if (deleteSecond) {
            QVERIFY(QFileInfo::exists(Site() + "/thumbnails/tna.jpg"));
            // Put back, the same button builds the whole site.
            QVERIFY(WriteJpeg(photos[1], 50, 50, Qt::black));
            Click(Forms.Form5->xpButton3);
            QCOMPARE(Fixture->Desktop.Messages.size(), 1);
            QVERIFY(Forms.Form7->isVisible());
            QVERIFY(!Forms.Form6->isVisible() && !Forms.Form5->isVisible());
            QVERIFY(QFileInfo::exists(Site() + "/index1.html"));
        }
    }
};

WIZARD_TEST_GROUP(BuildTests);

#include "BuildTests.moc"
