// The site details page: empty fields get their defaults back, anything
// else passes unchanged, and the description's line breaks come out CR LF.
#include "WizardTestSupport.h"

#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "wizard/FolderSettingsPage.h"
#include "wizard/PictureListPage.h"
#include "wizard/SiteDetailsPage.h"
#include "wizard/SiteFolderChooser.h"
#include "wizard/WelcomePage.h"
#include "wizard/base/StdCtrls.h"
#include "wizard/base/WizardForms.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <optional>

class DetailsPageTests : public QObject {
    Q_OBJECT
    std::optional<TWizardFixture> Fixture;

private slots:
    void init()
    {
        Fixture.emplace();
        QVERIFY(WalkToPage(Fixture->Desktop, kDetailsPage));
    }
    void cleanup() { Fixture.reset(); }

    void continueRefillsEmptyFields_data()
    {
        // name, description, keywords, prefix, size as typed; then as expected.
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("expected");
        const QStringList defaults{
            "My Picture Site",
            "My pictures of me and my family at the beach side - christmas last year.",
            "photos, family pics, holiday, christmas", "tn", "85"};
        QTest::newRow("all empty") << QStringList{"", "", "", "", ""} << defaults;
        QTest::newRow("letters for the size")
            << QStringList{"A", "B", "C", "D", "abc"} << QStringList{"A", "B", "C", "D", "abc"};
        QTest::newRow("zero size")
            << QStringList{"A", "", "C", "", "0"} << QStringList{"A", defaults[1], "C", "tn", "0"};
        QTest::newRow("blanks are not empty")
            << QStringList{" ", "  ", " ", " ", " "} << QStringList{" ", "  ", " ", " ", " "};
        QTest::newRow("a lone line break is not empty")
            << QStringList{"", "\n", "", "", ""}
            << QStringList{defaults[0], "\r\n", defaults[2], defaults[3], defaults[4]};
    }

    void continueRefillsEmptyFields()
    {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, expected);
        TForm3 *page = Forms.Form3;
        Retype(page->Edit1, typed[0]);
        Retype(page->Memo1, typed[1]);
        Retype(page->Edit2, typed[2]);
        Retype(page->Edit3, typed[3]);
        Retype(page->Edit4, typed[4]);
        Click(page->xpButton1);
        const QStringList actual{page->Edit1->text(),
                                 QString::fromStdString(page->SiteDescription()),
                                 page->Edit2->text(), page->Edit3->text(), page->Edit4->text()};
        QCOMPARE(actual, expected);
        QVERIFY(Fixture->Desktop.Messages.isEmpty());
        QVERIFY(!page->isVisible());
        QVERIFY(Forms.Form4->isVisible());
    }

    // Lines typed with Enter are joined by CR LF; wrapping a long line on
    // screen adds nothing.
    void descriptionLineBreaks_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("three lines") << "one\ntwo\nthree"
                                     << "one\r\ntwo\r\nthree";
        QTest::newRow("empty middle line") << "a\n\nb"
                                           << "a\r\n\r\nb";
        QTest::newRow("trailing break") << "a\n"
                                        << "a\r\n";
        const QString longLine = QString(30, QLatin1Char('w')).append(" ").repeated(8);
        QTest::newRow("long line wraps on screen only") << longLine << longLine;
    }

    void descriptionLineBreaks()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        Retype(Forms.Form3->Memo1, typed);
        QCOMPARE(QString::fromStdString(Forms.Form3->SiteDescription()), expected);
    }

    // Pasted text may break its lines in any way: each CR LF pair, and
    // every other CR or LF, is one line break, given as CR LF (the rule the
    // gallery pages apply to their template).
    void pastedDescriptionLineBreaks_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("expected");
        QTest::newRow("LF") << "a\nb"
                            << "a\r\nb";
        QTest::newRow("CR LF") << "a\r\nb"
                               << "a\r\nb";
        QTest::newRow("lone CR") << "a\rb"
                                 << "a\r\nb";
        QTest::newRow("LF CR") << "a\n\rb"
                               << "a\r\n\r\nb";
        QTest::newRow("CR CR LF") << "a\r\r\nb\r"
                                  << "a\r\n\r\nb\r\n";
    }

    void pastedDescriptionLineBreaks()
    {
        QFETCH(QString, pasted);
        QFETCH(QString, expected);
        QGuiApplication::clipboard()->setText(pasted);
        Retype(Forms.Form3->Memo1, QString());
        QTest::keyClick(Forms.Form3->Memo1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(QString::fromStdString(Forms.Form3->SiteDescription()), expected);
    }

    // No length limit: a long pasted name arrives whole.
    void longTextIsKept()
    {
        const QString name = QStringLiteral("Beach ").repeated(8000);
        QGuiApplication::clipboard()->setText(name);
        Retype(Forms.Form3->Edit1, QString());
        QTest::keyClick(Forms.Form3->Edit1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Forms.Form3->Edit1->text().size(), name.size());
    }

    // The web-ready box sits in the band left of the buttons with its whole
    // caption, is ticked by a click and passes "Continue" as it is.
    void webReadyBox()
    {
        TForm3 *page = Forms.Form3;
        TxpCheckBox *box = page->xpCheckBox1;
        QVERIFY(box->isVisible());
        QVERIFY(!box->Checked());
        QVERIFY(box->geometry().right() < page->xpButton2->geometry().left());
        QVERIFY(box->geometry().top() > page->Bevel2->geometry().bottom());
        QVERIFY(box->geometry().bottom() < page->height());
        // The caption is drawn from x = 20 and clipped 3 pixels short of the right edge.
        QVERIFY(20 + QFontMetrics(box->Font()).horizontalAdvance(box->Caption()) <=
                box->width() - 3);
        Click(box);
        QVERIFY(box->Checked());
        Click(page->xpButton1);
        QVERIFY(Forms.Form4->isVisible());
        QVERIFY(box->Checked());
    }

    void goBackKeepsTheFields()
    {
        Retype(Forms.Form3->Edit1, QStringLiteral("Kept"));
        Click(Forms.Form3->xpButton2);
        QVERIFY(!Forms.Form3->isVisible() && !Forms.Form2->isVisible() &&
                !Forms.Form4->isVisible());
        QCOMPARE(Forms.Form3->Edit1->text(), QStringLiteral("Kept"));
    }
};

WIZARD_TEST_GROUP(DetailsPageTests);

#include "DetailsPageTests.moc"
