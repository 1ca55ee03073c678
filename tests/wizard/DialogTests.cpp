// The two open-file dialogs as the program sets them up: the filters shown
// with their texts and matching either letter case, and the preview.
#include "WizardTestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QTest>

#include <memory>

namespace {

QStringList ListedFiles(QFileDialog *dialog, const QString &folder)
{
    auto *model = dialog->findChild<QFileSystemModel *>();
    if (!model)
        return {"(no model)"};
    const QModelIndex parent = model->index(folder);
    QStringList files;
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        if (!model->isDir(index))
            files << model->fileName(index);
    }
    files.sort();
    return files;
}

void Touch(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
}

} // namespace

class DialogTests : public QObject {
    Q_OBJECT
    QTemporaryDir Scratch;

private slots:
    void initTestCase()
    {
        for (const char *name : {"a.jpg", "B.JPG", "c.jpeg", "D.JPEG", "e.png", "f.jpg.txt",
                                 "g.Jpg", "t.html", "u.HTM", "v.shtml", "w.txt"})
            Touch(Scratch.filePath(name));
        QDir(Scratch.path()).mkdir(QStringLiteral("folder.jpg"));
    }

    void pictureDialogFilters_data()
    {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("All") << 0 << "All (*.jpg;*.jpeg)"
                             << QStringList{"B.JPG", "D.JPEG", "a.jpg", "c.jpeg", "g.Jpg"};
        QTest::newRow("jpg") << 1 << "JPEG Image File (*.jpg)"
                             << QStringList{"B.JPG", "a.jpg", "g.Jpg"};
        QTest::newRow("jpeg") << 2 << "JPEG Image File (*.jpeg)" << QStringList{"D.JPEG", "c.jpeg"};
    }

    void pictureDialogFilters()
    {
        QFETCH(int, filter);
        QFETCH(QString, text);
        QFETCH(QStringList, listed);
        std::unique_ptr<QFileDialog> dialog(Desktop::CreatePictureDialog(nullptr));
        QCOMPARE(dialog->nameFilters(),
                 (QStringList{"All (*.jpg;*.jpeg)", "JPEG Image File (*.jpg)",
                              "JPEG Image File (*.jpeg)"}));
        QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFiles);
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
        QCOMPARE(dialog->selectedNameFilter(), QStringLiteral("All (*.jpg;*.jpeg)"));
        dialog->setDirectory(Scratch.path());
        dialog->show();
        auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        QVERIFY(combo);
        for (int i = 0; i < filter; ++i)
            QTest::keyClick(combo, Qt::Key_Down); // as the user picks it
        QCOMPARE(dialog->selectedNameFilter(), text);
        QTRY_COMPARE(ListedFiles(dialog.get(), Scratch.path()), listed);
    }

    void picturePreview()
    {
        const QString picture = Scratch.filePath(QStringLiteral("wide.jpg"));
        QVERIFY(WriteJpeg(picture, 400, 100, Qt::magenta));
        std::unique_ptr<QFileDialog> dialog(Desktop::CreatePictureDialog(nullptr));
        auto *preview = dialog->findChild<QLabel *>(QStringLiteral("PicturePreview"));
        QVERIFY(preview);
        emit dialog->currentChanged(picture);
        const QPixmap shown = preview->pixmap();
        QVERIFY(!shown.isNull());
        QVERIFY(shown.width() <= preview->width() && shown.width() >= preview->width() - 8);
        QCOMPARE(shown.width() / shown.height(), 4);
        emit dialog->currentChanged(Scratch.path()); // a folder: no picture
        QVERIFY(preview->pixmap().isNull());
    }

    void templateDialog()
    {
        std::unique_ptr<QFileDialog> dialog(
            Desktop::CreateTemplateDialog(nullptr, Scratch.path() + "/"));
        QCOMPARE(dialog->nameFilters(), QStringList{"Html Files (*.html, *.htm, *.shtml)"});
        QCOMPARE(QDir(dialog->directory()).absolutePath(), QDir(Scratch.path()).absolutePath());
        QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
        dialog->show();
        QTRY_COMPARE(ListedFiles(dialog.get(), Scratch.path()),
                     (QStringList{"t.html", "u.HTM", "v.shtml"}));
    }
};

WIZARD_TEST_GROUP(DialogTests);

#include "DialogTests.moc"
