// The build from the GUI: the whole road to a site on disk and back to
// "Start Site", what the progress window paints while the build runs, the
// completed page, and a build that stops on an error.
#include "WizardTestSupport.h"

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

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

#include <QScreen>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace {

// The real build, held after its first thumbnail until the test lets it go
// (or, so that a window thread stuck in the build fails the test instead of
// hanging it, until 15 seconds have passed).
class THeldBuild {
public:
    std::atomic<int> Builds{0};
    std::atomic<bool> Held{false};

    TSiteBuilder Builder()
    {
        return
            [this](const pixelnook::SiteSettings &settings, const pixelnook::PictureList &pictures,
                   pixelnook::TemplateChoice &choice, pixelnook::BuildObserver &observer) {
                ++Builds;
                THold hold(*this, observer);
                return pixelnook::BuildSite(settings, pictures, choice, hold);
            };
    }

    void Release()
    {
        std::lock_guard<std::mutex> lock(FMutex);
        FReleased = true;
        FChanged.notify_all();
    }

private:
    class THold : public pixelnook::BuildObserver {
    public:
        THold(THeldBuild &Owner, pixelnook::BuildObserver &Inner) : FOwner(Owner), FInner(Inner) {}
        void BuildStarted() override { FInner.BuildStarted(); }
        void Progress(const pixelnook::BuildProgress &progress) override
        {
            FInner.Progress(progress);
        }
        void PictureDone(size_t done, size_t total) override
        {
            FInner.PictureDone(done, total);
            if (done != 1)
                return;
            FOwner.Held = true;
            std::unique_lock<std::mutex> lock(FOwner.FMutex);
            FOwner.FChanged.wait_for(lock, std::chrono::seconds(15),
                                     [this] { return FOwner.FReleased; });
            FOwner.Held = false;
        }

    private:
        THeldBuild &FOwner;
        pixelnook::BuildObserver &FInner;
    };

    std::mutex FMutex;
    std::condition_variable FChanged;
    bool FReleased = false;
};

// Counts the paints a widget gets.
class TPaintCounter : public QObject {
public:
    explicit TPaintCounter(QWidget *Watched) { Watched->installEventFilter(this); }
    int Paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++Paints;
        return false;
    }
};

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

// The keyboard as a user's: keys go to the widget with the focus, in the
// window in front. A window that comes up is brought to the front as a
// window manager does.
QWidget *FocusIn(QWidget *window)
{
    if (QApplication::activeWindow() != window) {
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            return nullptr;
    }
    return QApplication::focusWidget();
}

void Press(QWidget *window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *focus = FocusIn(window);
    if (!focus)
        QFAIL(qPrintable(QStringLiteral("nothing has the focus in ") + window->windowTitle()));
    QTest::keyClick(focus, Qt::Key(key), modifiers);
}

