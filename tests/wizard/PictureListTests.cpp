// The picture list page: adding in dialog order with the duplicate-name
// rule, pictures dropped from a file manager, Delete, Clear, Move Up and
// Move Down, and the empty-list check.
#include "WizardTestSupport.h"

#include "controls/xpButton.h"
#include "wizard/FolderSettingsPage.h"
#include "wizard/PictureListPage.h"
#include "wizard/SiteDetailsPage.h"
#include "wizard/SiteFolderChooser.h"
#include "wizard/TemplatePage.h"
#include "wizard/WelcomePage.h"
#include "wizard/base/WizardForms.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include <optional>

namespace {

void SelectRow(int row)
{
    QTreeWidget *list = Forms.Form4->ListView1;
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

// How the list answered one drag: enter, move and drop, and the action it
// asked for.
struct TDragAnswer {
    bool Entered = false;
    bool Moved = false;
    bool Dropped = false;
    Qt::DropAction Action = Qt::IgnoreAction;
};

// A drag from a file manager carrying Data, over the list and dropped on it,
// sent the way the window system delivers it (to the list's viewport),
// proposing a move as file managers do by default. The drop is then let
// finish, which is when the list takes the pictures in.
TDragAnswer DragOntoList(const QMimeData &Data,
                         Qt::DropActions Offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction)
{
    QWidget *viewport = Forms.Form4->ListView1->viewport();
    const QPoint at = viewport->rect().center();
    TDragAnswer answer;
    QDragEnterEvent enter(at, Offered, &Data, Qt::LeftButton, Qt::NoModifier);
    enter.setDropAction(Offered & Qt::MoveAction ? Qt::MoveAction : Qt::CopyAction);
    QCoreApplication::sendEvent(viewport, &enter);
    answer.Entered = enter.isAccepted();
    QDragMoveEvent move(at, Offered, &Data, Qt::LeftButton, Qt::NoModifier);
    move.setDropAction(enter.dropAction());
    QCoreApplication::sendEvent(viewport, &move);
    answer.Moved = move.isAccepted();
    QDropEvent drop(at, Offered, &Data, Qt::LeftButton, Qt::NoModifier);
    drop.setDropAction(move.dropAction());
    QCoreApplication::sendEvent(viewport, &drop);
    answer.Dropped = drop.isAccepted();
    answer.Action = drop.dropAction();
    QCoreApplication::processEvents();
    return answer;
}

const char *kDuplicate = "A file with this name is already added. Please select another name";

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
        QTest::newRow("same file in two runs") << QList<QStringList>{{"/p/a.jpg"}, {"/p/a.jpg"}}
                                               << QStringList{"a.jpg"} << QStringList{"/p/"} << 1;
        QTest::newRow("same name from another folder")
            << QList<QStringList>{{"/p/a.jpg"}, {"/q/a.jpg"}} << QStringList{"a.jpg"}
            << QStringList{"/p/"} << 1;
        QTest::newRow("other letter case is another name")
            << QList<QStringList>{{"/p/a.jpg"}, {"/q/A.JPG"}} << QStringList{"a.jpg", "A.JPG"}
            << QStringList{"/p/", "/q/"} << 0;
        QTest::newRow("three refused, the rest added")
            << QList<QStringList>{{"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"},
                                  {"/q/a.jpg", "/q/d.jpg", "/q/b.jpg", "/q/c.jpg", "/q/e.jpg"}}
            << QStringList{"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"}
            << QStringList{"/p/", "/p/", "/p/", "/q/", "/q/"} << 3;
        QTest::newRow("twice in one choice")
            << QList<QStringList>{{"/p/x.jpg", "/q/x.jpg", "/q/y.jpg"}}
            << QStringList{"x.jpg", "y.jpg"} << QStringList{"/p/", "/q/"} << 1;
        QTest::newRow("from the root")
            << QList<QStringList>{{"/a.jpg"}} << QStringList{"a.jpg"} << QStringList{"/"} << 0;
        QTest::newRow("names with blanks kept")
            << QList<QStringList>{{"/p q/ a .jpg", "/p q/a .jpg"}}
            << QStringList{" a .jpg", "a .jpg"} << QStringList{"/p q/", "/p q/"} << 0;
        QTest::newRow("neither existence nor type looked at")
            << QList<QStringList>{{"/nowhere/notes.txt"}} << QStringList{"notes.txt"}
            << QStringList{"/nowhere/"} << 0;
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
                     QStringLiteral(
                         "A file with this name is already added. Please select another name"));
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
        QTest::addColumn<QString>("clicks"); // D = Move Down, U = Move Up, X = Delete
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("selectedAfter");
        QTest::newRow("down on the bottom row")
            << 4 << 3 << "D" << QStringList{"a", "b", "c", "d"} << 3;
        QTest::newRow("up on the top row") << 4 << 0 << "U" << QStringList{"a", "b", "c", "d"} << 0;
        QTest::newRow("down twice from the top")
            << 4 << 0 << "DD" << QStringList{"b", "c", "a", "d"} << 2;
        QTest::newRow("up from the bottom")
            << 4 << 3 << "U" << QStringList{"a", "b", "d", "c"} << 2;
        QTest::newRow("up on the bottom of two") << 2 << 1 << "U" << QStringList{"b", "a"} << 0;
        QTest::newRow("down then up") << 4 << 1 << "DU" << QStringList{"a", "b", "c", "d"} << 1;
        QTest::newRow("delete a middle row") << 4 << 1 << "X" << QStringList{"a", "c", "d"} << -1;
        QTest::newRow("delete the last row") << 4 << 3 << "X" << QStringList{"a", "b", "c"} << -1;
        QTest::newRow("delete the only row") << 1 << 0 << "X" << QStringList{} << -1;
        QTest::newRow("nothing selected")
            << 4 << -1 << "XUD" << QStringList{"a", "b", "c", "d"} << -1;
        QTest::newRow("after delete nothing moves")
            << 3 << 0 << "XDU" << QStringList{"b", "c"} << -1;
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

