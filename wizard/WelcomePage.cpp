#include "WelcomePage.h"

#include "Forms.h"
#include "FolderSettingsPage.h"
#include "PictureListPage.h"
#include "SiteDetailsPage.h"
#include "SiteFolderChooser.h"
#include "SiteSettings.h"
#include "StdCtrls.h"
#include "TemplatePage.h"
#include "Ui.h"
#include "ErrorReport.h"
#include "xpButton.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

TForm1::TForm1() : TForm(QString::fromLatin1(kApplicationTitle), 480, 253, bsSingle)
{
    Image1 = new TImage(this, 8, 8, 465, 209, false);
    Image1->SetPicture(QPixmap(QStringLiteral(":/wizard/banner.jpg")));

    xpButton1 = new TxpButton(this);
    xpButton1->setGeometry(368, 224, 91, 25);
    xpButton1->SetCaption(QStringLiteral("Start Site"));
    xpButton1->OnClick = Guarded([this] { xpButton1Click(); });

    xpButton2 = new TxpButton(this);
    xpButton2->setGeometry(24, 224, 89, 25);
    xpButton2->SetCaption(QStringLiteral("Quit"));
    xpButton2->OnClick = Guarded([this] { xpButton2Click(); });

    setTabOrder(xpButton1, xpButton2);
}

// "Start Site": every answer back to its start value, in this order, then
// the first page. The image-pages and custom-template check boxes, the
// template highlight and the chooser's name box and tree stay as they are.
void TForm1::xpButton1Click()
{
    pixelnook::SiteSettings settings;
    pixelnook::PictureList pictures;
    pixelnook::TemplateChoice choice;
    pixelnook::ResetToStartSite(settings, pictures, choice);
    const auto q = [](const std::string &s) { return QString::fromStdString(s); };

    Forms.Form5->TemplateSelected = choice.TemplateSelected;
    Forms.Form5->TemplatePath = choice.TemplatePath;
    Forms.Form4->ListView1->clear();
    Forms.Form2->Label7->SetCaption(QStringLiteral("Folder:"));
    Forms.Form2->Edit1->setText(q(settings.ImagesFolderName));
    Forms.Form2->Edit2->setText(q(settings.ThumbnailsFolderName));
    Forms.Form2->Edit3->setText(q(settings.ImagePagesFolderName));
    Forms.Form3->Edit1->setText(q(settings.SiteName));
    Forms.Form3->Edit2->setText(q(settings.SiteKeywords));
    Forms.Form3->Edit3->setText(q(settings.ThumbnailPrefix));
    Forms.Form3->Edit4->setText(q(settings.ThumbnailSize));
    Forms.Form3->Memo1->setPlainText(q(settings.SiteDescription));
    Forms.Form5->Edit1->setText(q(choice.CustomTemplatePath));
    Forms.Form8->Label4->SetCaption(q(settings.SiteFolder));
    Forms.Form2->Show();
}

void TForm1::xpButton2Click()
{
    close();
}

void TForm1::FormClose()
{
    Ui::Platform().EndProgram();
}
