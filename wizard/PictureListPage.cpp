#include "PictureListPage.h"

#include "TemplatePage.h"
#include "base/Desktop.h"
#include "base/ErrorReport.h"
#include "base/StdCtrls.h"
#include "base/WizardForms.h"
#include "controls/xpButton.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>

#include <functional>

namespace {

// The picture list with the page's own drop handling in place of the item
// view's (which would look for rows of its model in the drag).
class TPictureListView : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;
    std::function<bool(const QMimeData *)> OnDragOver;
    std::function<void(const QList<QUrl> &)> OnDragDrop;

protected:
    // Taking the focus by keyboard selects the current row (the first when
    // none is current yet), so that Move and Delete act at once. A click
    // selects what it hits by itself, and the window coming to the front
    // leaves the selection alone.
    void focusInEvent(QFocusEvent *event) override
    {
        QTreeWidget::focusInEvent(event);
        const Qt::FocusReason reason = event->reason();
        const bool byKey = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                           reason == Qt::ShortcutFocusReason;
        if (!byKey || topLevelItemCount() == 0 || !selectedItems().isEmpty())
            return;
        QTreeWidgetItem *row = currentItem() ? currentItem() : topLevelItem(0);
        setCurrentItem(row);
        row->setSelected(true);
    }
    void dragEnterEvent(QDragEnterEvent *event) override { Answer(event); }
    void dragMoveEvent(QDragMoveEvent *event) override { Answer(event); }
    void dropEvent(QDropEvent *event) override
    {
        if (!Answer(event))
            return;
        // Taken in once the drop is over: a message box shown inside the
        // drop would hold up the file manager that is waiting for its end.
        const QList<QUrl> urls = event->mimeData()->urls();
        QMetaObject::invokeMethod(
            this, [this, urls] { OnDragDrop(urls); }, Qt::QueuedConnection);
    }

private:
    // Always a copy: a file manager that is told "moved" may delete the
    // user's files after the drop.
    bool Answer(QDropEvent *event)
    {
        if (!(event->possibleActions() & Qt::CopyAction) || !OnDragOver(event->mimeData())) {
            event->ignore();
            return false;
        }
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return true;
    }
};

bool IsJpegName(const QString &path)
{
    return path.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".jpeg"), Qt::CaseInsensitive);
}

// The message for what a drop left out, naming at most this many.
constexpr int kMaxNamedLeftOut = 10;

} // namespace

TForm4::TForm4() : TForm(QStringLiteral("Select the pictures"), 480, 296, bsSingle)
{
    auto *list = new TPictureListView(this);
    list->OnDragOver = [this](const QMimeData *data) { return ListView1DragOver(data); };
    list->OnDragDrop = [this](const QList<QUrl> &urls) {
        CallGuarded([&] { ListView1DragDrop(urls); });
    };
    ListView1 = list;
    ListView1->setGeometry(8, 16, 465, 169);
    ListView1->setColumnCount(2);
    ListView1->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Path")});
    ListView1->setColumnWidth(0, 120);
    ListView1->setColumnWidth(1, 340);
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionsMovable(false);
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setSortingEnabled(false);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setTextElideMode(Qt::ElideRight);
    ListView1->setAcceptDrops(true);
    ListView1->setDragDropMode(QAbstractItemView::DropOnly);

    xpButton3 = NewButton(this, 8, 192, 75, QStringLiteral("Add Picture"));
    xpButton5 = NewButton(this, 96, 192, 75, QStringLiteral("Delete "));
    xpButton1 = NewButton(this, 232, 192, 75, QStringLiteral("Move Down"));
    xpButton2 = NewButton(this, 320, 192, 75, QStringLiteral("Move Up"));
    xpButton4 = NewButton(this, 400, 192, 75, QStringLiteral("Clear List"));
    Bevel1 = new TBevel(this, 8, 220, 465, 9, TBevel::bsBox);
    Label1 = new TLabel(
        this, 8, 236, 450, 26,
        QStringLiteral("The order that you put them in above, is the same order the program will "
                       "add them to the gallery. So the picture that is at the top, will appear "
                       "first on your gallery - and so forth."),
        true);
    xpButton7 = NewButton(this, 280, 263, 89, QStringLiteral("Go Back"));
    xpButton6 = NewButton(this, 376, 264, 89, QStringLiteral("Continue"));

    xpButton1->OnClick = Guarded([this] { xpButton1Click(); });
    xpButton2->OnClick = Guarded([this] { xpButton2Click(); });
    xpButton3->OnClick = Guarded([this] { xpButton3Click(); });
    xpButton4->OnClick = Guarded([this] { xpButton4Click(); });
    xpButton5->OnClick = Guarded([this] { xpButton5Click(); });
    xpButton6->OnClick = Guarded([this] { xpButton6Click(); });
    xpButton7->OnClick = Guarded([this] { xpButton7Click(); });

    setTabOrder(ListView1, xpButton1);
    setTabOrder(xpButton1, xpButton2);
    setTabOrder(xpButton2, xpButton3);
    setTabOrder(xpButton3, xpButton4);
    setTabOrder(xpButton4, xpButton5);
    setTabOrder(xpButton5, xpButton6);
    setTabOrder(xpButton6, xpButton7);
}

