// The program's real message boxes as a user meets them on a display: the
// template page's two checks and the error report of a build that stops
// part-way each show a QMessageBox that goes away on OK, Return, Space or
// Escape, and title-bar closes are refused only while the build runs.
#include "WizardTestSupport.h"

#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "wizard/CompletedPage.h"
#include "wizard/ProgressGauge.h"
#include "wizard/ProgressWindow.h"
#include "wizard/TemplatePage.h"
#include "wizard/base/StdCtrls.h"
#include "wizard/base/WizardForms.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <optional>

namespace {

// Records the dialogs as the other tests do, but shows the program's real
// message box.
class TRealBoxDesktop : public TRecordingPlatform {
public:
    void MessageBox(QWidget *Owner, const QString &Title, const QString &Text) override
    {
        Desktop::TDesktop::MessageBox(Owner, Title, Text);
    }
};

enum TAnswer { ClickOk, PressReturn, PressSpace, PressEscape };

struct TSeenBox {
    QString Title;
    QString Text;
    QMessageBox::Icon Icon;
    QMessageBox::StandardButtons Buttons;
};

// Answers every message box that comes up the way a user would, and notes
// what each showed. A box still up when its deadline passes is taken down by
// force and counted as stuck, so a box that cannot be closed fails the test
// instead of hanging it.
class TBoxAnswerer : public QObject {
public:
    explicit TBoxAnswerer(TAnswer How) : How(How)
    {
        Poll.setInterval(20);
        connect(&Poll, &QTimer::timeout, this, [this] { Look(); });
        Poll.start();
        Deadline.setSingleShot(true);
        Deadline.setInterval(3000);
        connect(&Deadline, &QTimer::timeout, this, [this] { TakeDown(); });
    }

    QList<TSeenBox> Seen;
    bool Stuck = false;

private:
    TAnswer How;
    QTimer Poll;
    QTimer Deadline;
    QPointer<QMessageBox> Current;

    void Look()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) {
            Current = nullptr;
            Deadline.stop();
            return;
        }
        if (box != Current) {
            Current = box;
            Seen.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
            Deadline.start();
        }
        // Pressed again on every look while it stays up, as a user would.
        Answer(box);
    }

    void Answer(QMessageBox *box)
    {
        QWidget *focus = box->focusWidget() ? box->focusWidget() : box;
        switch (How) {
        case ClickOk:
            if (QAbstractButton *ok = box->button(QMessageBox::Ok))
                QTest::mouseClick(ok, Qt::LeftButton, Qt::NoModifier, ok->rect().center());
            break;
        case PressReturn: QTest::keyClick(focus, Qt::Key_Return); break;
        case PressSpace: QTest::keyClick(focus, Qt::Key_Space); break;
        case PressEscape: QTest::keyClick(focus, Qt::Key_Escape); break;
        }
    }

    void TakeDown()
    {
        Stuck = true;
        // Hiding ends a dialog's own event loop even when its close is lost.
        for (QWidget *window : QApplication::topLevelWidgets())
            if (qobject_cast<QMessageBox *>(window) && window->isVisible())
                window->hide();
    }
};

// At the first paint of the thumbnail stage, while the build runs, tries
// the title-bar close of the progress window and of the template page.
class TCloseDuringBuild : public QObject {
public:
    bool Tried = false;
    bool ProgressStayed = false;
    bool TemplatePageStayed = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !Tried && Forms.Form6->Gauge1->Progress() == 35) {
            Tried = true;
            Forms.Form6->close();
            Forms.Form5->close();
            ProgressStayed = Forms.Form6->isVisible();
            TemplatePageStayed = Forms.Form5->isVisible();
        }
        return false;
    }
};

} // namespace

class MessageBoxTests : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> Scratch;
    std::optional<TWizardFixture> Fixture;
    std::optional<TRealBoxDesktop> Desktop;

    QString Site() const { return Scratch->filePath(QStringLiteral("site")); }

    QStringList MakePhotos(const QStringList &names)
    {
        return ::MakePhotos(Scratch->path(), names);
    }

