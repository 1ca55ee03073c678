// SiteFolderChooser (TForm8): the folder the site's own folder goes in, and
// that folder's name; the current path is the site folder the build uses.
#pragma once

#include "base/Form.h"

#include <QFileIconProvider>

class QFileSystemModel;
class QLineEdit;
class QTreeView;
class TBevel;
class TLabel;
class TxpButton;

class TForm8 : public TForm {
    Q_OBJECT
public:
    TForm8();
    ~TForm8() override;

    TBevel *Bevel1;
    QTreeView *Shelltreeview1; // folders only, from "/"
    QFileSystemModel *FolderModel;
    TLabel *Label1;
    TLabel *Label2;
    QLineEdit *Edit1;     // the site folder's name
    TLabel *Label3;       // "Current path:"
    TLabel *Label4;       // the current path
    TxpButton *xpButton1; // "Close"

    // The selected folder's absolute path ("/" for the root, no other
    // path ends in "/"); empty when nothing is selected.
    QString SelectedFolder() const;

    void Shelltreeview1Change();
    void Edit1Change();
    void xpButton1Click();

protected:
    void FormClose() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void RecomputeCurrentPath();

    QFileIconProvider IconProvider; // the model uses it but does not own it
};
