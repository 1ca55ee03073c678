// The template page: the six panels and their highlight, a missing
// template file, the custom template box, field and dialog, and the two
// checks "Build Site" makes before anything is written.
#include "WizardTestSupport.h"

#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "wizard/CompletedPage.h"
#include "wizard/ProgressWindow.h"
#include "wizard/TemplatePage.h"
#include "wizard/WelcomePage.h"
#include "wizard/base/StdCtrls.h"
#include "wizard/base/WizardForms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <optional>

namespace {

// The panel drawn pressed in (both bevels lowered), 0 for none; -1 when
// the bevels of some panel disagree.
int LoweredPanel()
{
    int lowered = 0;
    for (int n = 1; n <= 6; ++n) {
        const TPanel *panel = Forms.Form5->Panels[n - 1];
        if (panel->BevelInner() != panel->BevelOuter())
            return -1;
        if (panel->BevelOuter() == TPanel::bvLowered) {
            if (lowered)
                return -1;
            lowered = n;
        }
    }
    return lowered;
}

const char *kCustomMarker = "<!-- the user's own template -->";

} // namespace

class TemplatePageTests : public QObject {
    Q_OBJECT
    std::optional<TWizardFixture> Fixture;
    std::optional<QTemporaryDir> Scratch;

    QString SiteFolder() const { return Scratch->filePath(QStringLiteral("site")); }

    // A program folder holding only the templates whose numbers are given.
    QString ProgramFolderWith(const QString &present)
    {
        const QString folder = Scratch->filePath(QStringLiteral("program/"));
        QDir().mkpath(folder + QStringLiteral("templates"));
        for (QChar n : present) {
            const QString name = QStringLiteral("templates/template%1.html").arg(n);
            QFile::copy(Forms.Form5->ProgramFolder + name, folder + name);
        }
        return folder;
    }

