// The picture list page: adding in dialog order with the duplicate-name
// rule, Delete, Clear, Move Up and Move Down, and the empty-list check.
#include "WizardTestSupport.h"

#include "FolderSettingsPage.h"
#include "WizardForms.h"
#include "PictureListPage.h"
#include "SiteDetailsPage.h"
#include "SiteFolderChooser.h"
#include "TemplatePage.h"
#include "WelcomePage.h"
#include "xpButton.h"

#include <QTest>
#include <QTreeWidget>

#include <optional>

namespace {

void SelectRow(int row)
{
    QTreeWidget *list = Forms.Form4->ListView1;
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

} // namespace

class PictureListTests : public QObject {
    Q_OBJECT
    std::optional<TWizardFixture> Fixture;

    void Add(const QStringList &paths)
    {
        Fixture->Desktop.PictureAnswers.append(paths);
        Click(Forms.Form4->xpButton3);
    }

private slots:
    void init()
    {
        Fixture.emplace();
        QVERIFY(WalkToPage(Fixture->Desktop, kPictureListPage));
    }
    void cleanup() { Fixture.reset(); }

    // Each dialog run's files in the order the dialog gives them; a name
    // already listed (exact comparison) is refused with one message each.
    void addPictures_data()
    {
        QTest::addColumn<QList<QStringList>>("runs");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<int>("refused");
        QTest::newRow("dialog order kept")
            << QList<QStringList>{{"/p/b.jpg", "/p/a.jpg"}} << QStringList{"b.jpg", "a.jpg"}
            << QStringList{"/p/", "/p/"} << 0;
        QTest::newRow("same file in two runs")
            << QList<QStringList>{{"/p/a.jpg"}, {"/p/a.jpg"}} << QStringList{"a.jpg"} << QStringList{"/p/"} << 1;
        QTest::newRow("same name from another folder")
            << QList<QStringList>{{"/p/a.jpg"}, {"/q/a.jpg"}} << QStringList{"a.jpg"} << QStringList{"/p/"} << 1;
        QTest::newRow("other letter case is another name")
            << QList<QStringList>{{"/p/a.jpg"}, {"/q/A.JPG"}} << QStringList{"a.jpg", "A.JPG"}
            << QStringList{"/p/", "/q/"} << 0;
        QTest::newRow("three refused, the rest added")
            << QList<QStringList>{{"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"},
                                  {"/q/a.jpg", "/q/d.jpg", "/q/b.jpg", "/q/c.jpg", "/q/e.jpg"}}
            << QStringList{"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"}
            << QStringList{"/p/", "/p/", "/p/", "/q/", "/q/"} << 3;
        QTest::newRow("twice in one choice")
            << QList<QStringList>{{"/p/x.jpg", "/q/x.jpg", "/q/y.jpg"}} << QStringList{"x.jpg", "y.jpg"}
            << QStringList{"/p/", "/q/"} << 1;
        QTest::newRow("from the root") << QList<QStringList>{{"/a.jpg"}} << QStringList{"a.jpg"}
                                       << QStringList{"/"} << 0;
        QTest::newRow("names with blanks kept")
            << QList<QStringList>{{"/p q/ a .jpg", "/p q/a .jpg"}} << QStringList{" a .jpg", "a .jpg"}
            << QStringList{"/p q/", "/p q/"} << 0;
        QTest::newRow("neither existence nor type looked at")
            << QList<QStringList>{{"/nowhere/notes.txt"}} << QStringList{"notes.txt"} << QStringList{"/nowhere/"}
            << 0;
        QTest::newRow("cancelled") << QList<QStringList>{{}} << QStringList{} << QStringList{} << 0;
    }

    void addPictures()
    {
        QFETCH(QList<QStringList>, runs);
        QFETCH(QStringList, names);
        QFETCH(QStringList, folders);
        QFETCH(int, refused);
        for (const QStringList &run : runs)
            Add(run);
        QCOMPARE(Fixture->Desktop.PictureDialogRuns, runs.size());
        QCOMPARE(ListNames(), names);
        QCOMPARE(ListFolders(), folders);
        QCOMPARE(Fixture->Desktop.Messages.size(), refused);
        for (const auto &message : Fixture->Desktop.Messages) {
            QCOMPARE(message.Title, QStringLiteral("Error"));
            QCOMPARE(message.Text,
                     QStringLiteral("A file with this name is already added. Please select another name"));
        }
        // What the build reads: the same rows, top to bottom.
        const pixelnook::PictureList pictures = Forms.Form4->Pictures();
        QCOMPARE(static_cast<int>(pictures.size()), names.size());
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(QString::fromStdString(pictures[i].SourcePath()), folders[i] + names[i]);
    }

