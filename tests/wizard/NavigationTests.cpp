// Moving between the windows: "Go Back" and title-bar closes only hide,
// the WelcomePage's close ends the program, and "Start Site" resets exactly
// the answers it resets.
#include "WizardTestSupport.h"

#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "site/SiteSettings.h"
#include "wizard/CompletedPage.h"
#include "wizard/FolderSettingsPage.h"
#include "wizard/PictureListPage.h"
#include "wizard/ProgressWindow.h"
#include "wizard/SiteDetailsPage.h"
#include "wizard/SiteFolderChooser.h"
#include "wizard/TemplatePage.h"
#include "wizard/WelcomePage.h"
#include "wizard/base/StdCtrls.h"
#include "wizard/base/WizardForms.h"

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <functional>
#include <optional>

namespace {

QString Flag(bool b)
{
    return b ? QStringLiteral("true") : QStringLiteral("false");
}

struct TAnswer {
    const char *Name;
    std::function<QString()> Read;
    // The value after the second "Start Site"; nullptr: the value the user
    // left (read before the reset).
    std::function<QString()> AfterReset;
};

} // namespace

class NavigationTests : public QObject {
    Q_OBJECT
    std::optional<TWizardFixture> Fixture;
    QTemporaryDir Scratch;

    QString Picture() const { return Scratch.filePath(QStringLiteral("a.jpg")); }

private slots:
    void init() { Fixture.emplace(); }
    void cleanup() { Fixture.reset(); }

    void onlyTheWelcomePageAtStart()
    {
        QVERIFY(Forms.Form1->isVisible());
        for (QWidget *w : {static_cast<QWidget *>(Forms.Form2), static_cast<QWidget *>(Forms.Form3),
                           static_cast<QWidget *>(Forms.Form4), static_cast<QWidget *>(Forms.Form5),
                           static_cast<QWidget *>(Forms.Form6), static_cast<QWidget *>(Forms.Form7),
                           static_cast<QWidget *>(Forms.Form8)})
            QVERIFY(!w->isVisible());
        QCOMPARE(Forms.Form5->TemplateSelected, std::string("false"));
    }

    // "Go Back" and the title-bar close hide the page only: the page before
    // it stays hidden and the WelcomePage is what is left in view.
    void goBackAndCloseOnlyHide_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("titleBar");
        QTest::newRow("FolderSettingsPage title bar") << 2 << true;
        QTest::newRow("SiteDetailsPage Go Back") << 3 << false;
        QTest::newRow("SiteDetailsPage title bar") << 3 << true;
        QTest::newRow("PictureListPage Go Back") << 4 << false;
        QTest::newRow("PictureListPage title bar") << 4 << true;
        QTest::newRow("TemplatePage Go Back") << 5 << false;
        QTest::newRow("TemplatePage title bar") << 5 << true;
    }

    void goBackAndCloseOnlyHide()
    {
        QFETCH(int, page);
        QFETCH(bool, titleBar);
        QVERIFY(WriteJpeg(Picture(), 8, 8, Qt::red));
        QVERIFY(WalkToPage(Fixture->Desktop, page, {QString(), {Picture()}}));
        TForm *pages[] = {nullptr, nullptr, Forms.Form2, Forms.Form3, Forms.Form4, Forms.Form5};
        TxpButton *goBack[] = {nullptr,
                               nullptr,
                               nullptr,
                               Forms.Form3->xpButton2,
                               Forms.Form4->xpButton7,
                               Forms.Form5->xpButton2};
        QVERIFY(pages[page]->isVisible());
        if (titleBar)
            QVERIFY(pages[page]->close());
        else
            Click(goBack[page]);
        for (int p = 2; p <= 5; ++p)
            QVERIFY2(!pages[p]->isVisible(), qPrintable(pages[p]->windowTitle()));
        QVERIFY(Forms.Form1->isVisible());
        QCOMPARE(Fixture->Desktop.EndProgramCalls, 0);
        QVERIFY(Fixture->Desktop.Messages.isEmpty());
        // The page keeps what it holds.
        if (page >= 4)
            QCOMPARE(ListNames(), QStringList{"a.jpg"});
    }

    void toolWindowsCloseToHidden()
    {
        Click(Forms.Form1->xpButton1);
        Click(Forms.Form2->xpButton1);
        Forms.Form6->Show();
        QVERIFY(Forms.Form8->close());
        QVERIFY(Forms.Form6->close());
        QVERIFY(!Forms.Form8->isVisible() && !Forms.Form6->isVisible());
        QVERIFY(Forms.Form2->isVisible() && Forms.Form1->isVisible());
        QCOMPARE(Fixture->Desktop.EndProgramCalls, 0);
    }

    // The WelcomePage's "Quit" and its title-bar close end the program,
    // also while a page is open.
    void welcomePageCloseEndsProgram_data()
    {
        QTest::addColumn<bool>("quitButton");
        QTest::addColumn<bool>("pageOpen");
        QTest::newRow("Quit") << true << false;
        QTest::newRow("Quit with a page open") << true << true;
        QTest::newRow("title bar with a page open") << false << true;
    }

    void welcomePageCloseEndsProgram()
    {
        QFETCH(bool, quitButton);
        QFETCH(bool, pageOpen);
        if (pageOpen)
            Click(Forms.Form1->xpButton1);
        if (quitButton)
            Click(Forms.Form1->xpButton2);
        else
            Forms.Form1->close();
        QCOMPARE(Fixture->Desktop.EndProgramCalls, 1);
        QVERIFY(Fixture->Desktop.Messages.isEmpty());
    }

    // Every answer changed through the pages, then back to the WelcomePage
    // and "Start Site" again: each answer is either back at its start value
    // or exactly as the user left it.
    void startSiteResetsWhatItResets_data()
    {
        QTest::addColumn<int>("answer");
        for (int i = 0; i < static_cast<int>(Answers().size()); ++i)
            QTest::newRow(Answers()[i].Name) << i;
    }

    void startSiteResetsWhatItResets()
    {
        QFETCH(int, answer);
        const TAnswer &a = Answers()[answer];
        QVERIFY(WriteJpeg(Picture(), 8, 8, Qt::red));
        const QString tree = Scratch.path();

        Click(Forms.Form1->xpButton1);
        Retype(Forms.Form2->Edit1, "pics");
        Retype(Forms.Form2->Edit2, "small");
        Click(Forms.Form2->xpCheckBox1);
        Retype(Forms.Form2->Edit3, "views");
        Click(Forms.Form2->xpButton1);
        QVERIFY(SelectFolderInTree(tree));
        Retype(Forms.Form8->Edit1, "gallery");
        Click(Forms.Form8->xpButton1);
        Click(Forms.Form2->xpButton2);
        Retype(Forms.Form3->Edit1, "Name");
        Retype(Forms.Form3->Edit2, "Keys");
        Retype(Forms.Form3->Edit3, "pre");
        Retype(Forms.Form3->Edit4, "120");
        Retype(Forms.Form3->Memo1, "first\nsecond");
        Click(Forms.Form3->xpButton1);
        Fixture->Desktop.PictureAnswers.append({Picture()});
        Click(Forms.Form4->xpButton3);
        Click(Forms.Form4->xpButton6);
        Click(Forms.Form5->Images[2]);
        Click(Forms.Form5->xpCheckBox1);
        Fixture->Desktop.TemplateAnswers.append(Scratch.filePath("mine.html"));
        Click(Forms.Form5->xpButton1);
        QVERIFY(Fixture->Desktop.Messages.isEmpty());
        QCOMPARE(Forms.Form5->TemplateSelected, std::string("true"));

        const QString left = a.Read();
        Click(Forms.Form5->xpButton2);
        Click(Forms.Form1->xpButton1);

        QVERIFY(Forms.Form2->isVisible());
        const QString expected = a.AfterReset ? a.AfterReset() : left;
        if (a.AfterReset)
            QVERIFY2(left != expected, "the walk did not change this answer");
        QCOMPARE(a.Read(), expected);
    }

