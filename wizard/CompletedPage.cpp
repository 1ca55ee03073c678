#include "CompletedPage.h"

#include "SiteFolderChooser.h"
#include "WelcomePage.h"
#include "base/Desktop.h"
#include "base/ErrorReport.h"
#include "base/StdCtrls.h"
#include "base/WizardForms.h"
#include "controls/xpButton.h"
#include "site/SiteLayout.h"

TForm7::TForm7() : TForm(QStringLiteral("Completed"), 480, 296, bsSingle)
{
    Label1 = new TLabel(this, 32, 16, QStringLiteral("Congratulations!"));
    Label2 =
        new TLabel(this, 72, 49, QStringLiteral("Your site - sitename has been made sucessfully"));
    Label3 = new TLabel(this, 80, 80,
                        QStringLiteral("It contains imagecnt pictures and is on pagenum pages"));
    Label7 = new TLabel(this, 80, 96, QString());
    Label7->hide();
    Label4 = new TLabel(this, 80, 112, QStringLiteral("Click here if you want to open it to see."));
    QFont link = Label4->font();
    link.setUnderline(true);
    Label4->setFont(link);
    QPalette blue = Label4->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    Label4->setPalette(blue);
    Label4->setCursor(Qt::PointingHandCursor);
    Label4->SetCaption(Label4->Caption()); // size for the underlined font
    Label4->OnClick = Guarded([this] { Label4Click(); });
    Label4->SetLink(true);
    Label5 = new TLabel(
        this, 32, 208,
        QStringLiteral("If you want to build another, click start again. Or click quit to exit "
                       "the program"));
    Label6 = new TLabel(this, 32, 232,
                        QStringLiteral("Pixelnook brought to you by ") +
                            QString::fromLatin1(kMakerAddress));

    xpButton1 = NewButton(this, 384, 256, 83, QStringLiteral("Quit"));
    xpButton1->OnClick = Guarded([this] { xpButton1Click(); });

    xpButton2 = NewButton(this, 280, 256, 83, QStringLiteral("Start Again"));
    xpButton2->OnClick = Guarded([this] { xpButton2Click(); });

    // Quit, Start Again, then the link. Qt does not move a widget behind the
    // last one of the window's chain, so the link goes behind Quit first and
    // Start Again is then put between them.
    setTabOrder(xpButton1, Label4);
    setTabOrder(xpButton1, xpButton2);
}

void TForm7::ShowWebLine(const QString &Text)
{
    Label7->SetCaption(Text);
    Label7->setVisible(!Text.isEmpty());
}

// The first gallery page under the site folder as the chooser shows it
// now; nothing of the path is tidied, and the outcome is not looked at.
void TForm7::Label4Click()
{
    const std::string siteFolder = Forms.Form8->Label4->Caption().toStdString();
    Desktop::Platform().OpenInBrowser(
        QString::fromStdString(pixelnook::GalleryPagePath(siteFolder, 1)));
}

// "Quit": ends the program at once.
void TForm7::xpButton1Click()
{
    Desktop::Platform().EndProgram();
}

// "Start Again": nothing is reset until "Start Site".
void TForm7::xpButton2Click()
{
    Forms.Form1->Show();
    hide();
}