private slots:
    void init()
    {
        Scratch.emplace();
        Fixture.emplace();
        Desktop.emplace();
        Desktop::Install(&*Desktop);
    }
    void cleanup()
    {
        Desktop::Install(&Fixture->Desktop);
        Desktop.reset();
        Fixture.reset();
        Scratch.reset();
    }

    // Either check refuses the build with a box that closes however the
    // user answers it; the page is left as it was, and nothing stays
    // blocked afterwards.
    void checkMessageCloses_data()
    {
        QTest::addColumn<bool>("custom");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("text");
        const QList<QPair<const char *, TAnswer>> answers = {{"OK clicked", ClickOk},
                                                             {"Return", PressReturn},
                                                             {"Space", PressSpace},
                                                             {"Escape", PressEscape}};
        for (const auto &[name, answer] : answers) {
            QTest::newRow(qPrintable(QStringLiteral("no template, ") + name))
                << false << int(answer)
                << "You didn't select a template, please select one then click Build";
            QTest::newRow(qPrintable(QStringLiteral("custom ticked, no file, ") + name))
                << true << int(answer)
                << "You MUST select a template or use a custom one to continue";
        }
    }

    void checkMessageCloses()
    {
        QFETCH(bool, custom);
        QFETCH(int, answer);
        QFETCH(QString, text);
        QVERIFY(WalkToPage(*Desktop, kTemplatePage, {Site(), MakePhotos({"a.jpg"})}));
        if (custom)
            Click(Forms.Form5->xpCheckBox1);

        TBoxAnswerer answerer(static_cast<TAnswer>(answer));
        Click(Forms.Form5->xpButton3);
        QVERIFY2(!answerer.Stuck, "the message box did not close");
        QCOMPARE(answerer.Seen.size(), 1);
        QCOMPARE(answerer.Seen[0].Title, QStringLiteral("Error"));
        QCOMPARE(answerer.Seen[0].Text, text);
        QCOMPARE(answerer.Seen[0].Icon, QMessageBox::Critical);
        QCOMPARE(answerer.Seen[0].Buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

        QVERIFY(Forms.Form5->isVisible());
        QVERIFY(!Forms.Form6->isVisible());
        QVERIFY(!Forms.Form7->isVisible());
        QVERIFY(!QFileInfo::exists(Site()));
        // The same box again, and then the page's own title-bar close.
        Click(Forms.Form5->xpButton3);
        QVERIFY2(!answerer.Stuck, "the second message box did not close");
        QCOMPARE(answerer.Seen.size(), 2);
        Forms.Form5->close();
        QVERIFY(!Forms.Form5->isVisible());
    }

    // A build that stops on a missing picture: the error report closes on
    // OK, the progress window left at the stage reached closes from its
    // title bar, and "Build Site" again builds the site.
    void errorReportCloses()
    {
        const QStringList photos = MakePhotos({"a.jpg", "b.jpg", "c.jpg"});
        QVERIFY(WalkToPage(*Desktop, kTemplatePage, {Site(), photos}));
        Click(Forms.Form5->Images[2]);
        QVERIFY(QFile::remove(photos[1]));

        TBoxAnswerer answerer(ClickOk);
        Click(Forms.Form5->xpButton3);
        QVERIFY2(!answerer.Stuck, "the error report did not close");
        QCOMPARE(answerer.Seen.size(), 1);
        QCOMPARE(answerer.Seen[0].Title, QStringLiteral("Quorvex - Pixelnook"));
        QCOMPARE(
            answerer.Seen[0].Text,
            QStringLiteral("Cannot open file \"%1\". No such file or directory.").arg(photos[1]));
        QCOMPARE(answerer.Seen[0].Icon, QMessageBox::Critical);
        QVERIFY(QFileInfo::exists(Site() + QStringLiteral("/thumbnails/tna.jpg")));
        QVERIFY(Forms.Form5->isVisible());
        QVERIFY(Forms.Form6->isVisible());
        QVERIFY(!Forms.Form7->isVisible());

        Forms.Form6->close();
        QVERIFY(!Forms.Form6->isVisible());
        QVERIFY(WriteJpeg(photos[1], 60, 60, Qt::darkRed));
        Click(Forms.Form5->xpButton3);
        QVERIFY(!answerer.Stuck);
        QCOMPARE(answerer.Seen.size(), 1);
        QVERIFY(Forms.Form7->isVisible());
        QVERIFY(QFileInfo::exists(Site() + QStringLiteral("/index1.html")));
    }

    // While the build runs, closing the progress window or the template
    // page is refused; once it has ended, windows close again.
    void closesRefusedOnlyWhileBuilding()
    {
        QVERIFY(WalkToPage(*Desktop, kTemplatePage, {Site(), MakePhotos({"a.jpg", "b.jpg"})}));
        Click(Forms.Form5->Images[0]);
        TCloseDuringBuild attempt;
        Forms.Form6->Gauge1->installEventFilter(&attempt);
        Click(Forms.Form5->xpButton3);
        Forms.Form6->Gauge1->removeEventFilter(&attempt);
        QVERIFY(attempt.Tried);
        QVERIFY(attempt.ProgressStayed);
        QVERIFY(attempt.TemplatePageStayed);
        QVERIFY(Forms.Form7->isVisible());
        Forms.Form7->close();
        QVERIFY(!Forms.Form7->isVisible());
    }
};

WIZARD_TEST_GROUP(MessageBoxTests);

#include "MessageBoxTests.moc"