pixelnook::PictureList TForm4::Pictures() const
{
    pixelnook::PictureList pictures;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = ListView1->topLevelItem(i);
        pictures.push_back({row->text(0).toStdString(), row->text(1).toStdString()});
    }
    return pictures;
}

int TForm4::SelectedRow() const
{
    const QList<QTreeWidgetItem *> selected = ListView1->selectedItems();
    return selected.isEmpty() ? -1 : ListView1->indexOfTopLevelItem(selected.first());
}

void TForm4::MoveSelected(int Step)
{
    const int i = SelectedRow();
    const int j = i + Step;
    if (i < 0 || j < 0 || j >= ListView1->topLevelItemCount())
        return;
    QTreeWidgetItem *row = ListView1->topLevelItem(i);
    QTreeWidgetItem *neighbour = ListView1->topLevelItem(j);
    for (int column = 0; column < 2; ++column) {
        const QString text = row->text(column);
        row->setText(column, neighbour->text(column));
        neighbour->setText(column, text);
    }
    ListView1->setCurrentItem(neighbour);
    neighbour->setSelected(true);
}

// "Move Down"
void TForm4::xpButton1Click()
{
    MoveSelected(1);
}

// "Move Up"
void TForm4::xpButton2Click()
{
    MoveSelected(-1);
}

// "Add Picture": the chosen files in the dialog's order.
void TForm4::xpButton3Click()
{
    AddPictures(Desktop::Platform().OpenPictures(this));
}

void TForm4::AddPictures(const QStringList &Paths)
{
    // The rows are the list; the engine's rule says which names it takes.
    pixelnook::PictureList listed = Pictures();
    for (const QString &file : Paths) {
        const pixelnook::PictureEntry entry = pixelnook::SplitPicturePath(file.toStdString());
        if (!pixelnook::AddPicture(listed, entry)) {
            Desktop::ShowError(this, QString::fromLatin1(pixelnook::kDuplicateNameMessage));
            continue;
        }
        new QTreeWidgetItem(ListView1, {QString::fromStdString(entry.FileName),
                                        QString::fromStdString(entry.SourceFolder)});
    }
}

bool TForm4::ListView1DragOver(const QMimeData *Data) const
{
    if (!Data || !Data->hasUrls())
        return false;
    for (const QUrl &url : Data->urls())
        if (url.isLocalFile())
            return true;
    return false;
}

// A drop can bring anything a file manager holds: folders, web addresses
// and files of every kind. Only local files named .jpg or .jpeg (in any
// letter case) go to the list; the rest is named in one message after the
// pictures have been added. As with the dialog, neither a picture's
// existence nor its content is looked at here: the build reads it.
void TForm4::ListView1DragDrop(const QList<QUrl> &Urls)
{
    QStringList pictures;
    QStringList leftOut;
    for (const QUrl &url : Urls) {
        if (!url.isLocalFile()) {
            leftOut << url.toDisplayString();
            continue;
        }
        const QString path = url.toLocalFile();
        if (QFileInfo(path).isDir())
            leftOut << (path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/'));
        else if (!IsJpegName(path))
            leftOut << path;
        else
            pictures << path;
    }
    AddPictures(pictures);
    if (leftOut.isEmpty())
        return;
    QString text =
        leftOut.size() == 1
            ? QStringLiteral("Only JPEG pictures (.jpg or .jpeg) can be added. This was left out:")
            : QStringLiteral(
                  "Only JPEG pictures (.jpg or .jpeg) can be added. These were left out:");
    for (int i = 0; i < leftOut.size() && i < kMaxNamedLeftOut; ++i)
        text += QLatin1Char('\n') + leftOut[i];
    if (leftOut.size() > kMaxNamedLeftOut)
        text += QStringLiteral("\nand %1 more").arg(leftOut.size() - kMaxNamedLeftOut);
    Desktop::ShowError(this, text);
}

// "Clear List"
void TForm4::xpButton4Click()
{
    ListView1->clear();
}

// "Delete ": the rows below move up; afterwards no row is selected.
void TForm4::xpButton5Click()
{
    const int i = SelectedRow();
    if (i < 0)
        return;
    delete ListView1->takeTopLevelItem(i);
    ListView1->clearSelection();
}

// "Continue"
void TForm4::xpButton6Click()
{
    if (ListView1->topLevelItemCount() == 0) {
        Desktop::ShowError(this, QString::fromLatin1(pixelnook::kNoPicturesMessage));
        return;
    }
    Forms.Form5->Show();
    hide();
}

// "Go Back"
void TForm4::xpButton7Click()
{
    close();
}