    // A drag is taken only when it carries a local file, and then always as
    // a copy: a file manager told "moved" could delete the user's pictures.
    void dragTakenOnlyWithLocalFiles_data()
    {
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<bool>("copyOffered");
        QTest::addColumn<bool>("taken");
        QTest::newRow("a picture") << QStringList{"file:///p/a.jpg"} << true << true;
        QTest::newRow("a file of another kind")
            << QStringList{"file:///p/notes.txt"} << true << true;
        QTest::newRow("a picture among web addresses")
            << QStringList{"https://example.com/a.jpg", "file:///p/b.jpg"} << true << true;
        QTest::newRow("web addresses only")
            << QStringList{"https://example.com/a.jpg", "ftp://example.com/b.jpg"} << true << false;
        QTest::newRow("text, no addresses") << QStringList{} << true << false;
        QTest::newRow("only a move offered") << QStringList{"file:///p/a.jpg"} << false << false;
    }

    void dragTakenOnlyWithLocalFiles()
    {
        QFETCH(QStringList, urls);
        QFETCH(bool, copyOffered);
        QFETCH(bool, taken);
        QVERIFY(Forms.Form4->ListView1->viewport()->acceptDrops());
        QMimeData data;
        if (urls.isEmpty())
            data.setText(QStringLiteral("/p/a.jpg"));
        else
            data.setUrls(QList<QUrl>(urls.begin(), urls.end()));
        const TDragAnswer answer =
            DragOntoList(data, copyOffered ? Qt::CopyAction | Qt::MoveAction : Qt::MoveAction);
        QCOMPARE(answer.Entered, taken);
        QCOMPARE(answer.Moved, taken);
        QCOMPARE(answer.Dropped, taken);
        if (taken) {
            QCOMPARE(answer.Action, Qt::CopyAction);
        } else {
            QCOMPARE(ListNames(), QStringList{});
            QVERIFY(Fixture->Desktop.Messages.isEmpty());
        }
    }

