#include "FolderSettingsPage.h"

#include "SiteDetailsPage.h"
#include "SiteFolderChooser.h"
#include "base/Desktop.h"
#include "base/ErrorReport.h"
#include "base/StdCtrls.h"
#include "base/WizardForms.h"
#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "site/SiteSettings.h"

#include <QLineEdit>

TForm2::TForm2() : TForm(QStringLiteral("Settings"), 480, 296, bsSingle)
{
    Label1 = new TLabel(
        this, 16, 16, 273, 26,
        QStringLiteral("Select the folder that you want the program to be made in. Click the "
                       "'Browse' button and follow the instructions."),
        true);

    xpButton1 = NewButton(this, 376, 24, 81, QStringLiteral("Browse"));
    xpButton1->OnClick = Guarded([this] { xpButton1Click(); });

    Label7 = new TLabel(this, 16, 48, QStringLiteral("Folder:"));
    Label2 = new TLabel(
        this, 16, 80,
        QStringLiteral("What is the name of the folder, you want to keep the images stored in?"));
    Edit1 = NewEdit(this, 376, 80, 81, QString::fromLatin1(pixelnook::kDefaultImagesFolderName));
    Label3 = new TLabel(
        this, 16, 112,
        QStringLiteral("What is the name of the folder you want to keep the thumbnails in?"));
    Edit2 =
        NewEdit(this, 376, 112, 81, QString::fromLatin1(pixelnook::kDefaultThumbnailsFolderName));
    Bevel2 = new TBevel(this, 7, 144, 457, 2, TBevel::bsTopLine);

    xpCheckBox1 = new TxpCheckBox(this);
    xpCheckBox1->setGeometry(16, 152, 257, 17);
    xpCheckBox1->SetCaption(QStringLiteral("Do you want the program to make image pages?"));
    xpCheckBox1->OnClick = Guarded([this] { xpCheckBox1Click(); });

    Label4 = new TLabel(
        this, 16, 176, 442, 26,
        QStringLiteral("An image page is where - they click on the thumbnail, and it goes to "
                       "another html page which shows the picture.  These have a back link so "
                       "they can get back to the page they came from."),
        true);
    Label5 = new TLabel(
        this, 16, 216,
        QStringLiteral(
            "What is the name of the image folder? (Where the pages will be sorted in)"));
    Label5->setEnabled(false);
    Edit3 =
        NewEdit(this, 376, 216, 81, QString::fromLatin1(pixelnook::kDefaultImagePagesFolderName));
    Edit3->setEnabled(false);
    Bevel1 = new TBevel(this, 15, 248, 457, 2, TBevel::bsTopLine);

    xpButton2 = NewButton(this, 368, 264, 97, QStringLiteral("Continue -->"));
    xpButton2->OnClick = Guarded([this] { xpButton2Click(); });

    setTabOrder(xpButton1, Edit1);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, xpButton2);
    setTabOrder(xpButton2, xpCheckBox1);
    setTabOrder(xpCheckBox1, Edit3);
}

// "Browse": the chooser is not modal; this page stays usable.
void TForm2::xpButton1Click()
{
    Forms.Form8->Show();
}

// "Continue -->": empty names get their defaults back first (also when the
// check below then keeps the user here), then the chooser must have been
// closed at least once since "Start Site".
void TForm2::xpButton2Click()
{
    FillIfEmpty(Edit1, pixelnook::kDefaultImagesFolderName);
    FillIfEmpty(Edit2, pixelnook::kDefaultThumbnailsFolderName);
    FillIfEmpty(Edit3, pixelnook::kDefaultImagePagesFolderName);
    if (Label7->Caption() == QLatin1String("Folder:")) {
        Desktop::ShowError(this, QString::fromLatin1(kNoFolderMessage));
        return;
    }
    Forms.Form3->Show();
    hide();
}

void TForm2::xpCheckBox1Click()
{
    const bool on = xpCheckBox1->Checked();
    Label5->setEnabled(on);
    Edit3->setEnabled(on);
}