// Tabs forward through Target's window until Target has the focus; false
// when a whole round does not reach it.
bool TabTo(QWidget *target)
{
    QWidget *window = target->window();
    for (int presses = 0; presses < 30; ++presses) {
        if (FocusIn(window) == target)
            return true;
        Press(window, Qt::Key_Tab);
    }
    return false;
}

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

    QString Photo(const QString &name) const
    {
        return Scratch->filePath(QStringLiteral("photos/") + name);
    }
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
        Click(Forms.Form2->xpButton1); // the chooser stays open from here on
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
        QVERIFY2(Fixture->Desktop.Messages.isEmpty(),
                 qPrintable(Fixture->Desktop.MessageTexts().join('\n')));

        // The windows at the end of the build.
        QVERIFY(Forms.Form7->isVisible());
        QVERIFY(!Forms.Form5->isVisible());
        QVERIFY(!Forms.Form6->isVisible());
        QVERIFY(Forms.Form8->isVisible());
        QVERIFY(Forms.Form1->isVisible());
        QCOMPARE(Forms.Form6->Label2->Caption(), QStringLiteral("Currently:"));
        QCOMPARE(Forms.Form6->Gauge1->Progress(), 0);
        QCOMPARE(Forms.Form7->Label2->Caption(),
                 QStringLiteral("Your site - Beach Days has been made sucessfully"));
        QCOMPARE(Forms.Form7->Label3->Caption(),
                 QStringLiteral("It contains 3 pictures and is on 1 pages"));
        QVERIFY(Forms.Form7->Label2->width() >= Forms.Form7->Label2->sizeHint().width());
        QVERIFY(!Forms.Form7->Label7->isVisible()); // plain copies, none tells a place
        QVERIFY(!QFileInfo::exists(Site() + "/index.html"));

        // The site on disk.
        for (const QString name : {"one.jpg", "Two.JPG", "three.jpeg"}) {
            QCOMPARE(ReadAll(Site() + "/images/" + name), ReadAll(Photo(name)));
            QVERIFY(ReadAll(Site() + "/thumbnails/tn" + name).startsWith("\xFF\xD8"));
            QVERIFY(QFileInfo::exists(Photo(name)));
        }
        for (int k = 1; k <= 3; ++k)
            QVERIFY(
                QFileInfo::exists(Site() + QStringLiteral("/imagepages/imagepage%1.html").arg(k)));
        const QByteArray index = ReadAll(Site() + "/index1.html");
        QVERIFY(index.contains("<title>Beach Days</title>"));
        QVERIFY(index.contains("line one\r\nline two"));
        QVERIFY(!QFileInfo::exists(Site() + "/index2.html"));

        // The link opens the first gallery page of the path the chooser
        // shows at the moment of the click.
        Click(Forms.Form7->Label4);
        Retype(Forms.Form8->Edit1, QStringLiteral("moved"));
        Click(Forms.Form7->Label4);
        QCOMPARE(
            Fixture->Desktop.BrowserPaths,
            (QStringList{Site() + "/index1.html", Scratch->filePath("out/moved/index1.html")}));
        QVERIFY(Forms.Form7->isVisible());

        Click(Forms.Form7->xpButton2); // "Start Again"
        QVERIFY(Forms.Form1->isVisible());
        QVERIFY(!Forms.Form7->isVisible());
        QCOMPARE(ListNames(),
                 (QStringList{"one.jpg", "Two.JPG", "three.jpeg"})); // nothing reset yet
        Click(Forms.Form1->xpButton1);
        QVERIFY(Forms.Form2->isVisible());
        QCOMPARE(ListNames(), QStringList{});
        QCOMPARE(Forms.Form2->Label7->Caption(), QStringLiteral("Folder:"));
        QCOMPARE(Forms.Form3->Edit1->text(), QStringLiteral("My Picture Site"));
        QVERIFY(Forms.Form2->xpCheckBox1->Checked());
        QCOMPARE(Fixture->Desktop.EndProgramCalls, 0);
    }

    // The whole road by keyboard alone: Tab to each control, Space or Return
    // to press it, a built-in template picked on its panel, and the link
    // opened with Return.
    void keyboardOnlyRoad()
    {
        const QStringList photos = MakePhotos({"one.jpg", "two.jpg"});
        Fixture->Desktop.PictureAnswers.append(photos);

        QVERIFY(TabTo(Forms.Form1->xpButton1)); // "Start Site"
        Press(Forms.Form1, Qt::Key_Space);
        QVERIFY(Forms.Form2->isVisible());
        QVERIFY(TabTo(Forms.Form2->xpButton1)); // "Browse"
        Press(Forms.Form2, Qt::Key_Return);
        QVERIFY(Forms.Form8->isVisible());
        QVERIFY(TabTo(Forms.Form8->Edit1));
        Press(Forms.Form8, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(Forms.Form8->Edit1, QStringLiteral("keyboard-site"));
        const QString site = Forms.Form8->Label4->Caption();
        QVERIFY(site.endsWith(QStringLiteral("/keyboard-site")));
        QVERIFY(TabTo(Forms.Form8->xpButton1)); // "Close"
        Press(Forms.Form8, Qt::Key_Space);
        QVERIFY(!Forms.Form8->isVisible());
        QVERIFY(TabTo(Forms.Form2->xpButton2)); // "Continue -->"
        Press(Forms.Form2, Qt::Key_Return);
        QVERIFY(Forms.Form3->isVisible());
        QVERIFY(TabTo(Forms.Form3->xpButton1)); // "Continue"
        Press(Forms.Form3, Qt::Key_Return);
        QVERIFY(Forms.Form4->isVisible());

        QVERIFY(TabTo(Forms.Form4->xpButton3)); // "Add Picture"
        Press(Forms.Form4, Qt::Key_Space);
        QCOMPARE(ListNames(), (QStringList{"one.jpg", "two.jpg"}));
        QCOMPARE(ListSelectedRow(), -1);
        // Taking the focus selects the current row, so "Move Down" acts at once.
        QVERIFY(TabTo(Forms.Form4->ListView1));
        QCOMPARE(ListSelectedRow(), 0);
        QVERIFY(TabTo(Forms.Form4->xpButton1)); // "Move Down"
        Press(Forms.Form4, Qt::Key_Space);
        QCOMPARE(ListNames(), (QStringList{"two.jpg", "one.jpg"}));
        QVERIFY(TabTo(Forms.Form4->xpButton6)); // "Continue"
        Press(Forms.Form4, Qt::Key_Return);
        QVERIFY(Forms.Form5->isVisible());

        // The panels take the focus before everything else, in their order,
        // and show it.
        TPanel *panel = Forms.Form5->Panels[3];
        const QImage unfocused = panel->grab().toImage();
        QCOMPARE(FocusIn(Forms.Form5), Forms.Form5->Panels[0]);
        QVERIFY(TabTo(panel));
        QVERIFY(panel->grab().toImage() != unfocused);
        Press(Forms.Form5, Qt::Key_Space);
        QCOMPARE(panel->BevelOuter(), TPanel::bvLowered);
        QCOMPARE(Forms.Form5->TemplateSelected, std::string("true"));
        QVERIFY(TabTo(Forms.Form5->xpButton3)); // "Build Site"
        Press(Forms.Form5, Qt::Key_Return);
        QVERIFY2(Fixture->Desktop.Messages.isEmpty(),
                 qPrintable(Fixture->Desktop.MessageTexts().join('\n')));
        QVERIFY(Forms.Form7->isVisible());
        QCOMPARE(Forms.Form7->Label3->Caption(),
                 QStringLiteral("It contains 2 pictures and is on 1 pages"));
        QVERIFY(ReadAll(site + "/index1.html").contains("thumbnails/tntwo.jpg"));

        QVERIFY(TabTo(Forms.Form7->Label4));
        Press(Forms.Form7, Qt::Key_Return);
        QCOMPARE(Fixture->Desktop.BrowserPaths, QStringList{site + "/index1.html"});
        QVERIFY(QDir(site).removeRecursively());
    }

    // The web-ready box is read when "Build Site" is pressed: new copies, a
    // front page and a third line on the completed page; the next "Start
    // Site" clears the box.
    void webReadyBuild()
    {
        const QStringList photos = MakePhotos({"a.jpg", "b.jpg"});
        QVERIFY(WalkToPage(Fixture->Desktop, kTemplatePage, {Site(), photos}));
        QVERIFY(!Forms.Form3->xpCheckBox1->Checked());
        Forms.Form3->xpCheckBox1->SetChecked(true);
        Click(Forms.Form5->Images[0]);
        Click(Forms.Form5->xpButton3);
        QVERIFY(Forms.Form7->isVisible());
        QCOMPARE(Forms.Form7->Label3->Caption(),
                 QStringLiteral("It contains 2 pictures and is on 1 pages"));
        QVERIFY(Forms.Form7->Label7->isVisible());
        QVERIFY2(Forms.Form7->Label7->Caption().startsWith(QStringLiteral("Pictures ")),
                 qPrintable(Forms.Form7->Label7->Caption()));
        QVERIFY(Forms.Form7->Label7->geometry().bottom() < Forms.Form7->Label4->geometry().top());
        QVERIFY(Forms.Form7->Label7->geometry().top() > Forms.Form7->Label3->geometry().bottom());
        const QByteArray copy = ReadAll(Site() + "/images/a.jpg");
        QVERIFY(copy.startsWith("\xFF\xD8"));
        QVERIFY(copy != ReadAll(photos[0]));
        QVERIFY(QFileInfo::exists(Site() + "/index.html"));

        Click(Forms.Form7->xpButton2);                // "Start Again"
        QVERIFY(Forms.Form3->xpCheckBox1->Checked()); // nothing reset yet
        Click(Forms.Form1->xpButton1);                // "Start Site"
        QVERIFY(!Forms.Form3->xpCheckBox1->Checked());
    }

    void completedPageQuitEndsProgram()
    {
        const QStringList photos = MakePhotos({"a.jpg"});
        QVERIFY(WalkToPage(Fixture->Desktop, kTemplatePage, {Site(), photos}));
        Click(Forms.Form5->Images[0]);
        Click(Forms.Form5->xpButton3);
        QVERIFY(Forms.Form7->isVisible());
        QCOMPARE(Forms.Form7->Label3->Caption(),
                 QStringLiteral("It contains 1 pictures and is on 1 pages"));
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
        QTest::newRow("image pages off")
            << false << withoutPages << QStringList{"10", "35", "50", "80", "0"};
        QTest::newRow("image pages on")
            << true << withPages << QStringList{"10", "35", "50", "65", "80", "0"};
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

    // While the thumbnails are made the progress window is on screen with
    // their stage and 35, and paints again whenever asked; every click, key
    // and close meanwhile is dropped, so the build runs once and the
    // completed page stays.
    void heldBuildPaintsAndRefusesInput()
    {
        const QStringList photos = MakePhotos({"a.jpg", "b.jpg", "c.jpg"});
        QVERIFY(WalkToPage(Fixture->Desktop, kTemplatePage, {Site(), photos}));
        Click(Forms.Form5->Images[2]);
        THeldBuild held;
        Forms.Form5->SiteBuilder = held.Builder();

        bool seenHeld = false;
        bool shownAsItIs = false;
        bool repainted = false;
        bool refused = false;
        QString stage;
        int percent = -1;
        QTimer watch;
        watch.setInterval(10);
        connect(&watch, &QTimer::timeout, [&] {
            if (!held.Held || seenHeld)
                return;
            seenHeld = true;
            TForm6 *progress = Forms.Form6;
            stage = progress->Label2->Caption();
            percent = progress->Gauge1->Progress();
            // What the window system was given to show is the window as it is now.
            const QImage onScreen = progress->screen()
                                        ->grabWindow(progress->winId())
                                        .toImage()
                                        .convertToFormat(QImage::Format_RGB32);
            const QImage rendered =
                progress->grab().toImage().convertToFormat(QImage::Format_RGB32);
            shownAsItIs = progress->isVisible() && !onScreen.isNull() && onScreen == rendered;
            TPaintCounter paints(progress->Gauge1);
            progress->Gauge1->update();
            QTest::qWait(100);
            repainted = paints.Paints > 0;

            Click(Forms.Form5->xpButton3);
            Forms.Form5->xpButton3->setFocus();
            QTest::keyClick(Forms.Form5->xpButton3, Qt::Key_Space);
            QTest::keyClick(Forms.Form5->xpButton3, Qt::Key_Return);
            Click(Forms.Form5->xpButton2); // "Go Back"
            progress->close();
            Forms.Form5->close();
            refused = Forms.Form5->isVisible() && progress->isVisible() && held.Builds == 1;
            held.Release();
        });
        watch.start();
        Click(Forms.Form5->xpButton3);
        watch.stop();
        held.Release();
        QTest::qWait(200);

        QVERIFY2(seenHeld, "the window thread did not run while the thumbnails were made");
        QCOMPARE(stage, QStringLiteral("Currently: Making thumbnails of images"));
        QCOMPARE(percent, 35);
        QVERIFY(shownAsItIs);
        QVERIFY(repainted);
        QVERIFY(refused);
        QCOMPARE(held.Builds.load(), 1);
        QVERIFY(Fixture->Desktop.Messages.isEmpty());
        QVERIFY(Forms.Form7->isVisible());
        QVERIFY(!Forms.Form5->isVisible());
        QVERIFY(!Forms.Form6->isVisible());
        QCOMPARE(Forms.Form7->Label3->Caption(),
                 QStringLiteral("It contains 3 pictures and is on 1 pages"));
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
        // The picture's own failure: the picture's path on a line below.
        QTest::newRow("size zero")
            << "0" << false << "Floating point division by zero.\n~/photos/a.jpg";
        QTest::newRow("picture gone")
            << "85" << true << "Cannot open file \"~/photos/b.jpg\". No such file or directory.";
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
        QCOMPARE(Forms.Form6->Label2->Caption(),
                 QStringLiteral("Currently: Making thumbnails of images"));
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
