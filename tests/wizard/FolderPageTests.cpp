// The folder settings page and the site folder chooser: refill-then-check
// on "Continue -->", the folder line, and the current path rule.
#include "WizardTestSupport.h"

#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "wizard/FolderSettingsPage.h"
#include "wizard/SiteDetailsPage.h"
#include "wizard/SiteFolderChooser.h"
#include "wizard/WelcomePage.h"
#include "wizard/base/StdCtrls.h"
#include "wizard/base/WizardForms.h"

#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include <optional>

class FolderPageTests : public QObject {
    Q_OBJECT
    std::optional<TWizardFixture> Fixture;
    QTemporaryDir Scratch;

private slots:
    void init()
    {
        Fixture.emplace();
        Click(Forms.Form1->xpButton1);
    }
    void cleanup() { Fixture.reset(); }

    // Empty boxes are refilled first, whether or not the page may then be
    // left; only a chooser closed since "Start Site" lets it be left.
    void continueRefillsThenChecks_data()
    {
        QTest::addColumn<QString>("images");
        QTest::addColumn<QString>("thumbnails");
        QTest::addColumn<QString>("imagePages"); // typed while the box is on, then switched off
        QTest::addColumn<bool>("chooserClosed");
        QTest::addColumn<QStringList>("expected"); // the three boxes afterwards
        QTest::addColumn<bool>("movesOn");
        QTest::newRow("nothing chosen")
            << "images"
            << "thumbnails"
            << "imagepages" << false << QStringList{"images", "thumbnails", "imagepages"} << false;
        QTest::newRow("two boxes emptied, nothing chosen")
            << ""
            << ""
            << "imagepages" << false << QStringList{"images", "thumbnails", "imagepages"} << false;
        QTest::newRow("disabled image-pages box emptied")
            << "pics"
            << "tn"
            << "" << true << QStringList{"pics", "tn", "imagepages"} << true;
        QTest::newRow("blanks are not empty")
            << "  "
            << " "
            << "   " << true << QStringList{"  ", " ", "   "} << true;
        QTest::newRow("all emptied, chooser closed")
            << ""
            << ""
            << "" << true << QStringList{"images", "thumbnails", "imagepages"} << true;
    }

    void continueRefillsThenChecks()
    {
        QFETCH(QString, images);
        QFETCH(QString, thumbnails);
        QFETCH(QString, imagePages);
        QFETCH(bool, chooserClosed);
        QFETCH(QStringList, expected);
        QFETCH(bool, movesOn);
        TForm2 *page = Forms.Form2;
        Retype(page->Edit1, images);
        Retype(page->Edit2, thumbnails);
        Click(page->xpCheckBox1);
        Retype(page->Edit3, imagePages);
        Click(page->xpCheckBox1);
        QVERIFY(!page->Edit3->isEnabled());
        if (chooserClosed) {
            Click(page->xpButton1);
            Click(Forms.Form8->xpButton1);
        }
        Click(page->xpButton2);
        QCOMPARE((QStringList{page->Edit1->text(), page->Edit2->text(), page->Edit3->text()}),
                 expected);
        QCOMPARE(Forms.Form3->isVisible(), movesOn);
        QCOMPARE(page->isVisible(), !movesOn);
        if (movesOn) {
            QVERIFY(Fixture->Desktop.Messages.isEmpty());
        } else {
            QCOMPARE(Fixture->Desktop.Messages.size(), 1);
            QCOMPARE(Fixture->Desktop.Messages[0].Title, QStringLiteral("Error"));
            QCOMPARE(Fixture->Desktop.Messages[0].Text,
                     QStringLiteral("You MUST select a folder to save the site to"));
        }
    }

    // Opening the chooser and closing it at once is a choice: the default
    // site folder.
    void chooserClosedAtOnceChoosesDefault()
    {
        QCOMPARE(Forms.Form2->Label7->Caption(), QStringLiteral("Folder:"));
        Click(Forms.Form2->xpButton1);
        QVERIFY(Forms.Form8->isVisible() && Forms.Form2->isVisible());
        Forms.Form8->close();
        QVERIFY(!Forms.Form8->isVisible());
        const QString site = QDir::homePath() + QStringLiteral("/mysite");
        QCOMPARE(Forms.Form8->Label4->Caption(), site);
        QCOMPARE(Forms.Form2->Label7->Caption(), QStringLiteral("Folder for site: ") + site);
        // The folder line grows with its text.
        QVERIFY(Forms.Form2->Label7->width() >= Forms.Form2->Label7->sizeHint().width());
        Click(Forms.Form2->xpButton2);
        QVERIFY(Forms.Form3->isVisible());
    }

