// PictureListPage (TForm4): the pictures of the gallery, in gallery order.
#pragma once

#include "base/Form.h"

#include "site/SiteSettings.h"

#include <QStringList>

class QMimeData;
class QUrl;
class QTreeWidget;
class QTreeWidgetItem;
class TBevel;
class TLabel;
class TxpButton;

class TForm4 : public TForm {
    Q_OBJECT
public:
    TForm4();

    QTreeWidget *ListView1; // report style: "Name", "Path"; takes dropped pictures
    TxpButton *xpButton3;   // "Add Picture"
    TxpButton *xpButton5;   // "Delete "
    TxpButton *xpButton1;   // "Move Down"
    TxpButton *xpButton2;   // "Move Up"
    TxpButton *xpButton4;   // "Clear List"
    TBevel *Bevel1;
    TLabel *Label1;
    TxpButton *xpButton7; // "Go Back"
    TxpButton *xpButton6; // "Continue"

    // The rows, top to bottom, as the build reads them.
    pixelnook::PictureList Pictures() const;

    void xpButton1Click();
    void xpButton2Click();
    void xpButton3Click();
    void xpButton4Click();
    void xpButton5Click();
    void xpButton6Click();
    void xpButton7Click();

    // Pictures dragged from a file manager onto the list. A drag is taken
    // only when it carries local files; once the drop is over, the dropped
    // JPEG files are added as "Add Picture" adds them, and everything else
    // is left out with one message naming it.
    bool ListView1DragOver(const QMimeData *Data) const;
    void ListView1DragDrop(const QList<QUrl> &Urls);

    // Appends the pictures at Paths in their order, as "Add Picture" and a
    // drop both do: a name already in the list (one added earlier from the
    // same Paths included) is refused with one message per file, and the
    // others are still added. The selection is left as it is.
    void AddPictures(const QStringList &Paths);

private:
    // Swaps the selected row's texts with the row Step away and selects that
    // row; nothing at the end of the list or with no row selected.
    void MoveSelected(int Step);
    int SelectedRow() const;
};
