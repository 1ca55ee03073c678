#include "Desktop.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>
#include <QUrl>

namespace Desktop {

QList<TFileFilter> PictureFilters()
{
    return {
        {QStringLiteral("All (*.jpg;*.jpeg)"), {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")}},
        {QStringLiteral("JPEG Image File (*.jpg)"), {QStringLiteral("*.jpg")}},
        {QStringLiteral("JPEG Image File (*.jpeg)"), {QStringLiteral("*.jpeg")}},
    };
}

TFileFilter TemplateFilter()
{
    return {QStringLiteral("Html Files (*.html, *.htm, *.shtml)"),
            {QStringLiteral("*.html"), QStringLiteral("*.htm"), QStringLiteral("*.shtml")}};
}

namespace {

TDesktop RealPlatform;
TDesktop *Current = &RealPlatform;

// Qt reads a filter's patterns from its text, split at blanks only, so
// "*.jpg;*.jpeg" would match nothing. The texts are shown as they are and
// the dialog's file model gets the patterns they stand for instead. The
// model compares names ignoring letter case, so *.jpg also lists X.JPG.
void ApplyFilters(QFileDialog *Dialog, const QList<TFileFilter> &Filters)
{
    QStringList texts;
    for (const auto &filter : Filters)
        texts << filter.Text;
    Dialog->setNameFilters(texts);
    Dialog->selectNameFilter(texts.first());
    auto *model = Dialog->findChild<QFileSystemModel *>();
    if (!model)
        return;
    model->setNameFilters(Filters.first().Patterns);
    QObject::connect(Dialog, &QFileDialog::filterSelected, model,
                     [model, Filters](const QString &text) {
                         for (const auto &filter : Filters)
                             if (filter.Text == text)
                                 model->setNameFilters(filter.Patterns);
                     });
}

// A picture of the file under the cursor, beside the file list.
void AddPreview(QFileDialog *Dialog)
{
    auto *grid = qobject_cast<QGridLayout *>(Dialog->layout());
    if (!grid)
        return;
    auto *preview = new QLabel(Dialog);
    preview->setObjectName(QStringLiteral("PicturePreview"));
    preview->setFixedSize(180, 180);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
    QObject::connect(Dialog, &QFileDialog::currentChanged, preview, [preview](const QString &path) {
        preview->clear();
        if (!QFileInfo(path).isFile())
            return;
        QImageReader reader(path);
        reader.setAutoTransform(true);
        QSize size = reader.size();
        if (size.isValid()) {
            size.scale(preview->size() - QSize(8, 8), Qt::KeepAspectRatio);
            reader.setScaledSize(size);
        }
        const QImage image = reader.read();
        if (!image.isNull())
            preview->setPixmap(QPixmap::fromImage(image));
    });
}

} // namespace

QFileDialog *CreatePictureDialog(QWidget *Owner)
{
    auto *dialog = new QFileDialog(Owner);
    // Qt's own dialog, as the desktop's does not offer a preview.
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setOption(QFileDialog::ReadOnly, false);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    dialog->setSizeGripEnabled(true);
    ApplyFilters(dialog, PictureFilters());
    AddPreview(dialog);
    return dialog;
}

QFileDialog *CreateTemplateDialog(QWidget *Owner, const QString &StartFolder)
{
    auto *dialog = new QFileDialog(Owner);
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setDirectory(StartFolder);
    ApplyFilters(dialog, {TemplateFilter()});
    return dialog;
}

void TDesktop::MessageBox(QWidget *Owner, const QString &Title, const QString &Text)
{
    QMessageBox box(QMessageBox::Critical, Title, Text, QMessageBox::Ok, Owner);
    box.exec();
}

QStringList TDesktop::OpenPictures(QWidget *Owner)
{
    QFileDialog *dialog = CreatePictureDialog(Owner);
    QStringList files;
    if (dialog->exec() == QDialog::Accepted)
        files = dialog->selectedFiles();
    delete dialog;
    return files;
}

QString TDesktop::OpenTemplate(QWidget *Owner, const QString &StartFolder)
{
    QFileDialog *dialog = CreateTemplateDialog(Owner, StartFolder);
    QString file;
    if (dialog->exec() == QDialog::Accepted)
        file = dialog->selectedFiles().value(0);
    delete dialog;
    return file;
}

void TDesktop::OpenInBrowser(const QString &Path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(Path));
}

void TDesktop::EndProgram()
{
    QCoreApplication::quit();
}

TDesktop &Platform()
{
    return *Current;
}

void Install(TDesktop *Replacement)
{
    Current = Replacement ? Replacement : &RealPlatform;
}

void ShowError(QWidget *Owner, const QString &Text)
{
    Platform().MessageBox(Owner, QString::fromLatin1(kErrorTitle), Text);
}

} // namespace Desktop
