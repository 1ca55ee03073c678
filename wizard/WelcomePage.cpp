#include "WelcomePage.h"

#include "Answers.h"
#include "FolderSettingsPage.h"
#include "base/Desktop.h"
#include "base/ErrorReport.h"
#include "base/StdCtrls.h"
#include "base/WizardForms.h"
#include "controls/xpButton.h"
#include "site/SiteSettings.h"

TForm1::TForm1() : TForm(QString::fromLatin1(kApplicationTitle), 480, 253, bsSingle)
{
    Image1 = new TImage(this, 8, 8, 465, 209, false);
    Image1->SetPicture(QPixmap(QStringLiteral(":/wizard/banner.jpg")));

    xpButton1 = NewButton(this, 368, 224, 91, QStringLiteral("Start Site"));
    xpButton1->OnClick = Guarded([this] { xpButton1Click(); });

    xpButton2 = NewButton(this, 24, 224, 89, QStringLiteral("Quit"));
    xpButton2->OnClick = Guarded([this] { xpButton2Click(); });

    setTabOrder(xpButton1, xpButton2);
}

// "Start Site": every answer back to its start value, then the first page.
void TForm1::xpButton1Click()
{
    pixelnook::SiteSettings settings;
    pixelnook::PictureList pictures;
    pixelnook::TemplateChoice choice;
    pixelnook::ResetToStartSite(settings, pictures, choice);
    WriteStartAnswers(settings, choice);
    Forms.Form2->Show();
}

void TForm1::xpButton2Click()
{
    close();
}

void TForm1::FormClose()
{
    Desktop::Platform().EndProgram();
}
