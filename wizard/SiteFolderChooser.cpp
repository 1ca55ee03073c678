#include "SiteFolderChooser.h"

#include "FolderSettingsPage.h"
#include "base/ErrorReport.h"
#include "base/StdCtrls.h"
#include "base/WizardForms.h"
#include "controls/xpButton.h"
#include "site/SiteSettings.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTreeView>

TForm8::TForm8()
    : TForm(QStringLiteral("Folder where site will be saved to"), 491, 294, bsToolWindow)
{
    Bevel1 = new TBevel(this, 0, 2, 489, 287, TBevel::bsBox);

    FolderModel = new QFileSystemModel(this);
    FolderModel->setIconProvider(&IconProvider);
    FolderModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::Drives);
    FolderModel->setReadOnly(true);
    FolderModel->setRootPath(QStringLiteral("/"));

    Shelltreeview1 = new QTreeView(this);
    Shelltreeview1->setGeometry(8, 8, 209, 273);
    Shelltreeview1->setModel(FolderModel);
    for (int column = 1; column < FolderModel->columnCount(); ++column)
        Shelltreeview1->hideColumn(column);
    Shelltreeview1->setHeaderHidden(true);
    Shelltreeview1->setIndentation(19);
    Shelltreeview1->setRootIsDecorated(false);
    Shelltreeview1->setSelectionMode(QAbstractItemView::SingleSelection);
    Shelltreeview1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Shelltreeview1->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    Shelltreeview1->header()->setStretchLastSection(false);
    Shelltreeview1->viewport()->installEventFilter(this);
    connect(Shelltreeview1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { CallGuarded([this] { Shelltreeview1Change(); }); });

    Label1 = new TLabel(
        this, 224, 8, 256, 52,
        QStringLiteral("On the left, select the folder where the main site folder will be "
                       "located. The main site folder will be created for you automatically "
                       "using the name that you tpye in the box below."),
        true);
    Label2 = new TLabel(
        this, 224, 104, 247, 26,
        QStringLiteral("In this box, type in the folder where the sites files will be kept. See "
                       "above for more information"),
        true);
    Edit1 = NewEdit(this, 288, 136, 137, QStringLiteral("mysite"));
    connect(Edit1, &QLineEdit::textChanged, this,
            [this] { CallGuarded([this] { Edit1Change(); }); });
    Label3 = new TLabel(this, 224, 192, QStringLiteral("Current path:"));
    Label4 = new TLabel(this, 224, 208, 257, 33,
                        QString::fromStdString(pixelnook::DefaultSiteFolder()), true);
    // A long path has no blanks to break at; let it wrap anywhere.
    Label4->SetWrapAnywhere(true);

    xpButton1 = NewButton(this, 392, 256, 91, QStringLiteral("Close"));
    xpButton1->OnClick = Guarded([this] { xpButton1Click(); });

    setTabOrder(Shelltreeview1, Edit1);
    setTabOrder(Edit1, xpButton1);

    // The home folder plays the desktop's part: open one level, in view
    // and selected.
    const QModelIndex home = FolderModel->index(QDir::homePath());
    Shelltreeview1->expand(home);
    Shelltreeview1->scrollTo(home);
    Shelltreeview1->setCurrentIndex(home);
}

TForm8::~TForm8()
{
    // The model's reader thread may still ask the icon provider; both go
    // before the provider does. The dying tree must not reach our filter.
    Shelltreeview1->viewport()->removeEventFilter(this);
    delete Shelltreeview1;
    delete FolderModel;
}

QString TForm8::SelectedFolder() const
{
    const QModelIndex current = Shelltreeview1->currentIndex();
    return current.isValid() ? FolderModel->filePath(current) : QString();
}

void TForm8::RecomputeCurrentPath()
{
    const QString folder = SelectedFolder();
    const QString name = Edit1->text();
    if (folder.endsWith(QLatin1Char('/')))
        Label4->SetCaption(folder + name);
    else
        Label4->SetCaption(folder + QLatin1Char('/') + name);
}

void TForm8::Shelltreeview1Change()
{
    RecomputeCurrentPath();
}

void TForm8::Edit1Change()
{
    RecomputeCurrentPath();
}

void TForm8::xpButton1Click()
{
    close();
}

// Every close marks the folder as chosen on the folder page.
void TForm8::FormClose()
{
    Forms.Form2->Label7->SetCaption(QStringLiteral("Folder for site: ") + Label4->Caption());
}

// A right-click selects the folder under the pointer, as a left-click does.
bool TForm8::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Shelltreeview1->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton) {
            const QModelIndex index = Shelltreeview1->indexAt(mouse->position().toPoint());
            if (index.isValid())
                Shelltreeview1->setCurrentIndex(index);
            return true;
        }
    }
    return TForm::eventFilter(watched, event);
}
