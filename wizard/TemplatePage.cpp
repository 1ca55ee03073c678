#include "TemplatePage.h"

#include "Answers.h"
#include "CompletedPage.h"
#include "ProgressWindow.h"
#include "base/Desktop.h"
#include "base/ErrorReport.h"
#include "base/StdCtrls.h"
#include "base/WizardForms.h"
#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "site/BuildSite.h"
#include "site/TemplateCatalogue.h"

#include <QLineEdit>
#include <QPlainTextEdit>

TForm5::TForm5() : TForm(QStringLiteral("Select a template"), 480, 296, bsSingle)
{
    for (int n = 1; n <= 6; ++n) {
        const int left = 16 + 160 * ((n - 1) % 3);
        const int top = n <= 3 ? 8 : 96;
        TPanel *panel = new TPanel(this, left, top, 129, 73);
        panel->setFocusPolicy(Qt::TabFocus);
        // The 129 x 73 preview sits centred in a 121 x 65 box, so four
        // pixels are cut off on every side.
        TImage *image = new TImage(panel, 4, 4, 121, 65, true);
        image->SetPicture(QPixmap(QStringLiteral(":/wizard/preview%1.jpg").arg(n)));
        panel->OnClick = Guarded([this, n] { PanelClick(n); });
        image->OnClick = Guarded([this, n] { PanelClick(n); });
        Panels[n - 1] = panel;
        Images[n - 1] = image;
    }
    Bevel1 = new TBevel(this, 8, 184, 465, 2, TBevel::bsTopLine);

    xpCheckBox1 = new TxpCheckBox(this);
    xpCheckBox1->setGeometry(8, 192, 137, 17);
    xpCheckBox1->SetCaption(QStringLiteral("Use custom Template"));
    xpCheckBox1->OnClick = Guarded([this] { xpCheckBox1Click(); });

    Label1 = new TLabel(
        this, 176, 192, 289, 25,
        QStringLiteral("Select from a premade template above, or select a template that you "
                       "have made yourself."),
        true);
    Edit1 = NewEdit(this, 24, 224, 345, QString());
    Edit1->setEnabled(false);

    xpButton1 = NewButton(this, 376, 224, 89, QStringLiteral("Select Template"));
    xpButton1->setEnabled(false);
    xpButton1->OnClick = Guarded([this] { xpButton1Click(); });

    Bevel2 = new TBevel(this, 8, 256, 465, 2, TBevel::bsTopLine);

    xpButton2 = NewButton(this, 264, 263, 89, QStringLiteral("Go Back"));
    xpButton2->OnClick = Guarded([this] { xpButton2Click(); });

    xpButton3 = NewButton(this, 376, 264, 89, QStringLiteral("Build Site"));
    xpButton3->OnClick = Guarded([this] { xpButton3Click(); });

    PageBuffer = new QPlainTextEdit(this);
    PageBuffer->setGeometry(0, 0, 0, 0);
    PageBuffer->hide();

    // The panels first, in their places' order, then the rest top to bottom.
    for (int n = 1; n < 6; ++n)
        setTabOrder(Panels[n - 1], Panels[n]);
    setTabOrder(Panels[5], xpCheckBox1);
    setTabOrder(xpCheckBox1, Edit1);
    setTabOrder(Edit1, xpButton1);
    setTabOrder(xpButton1, xpButton3);
    setTabOrder(xpButton3, xpButton2);

    SiteBuilder = [](const pixelnook::SiteSettings &settings,
                     const pixelnook::PictureList &pictures, pixelnook::TemplateChoice &choice,
                     pixelnook::BuildObserver &observer) {
        return pixelnook::BuildSite(settings, pictures, choice, observer);
    };

    FormCreate();
}

void TForm5::FormCreate()
{
    ProgramFolder = QString::fromStdString(pixelnook::ProgramFolder());
    if (Edit1->text().isEmpty())
        OpenDialog1InitialDir = ProgramFolder;
    ClearTemplateHighlight();
    TemplateSelected = "false";
}

void TForm5::PanelClick(int N)
{
    SelectBuiltInTemplate(N);
}

// Picks built-in template N when its file is there now; otherwise says so
// and leaves the earlier choice, its highlight and the flag alone.
void TForm5::SelectBuiltInTemplate(int N)
{
    pixelnook::TemplateChoice choice;
    choice.TemplatePath = TemplatePath;
    choice.TemplateSelected = TemplateSelected;
    const std::string message =
        pixelnook::SelectBuiltInTemplate(choice, ProgramFolder.toStdString(), N);
    if (!message.empty()) {
        Desktop::ShowError(this, QString::fromStdString(message));
        return;
    }
    ClearTemplateHighlight();
    Panels[N - 1]->SetBevelInner(TPanel::bvLowered);
    Panels[N - 1]->SetBevelOuter(TPanel::bvLowered);
    TemplateSelected = choice.TemplateSelected;
    TemplatePath = choice.TemplatePath;
}

void TForm5::ClearTemplateHighlight()
{
    for (TPanel *panel : Panels) {
        panel->SetBevelInner(TPanel::bvRaised);
        panel->SetBevelOuter(TPanel::bvRaised);
    }
}

// "Use custom Template": the path field and "Select Template" follow the
// box; the field keeps its text either way.
void TForm5::xpCheckBox1Click()
{
    const bool on = xpCheckBox1->Checked();
    Edit1->setEnabled(on);
    xpButton1->setEnabled(on);
}

// "Select Template"
void TForm5::xpButton1Click()
{
    const QString file = Desktop::Platform().OpenTemplate(this, OpenDialog1InitialDir);
    if (!file.isEmpty())
        Edit1->setText(file);
}

// "Go Back"
void TForm5::xpButton2Click()
{
    close();
}

// "Build Site": every answer is read now, from the pages that hold it. The
// build runs on a worker thread while this thread paints the progress
// window and refuses all input, so a second click or key does nothing, then
// or later. What the build throws goes to the error report and leaves this
// page and the progress window open; the input refusal ends before any box
// comes up (a check's message or the error report).
void TForm5::xpButton3Click()
{
    if (FBuilding)
        return;
    pixelnook::SiteSettings settings;
    pixelnook::PictureList pictures;
    pixelnook::TemplateChoice choice;
    ReadAnswers(settings, pictures, choice);

    pixelnook::BuildResult result;
    FBuilding = true;
    try {
        result = RunBuild(Forms.Form6, SiteBuilder, settings, pictures, choice);
    } catch (...) {
        // The custom path has taken the template's place even when a
        // later stage failed.
        FBuilding = false;
        TemplatePath = choice.TemplatePath;
        throw;
    }
    FBuilding = false;
    TemplatePath = choice.TemplatePath;
    if (!result.Built) {
        Desktop::ShowError(this, QString::fromStdString(result.CheckMessage));
        return;
    }
    Forms.Form7->Show();
    hide();
    Forms.Form6->hide();
    Forms.Form7->Label2->SetCaption(QString::fromStdString(result.SiteLine));
    Forms.Form7->Label3->SetCaption(QString::fromStdString(result.CountLine));
    Forms.Form7->ShowWebLine(QString::fromStdString(result.WebLine));
}