    // Dropped pictures join the list as "Add Picture" adds them: in the
    // order dropped, split into name and folder, a name already listed
    // refused with one message each. Whatever is not a local .jpg or .jpeg
    // file is named in one message after them. Paths starting "~/" are in
    // a scratch folder, and those ending in "/" are real folders there.
    void dropAddsPictures_data()
    {
        QTest::addColumn<QStringList>("listed"); // added through the dialog first
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("messages");
        const QString only = QStringLiteral("Only JPEG pictures (.jpg or .jpeg) can be added. ");
        QTest::newRow("in the order dropped, any letter case")
            << QStringList{} << QStringList{"/p/b.jpg", "/p/a.JPG", "/q/c.JpEg", "/q/d.jpeg"}
            << QStringList{"b.jpg", "a.JPG", "c.JpEg", "d.jpeg"}
            << QStringList{"/p/", "/p/", "/q/", "/q/"} << QStringList{};
        QTest::newRow("after the dialog's, duplicates refused in drop order")
            << QStringList{"/p/a.jpg"}
            << QStringList{"/q/a.jpg", "/q/b.jpg", "/r/b.jpg", "/q/A.jpg"}
            << QStringList{"a.jpg", "b.jpg", "A.jpg"} << QStringList{"/p/", "/q/", "/q/"}
            << QStringList{kDuplicate, kDuplicate};
        QTest::newRow("other files named once, after the duplicates")
            << QStringList{"/p/a.jpg"} << QStringList{"/q/notes.txt",     "/q/a.jpg", "/q/b.jpg",
                                                      "/q/photo.jpg.txt", "/q/c.png", "/q/jpg"}
            << QStringList{"a.jpg", "b.jpg"} << QStringList{"/p/", "/q/"}
            << QStringList{
                   kDuplicate,
                   only + "These were left out:\n/q/notes.txt\n/q/photo.jpg.txt\n/q/c.png\n/q/jpg"};
        QTest::newRow("a folder, even one named like a picture")
            << QStringList{} << QStringList{"~/album.jpg/", "~/gone.jpg"} << QStringList{"gone.jpg"}
            << QStringList{"~/"} << QStringList{only + "This was left out:\n~/album.jpg/"};
        QTest::newRow("a web address among the files")
            << QStringList{} << QStringList{"https://example.com/a.jpg", "/p/b.jpg"}
            << QStringList{"b.jpg"} << QStringList{"/p/"}
            << QStringList{only + "This was left out:\nhttps://example.com/a.jpg"};
        QTest::newRow("blanks, accents and a percent sign kept")
            << QStringList{} << QStringList{"/my photos/été 100%.jpg"}
            << QStringList{"été 100%.jpg"} << QStringList{"/my photos/"} << QStringList{};
        QStringList many;
        QString named = only + "These were left out:";
        for (int i = 1; i <= 12; ++i) {
            many << QStringLiteral("/p/note%1.txt").arg(i);
            if (i <= 10)
                named += QStringLiteral("\n/p/note%1.txt").arg(i);
        }
        QTest::newRow("many left out, the first ten named")
            << QStringList{} << many << QStringList{} << QStringList{}
            << QStringList{named + "\nand 2 more"};
    }

    void dropAddsPictures()
    {
        QFETCH(QStringList, listed);
        QFETCH(QStringList, dropped);
        QFETCH(QStringList, names);
        QFETCH(QStringList, folders);
        QFETCH(QStringList, messages);
        QTemporaryDir scratch;
        const QString home = scratch.path();
        const auto local = [&](QString path) { return path.replace(QLatin1String("~"), home); };
        QList<QUrl> urls;
        for (const QString &entry : dropped) {
            if (!entry.startsWith('/') && !entry.startsWith('~')) {
                urls << QUrl(entry);
                continue;
            }
            QString path = local(entry);
            if (path.endsWith('/')) {
                path.chop(1);
                QVERIFY(QDir().mkpath(path));
            }
            urls << QUrl::fromLocalFile(path);
        }
        for (QString &folder : folders)
            folder = local(folder);
        for (QString &message : messages)
            message = local(message);

        if (!listed.isEmpty()) {
            Add(listed);
            SelectRow(0);
        }
        QMimeData data;
        data.setUrls(urls);
        QVERIFY(DragOntoList(data).Dropped);
        QCOMPARE(ListNames(), names);
        QCOMPARE(ListFolders(), folders);
        QCOMPARE(Fixture->Desktop.MessageTexts(), messages);
        for (const auto &message : Fixture->Desktop.Messages)
            QCOMPARE(message.Title, QStringLiteral("Error"));
        QCOMPARE(ListSelectedRow(), listed.isEmpty() ? -1 : 0);
        // No dialog was opened for the drop.
        QCOMPARE(Fixture->Desktop.PictureDialogRuns, listed.isEmpty() ? 0 : 1);
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

WIZARD_TEST_GROUP(PictureListTests);

#include "PictureListTests.moc"