private:
    const std::vector<TAnswer> &Answers()
    {
        static const std::vector<TAnswer> answers = {
            {"TemplateSelected",
             [] { return QString::fromStdString(Forms.Form5->TemplateSelected); },
             [] { return QStringLiteral("false"); }},
            {"TemplatePath", [] { return QString::fromStdString(Forms.Form5->TemplatePath); },
             [] { return QString(); }},
            {"picture list", [] { return ListNames().join('|'); }, [] { return QString(); }},
            {"folder line", [] { return Forms.Form2->Label7->Caption(); },
             [] { return QStringLiteral("Folder:"); }},
            {"images folder", [] { return Forms.Form2->Edit1->text(); },
             [] { return QStringLiteral("images"); }},
            {"thumbnails folder", [] { return Forms.Form2->Edit2->text(); },
             [] { return QStringLiteral("thumbnails"); }},
            {"image pages folder", [] { return Forms.Form2->Edit3->text(); },
             [] { return QStringLiteral("imagepages"); }},
            {"site name", [] { return Forms.Form3->Edit1->text(); },
             [] { return QStringLiteral("My Picture Site"); }},
            {"keywords", [] { return Forms.Form3->Edit2->text(); },
             [] { return QStringLiteral("photos, family pics, holiday, christmas"); }},
            {"thumbnail prefix", [] { return Forms.Form3->Edit3->text(); },
             [] { return QStringLiteral("tn"); }},
            {"thumbnail size", [] { return Forms.Form3->Edit4->text(); },
             [] { return QStringLiteral("85"); }},
            {"description", [] { return QString::fromStdString(Forms.Form3->SiteDescription()); },
             [] {
                 return QStringLiteral(
                     "My pictures of me and my family at the beach side - christmas last year.");
             }},
            {"custom template path", [] { return Forms.Form5->Edit1->text(); },
             [] { return QString(); }},
            {"site folder (current path)", [] { return Forms.Form8->Label4->Caption(); },
             [] { return QDir::homePath() + QStringLiteral("/mysite"); }},
            {"make image pages, its label and box",
             [] {
                 return Flag(Forms.Form2->xpCheckBox1->Checked()) +
                        Flag(Forms.Form2->Label5->isEnabled()) +
                        Flag(Forms.Form2->Edit3->isEnabled());
             },
             nullptr},
            {"use custom template, its box and button",
             [] {
                 return Flag(Forms.Form5->xpCheckBox1->Checked()) +
                        Flag(Forms.Form5->Edit1->isEnabled()) +
                        Flag(Forms.Form5->xpButton1->isEnabled());
             },
             nullptr},
            {"template highlight",
             [] {
                 QString lowered;
                 for (int n = 0; n < 6; ++n)
                     lowered += Forms.Form5->Panels[n]->BevelOuter() == TPanel::bvLowered &&
                                        Forms.Form5->Panels[n]->BevelInner() == TPanel::bvLowered
                                    ? QString::number(n + 1)
                                    : QStringLiteral("-");
                 return lowered;
             },
             nullptr},
            {"chooser name box", [] { return Forms.Form8->Edit1->text(); }, nullptr},
            {"chooser tree selection", [] { return Forms.Form8->SelectedFolder(); }, nullptr},
        };
        return answers;
    }
};

WIZARD_TEST_GROUP(NavigationTests);

#include "NavigationTests.moc"