    // The folder picked, then "/" unless it already ends in "/", then the
    // name as typed.
    void currentPathRule_data()
    {
        QTest::addColumn<QString>("folder"); // "~" = the scratch folder
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("root") << "/"
                              << "mysite"
                              << "/mysite";
        QTest::newRow("root, empty name") << "/"
                                          << ""
                                          << "/";
        QTest::newRow("folder") << "~"
                                << "mysite"
                                << "~/mysite";
        QTest::newRow("folder, empty name") << "~"
                                            << ""
                                            << "~/";
        QTest::newRow("name kept as typed") << "~"
                                            << " my site "
                                            << "~/ my site ";
        QTest::newRow("name with a slash") << "~"
                                           << "a/b"
                                           << "~/a/b";
    }

    void currentPathRule()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        folder.replace(QLatin1Char('~'), Scratch.path());
        expected.replace(QLatin1Char('~'), Scratch.path());
        Click(Forms.Form2->xpButton1);
        Retype(Forms.Form8->Edit1, name);
        QVERIFY(SelectFolderInTree(folder));
        QCOMPARE(Forms.Form8->Label4->Caption(), expected);
        // And the other way round: the name typed after the folder is picked.
        Retype(Forms.Form8->Edit1, QStringLiteral("x"));
        Retype(Forms.Form8->Edit1, name);
        QCOMPARE(Forms.Form8->Label4->Caption(), expected);
        Click(Forms.Form8->xpButton1);
        QCOMPARE(Forms.Form2->Label7->Caption(), QStringLiteral("Folder for site: ") + expected);
    }

    // The folder line shows the path of the last close; the build uses the
    // current path.
    void folderLineDoesNotFollowLaterChanges()
    {
        Click(Forms.Form2->xpButton1);
        Click(Forms.Form8->xpButton1);
        const QString closed = Forms.Form2->Label7->Caption();
        Click(Forms.Form2->xpButton1);
        Retype(Forms.Form8->Edit1, QStringLiteral("other"));
        QCOMPARE(Forms.Form2->Label7->Caption(), closed);
        QCOMPARE(Forms.Form8->Label4->Caption(), QDir::homePath() + QStringLiteral("/other"));
    }

    // A name typed in an earlier run stays, but "Start Site" shows the
    // default path until the name or the folder changes.
    void startSiteShowsDefaultUntilChanged()
    {
        Click(Forms.Form2->xpButton1);
        Retype(Forms.Form8->Edit1, QStringLiteral("holiday"));
        Click(Forms.Form1->xpButton1);
        QCOMPARE(Forms.Form8->Edit1->text(), QStringLiteral("holiday"));
        QCOMPARE(Forms.Form8->Label4->Caption(), QDir::homePath() + QStringLiteral("/mysite"));
        QTest::keyClicks(Forms.Form8->Edit1, QStringLiteral("2"));
        QCOMPARE(Forms.Form8->Label4->Caption(), QDir::homePath() + QStringLiteral("/holiday2"));
    }

    void imagePagesBoxFollowsCheckBox()
    {
        TForm2 *page = Forms.Form2;
        QVERIFY(!page->Label5->isEnabled() && !page->Edit3->isEnabled());
        Click(page->xpCheckBox1);
        QVERIFY(page->xpCheckBox1->Checked());
        QVERIFY(page->Label5->isEnabled() && page->Edit3->isEnabled());
        Retype(page->Edit3, QStringLiteral("views"));
        Click(page->xpCheckBox1);
        QVERIFY(!page->Label5->isEnabled() && !page->Edit3->isEnabled());
        QCOMPARE(page->Edit3->text(), QStringLiteral("views"));
    }

    // When the tree is filled the home folder is open, in view and selected;
    // a right-click selects like a left-click.
    void treeStartsAtHomeAndRightClickSelects()
    {
        QVERIFY(QDir::home().mkpath(QStringLiteral("albums")));
        Click(Forms.Form2->xpButton1);
        QTreeView *tree = Forms.Form8->Shelltreeview1;
        QCOMPARE(Forms.Form8->SelectedFolder(), QDir::homePath());
        QVERIFY(tree->isExpanded(Forms.Form8->FolderModel->index(QDir::homePath())));
        const QString albums = QDir::homePath() + QStringLiteral("/albums");
        QModelIndex index;
        QTRY_VERIFY((index = Forms.Form8->FolderModel->index(albums)).isValid() &&
                    tree->visualRect(index).isValid());
        tree->scrollTo(index);
        QTest::mouseClick(tree->viewport(), Qt::RightButton, Qt::NoModifier,
                          tree->visualRect(index).center());
        QCOMPARE(Forms.Form8->SelectedFolder(), albums);
        QCOMPARE(Forms.Form8->Label4->Caption(), albums + QStringLiteral("/mysite"));
    }
};

WIZARD_TEST_GROUP(FolderPageTests);

#include "FolderPageTests.moc"