    // A template of the user's own: a built-in one with a mark in it.
    QString WriteCustomTemplate()
    {
        const QString path = Scratch->filePath(QStringLiteral("mine.html"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(
            ReadAll(Forms.Form5->ProgramFolder + QStringLiteral("templates/template1.html")));
        file.write(kCustomMarker);
        return path;
    }

private slots:
    void init()
    {
        Scratch.emplace();
        Fixture.emplace();
        const QString picture = Scratch->filePath(QStringLiteral("p1.jpg"));
        QVERIFY(WriteJpeg(picture, 200, 150, Qt::darkGreen));
        QVERIFY(WalkToPage(Fixture->Desktop, kTemplatePage, {SiteFolder(), {picture}}));
    }
    void cleanup()
    {
        Fixture.reset();
        Scratch.reset();
    }

    void startsWithNothingPicked()
    {
        QCOMPARE(LoweredPanel(), 0);
        QCOMPARE(Forms.Form5->TemplateSelected, std::string("false"));
        QVERIFY(!Forms.Form5->xpCheckBox1->Checked());
        QVERIFY(!Forms.Form5->Edit1->isEnabled() && !Forms.Form5->xpButton1->isEnabled());
        QVERIFY(!Forms.Form5->PageBuffer->isVisible());
        QVERIFY(Forms.Form5->ProgramFolder.endsWith(QLatin1Char('/')));
        for (const TImage *image : Forms.Form5->Images)
            QCOMPARE(image->Picture().size(), QSize(129, 73));
    }

    // Clicks on panels ("P") or their pictures ("I"), or keys on a focused
    // panel; a template whose file is missing is refused and leaves the
    // earlier pick as it was.
    void pickBuiltInTemplate_data()
    {
        QTest::addColumn<QString>("present");
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<int>("lowered");
        QTest::addColumn<int>("picked");      // template number in TemplatePath, 0 = none
        QTest::addColumn<QString>("missing"); // the refused template numbers, in order
        QTest::newRow("panel 2 then panel 5") << "123456"
                                              << "P2P5" << 5 << 5 << "";
        QTest::newRow("the picture of panel 4") << "123456"
                                                << "I4" << 4 << 4 << "";
        QTest::newRow("picture then panel") << "123456"
                                            << "I1P6" << 6 << 6 << "";
        QTest::newRow("missing after a pick") << "12456"
                                              << "P1P3" << 1 << 1 << "3";
        QTest::newRow("missing, nothing picked") << ""
                                                 << "I6P2" << 0 << 0 << "62";
        QTest::newRow("missing then present") << "2"
                                              << "P3P2" << 2 << 2 << "3";
        // By keyboard ("S" Space, "R" Return, "E" Enter on the focused panel).
        QTest::newRow("Space on panel 3, Return on panel 6") << "123456"
                                                             << "S3R6" << 6 << 6 << "";
        QTest::newRow("Enter on panel 2") << "123456"
                                          << "E2" << 2 << 2 << "";
        QTest::newRow("missing by key after a pick") << "12456"
                                                     << "S1R3" << 1 << 1 << "3";
    }

    void pickBuiltInTemplate()
    {
        QFETCH(QString, present);
        QFETCH(QString, clicks);
        QFETCH(int, lowered);
        QFETCH(int, picked);
        QFETCH(QString, missing);
        const QString folder = ProgramFolderWith(present);
        Forms.Form5->ProgramFolder = folder;
        for (int i = 0; i < clicks.size(); i += 2) {
            const int n = clicks[i + 1].digitValue();
            TPanel *panel = Forms.Form5->Panels[n - 1];
            const QChar how = clicks[i];
            if (how == QLatin1Char('P')) {
                QTest::mouseClick(panel, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
            } else if (how == QLatin1Char('I')) {
                Click(Forms.Form5->Images[n - 1]);
            } else {
                panel->setFocus(Qt::TabFocusReason);
                QTest::keyClick(panel, how == QLatin1Char('S')   ? Qt::Key_Space
                                       : how == QLatin1Char('R') ? Qt::Key_Return
                                                                 : Qt::Key_Enter);
            }
        }
        QCOMPARE(LoweredPanel(), lowered);
        QCOMPARE(Forms.Form5->TemplateSelected, std::string(picked ? "true" : "false"));
        QCOMPARE(QString::fromStdString(Forms.Form5->TemplatePath),
                 picked ? folder + QStringLiteral("templates/template%1.html").arg(picked)
                        : QString());
        QStringList expected;
        for (QChar n : missing)
            expected << QStringLiteral("The file '%1templates/template%2.html' could not be found. "
                                       "Please re-install")
                            .arg(folder)
                            .arg(n);
        QCOMPARE(Fixture->Desktop.MessageTexts(), expected);
        for (const auto &message : Fixture->Desktop.Messages)
            QCOMPARE(message.Title, QStringLiteral("Error"));
    }

    void customTemplateBoxFieldAndDialog()
    {
        TForm5 *page = Forms.Form5;
        Click(page->xpCheckBox1);
        QVERIFY(page->Edit1->isEnabled() && page->xpButton1->isEnabled());
        Fixture->Desktop.TemplateAnswers << QStringLiteral("/some/where/mine.html") << QString();
        Click(page->xpButton1);
        QCOMPARE(page->Edit1->text(), QStringLiteral("/some/where/mine.html"));
        Click(page->xpButton1); // cancelled: nothing changes
        QCOMPARE(page->Edit1->text(), QStringLiteral("/some/where/mine.html"));
        QCOMPARE(Fixture->Desktop.TemplateStartFolders, QStringList(2, page->ProgramFolder));
        Click(page->xpCheckBox1);
        QVERIFY(!page->Edit1->isEnabled() && !page->xpButton1->isEnabled());
        QCOMPARE(page->Edit1->text(), QStringLiteral("/some/where/mine.html"));
    }

    // What "Build Site" checks first: nothing is written and no window
    // changes when a check fails.
    void buildSiteChecks_data()
    {
        QTest::addColumn<bool>("useCustom");
        QTest::addColumn<QString>("custom");  // "", "missing" or "file"
        QTest::addColumn<int>("builtIn");     // panel clicked first, 0 = none
        QTest::addColumn<bool>("untick");     // untick "Use custom Template" before building
        QTest::addColumn<QString>("message"); // "" = the site is built
        QTest::addColumn<bool>("customUsed");
        const QString mustSelect =
            QStringLiteral("You MUST select a template or use a custom one to continue");
        const QString didnt =
            QStringLiteral("You didn't select a template, please select one then click Build");
        QTest::newRow("custom on, empty path, built-in picked")
            << true << "" << 2 << false << mustSelect << false;
        QTest::newRow("custom on, missing file")
            << true << "missing" << 2 << false << mustSelect << false;
        QTest::newRow("custom on, file, nothing picked")
            << true << "file" << 0 << false << "" << true;
        QTest::newRow("nothing picked") << false << "" << 0 << false << didnt << false;
        QTest::newRow("built-in picked") << false << "" << 3 << false << "" << false;
        QTest::newRow("custom chosen, unticked, built-in picked")
            << true << "file" << 5 << true << "" << true;
        QTest::newRow("custom chosen, unticked, nothing picked")
            << true << "file" << 0 << true << didnt << false;
    }

    void buildSiteChecks()
    {
        QFETCH(bool, useCustom);
        QFETCH(QString, custom);
        QFETCH(int, builtIn);
        QFETCH(bool, untick);
        QFETCH(QString, message);
        QFETCH(bool, customUsed);
        TForm5 *page = Forms.Form5;
        if (builtIn)
            Click(page->Images[builtIn - 1]);
        if (useCustom) {
            Click(page->xpCheckBox1);
            if (!custom.isEmpty()) {
                Fixture->Desktop.TemplateAnswers
                    << (custom == QLatin1String("file") ? WriteCustomTemplate()
                                                        : Scratch->filePath("gone.html"));
                Click(page->xpButton1);
            }
            if (untick)
                Click(page->xpCheckBox1);
        }
        const QString customPath = page->Edit1->text();
        Click(page->xpButton3);
        const QString index = SiteFolder() + QStringLiteral("/index1.html");
        if (!message.isEmpty()) {
            QCOMPARE(Fixture->Desktop.MessageTexts(), QStringList{message});
            QCOMPARE(Fixture->Desktop.Messages[0].Title, QStringLiteral("Error"));
            QVERIFY(!QFileInfo::exists(SiteFolder()));
            QVERIFY(page->isVisible());
            QVERIFY(!Forms.Form6->isVisible() && !Forms.Form7->isVisible());
            return;
        }
        QVERIFY2(Fixture->Desktop.Messages.isEmpty(),
                 qPrintable(Fixture->Desktop.MessageTexts().join('\n')));
        QVERIFY(Forms.Form7->isVisible());
        QCOMPARE(ReadAll(index).contains(kCustomMarker), customUsed);
        if (customUsed) // the user's file has taken the built-in one's place
            QCOMPARE(QString::fromStdString(page->TemplatePath), customPath);
    }

    // "Start Site" clears the pick but not its highlight: the panel still
    // looks pressed, and "Build Site" asks for a template.
    void startSiteLeavesHighlightOnly()
    {
        Click(Forms.Form5->Images[2]);
        Click(Forms.Form5->xpButton2);
        Click(Forms.Form1->xpButton1);
        QCOMPARE(LoweredPanel(), 3);
        QCOMPARE(Forms.Form5->TemplateSelected, std::string("false"));
        Forms.Form5->Show();
        Click(Forms.Form5->xpButton3);
        QCOMPARE(Fixture->Desktop.MessageTexts(),
                 QStringList{"You didn't select a template, please select one then click Build"});
    }
};

WIZARD_TEST_GROUP(TemplatePageTests);

#include "TemplatePageTests.moc"