    void addingKeepsTheSelection()
    {
        Add({"/p/a.jpg", "/p/b.jpg"});
        SelectRow(1);
        Add({"/p/c.jpg"});
        QCOMPARE(ListSelectedRow(), 1);
    }

    // Moves swap the texts of two rows and keep the moved entry selected;
    // Delete leaves no row selected. With no row selected all three do
    // nothing.
    void moveAndDelete_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("clicks");   // D = Move Down, U = Move Up, X = Delete
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("selectedAfter");
        QTest::newRow("down on the bottom row") << 4 << 3 << "D" << QStringList{"a", "b", "c", "d"} << 3;
        QTest::newRow("up on the top row") << 4 << 0 << "U" << QStringList{"a", "b", "c", "d"} << 0;
        QTest::newRow("down twice from the top") << 4 << 0 << "DD" << QStringList{"b", "c", "a", "d"} << 2;
        QTest::newRow("up from the bottom") << 4 << 3 << "U" << QStringList{"a", "b", "d", "c"} << 2;
        QTest::newRow("up on the bottom of two") << 2 << 1 << "U" << QStringList{"b", "a"} << 0;
        QTest::newRow("down then up") << 4 << 1 << "DU" << QStringList{"a", "b", "c", "d"} << 1;
        QTest::newRow("delete a middle row") << 4 << 1 << "X" << QStringList{"a", "c", "d"} << -1;
        QTest::newRow("delete the last row") << 4 << 3 << "X" << QStringList{"a", "b", "c"} << -1;
        QTest::newRow("delete the only row") << 1 << 0 << "X" << QStringList{} << -1;
        QTest::newRow("nothing selected") << 4 << -1 << "XUD" << QStringList{"a", "b", "c", "d"} << -1;
        QTest::newRow("after delete nothing moves") << 3 << 0 << "XDU" << QStringList{"b", "c"} << -1;
    }

    void moveAndDelete()
    {
        QFETCH(int, rows);
        QFETCH(int, selected);
        QFETCH(QString, clicks);
        QFETCH(QStringList, names);
        QFETCH(int, selectedAfter);
        // Each picture from a folder of its own, so that the columns are
        // seen to move together.
        QStringList paths;
        for (int i = 0; i < rows; ++i) {
            const QString name = QString(QChar('a' + i));
            paths << QStringLiteral("/from-%1/%1").arg(name);
        }
        Add(paths);
        if (selected >= 0)
            SelectRow(selected);
        QCOMPARE(ListSelectedRow(), selected);
        for (QChar c : clicks) {
            TForm4 *page = Forms.Form4;
            Click(c == 'D' ? page->xpButton1 : c == 'U' ? page->xpButton2 : page->xpButton5);
        }
        QCOMPARE(ListNames(), names);
        QStringList folders;
        for (const QString &name : names)
            folders << QStringLiteral("/from-%1/").arg(name);
        QCOMPARE(ListFolders(), folders);
        QCOMPARE(ListSelectedRow(), selectedAfter);
        QVERIFY(Fixture->Desktop.Messages.isEmpty());
    }

    void clearThenContinueIsRefused()
    {
        Add({"/p/a.jpg", "/p/b.jpg"});
        Click(Forms.Form4->xpButton4);
        QCOMPARE(ListNames(), QStringList{});
        Click(Forms.Form4->xpButton6);
        QCOMPARE(Fixture->Desktop.MessageTexts(), QStringList{"You must select atlest 1 image"});
        QCOMPARE(Fixture->Desktop.Messages[0].Title, QStringLiteral("Error"));
        QVERIFY(Forms.Form4->isVisible());
        QVERIFY(!Forms.Form5->isVisible());
    }

    void continueWithAPictureShowsTemplates()
    {
        Add({"/p/a.jpg"});
        Click(Forms.Form4->xpButton6);
        QVERIFY(Fixture->Desktop.Messages.isEmpty());
        QVERIFY(Forms.Form5->isVisible());
        QVERIFY(!Forms.Form4->isVisible());
    }
};

QObject *CreatePictureListTests()
{
    return new PictureListTests;
}

#include "PictureListTests.moc"
