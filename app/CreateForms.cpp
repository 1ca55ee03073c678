#include "CreateForms.h"

#include "wizard/CompletedPage.h"
#include "wizard/FolderSettingsPage.h"
#include "wizard/PictureListPage.h"
#include "wizard/ProgressWindow.h"
#include "wizard/SiteDetailsPage.h"
#include "wizard/SiteFolderChooser.h"
#include "wizard/TemplatePage.h"
#include "wizard/WelcomePage.h"
#include "wizard/base/WizardForms.h"

#include <QtGlobal>

static void InitWizardResources()
{
    // The pictures are compiled into this static library; referring to
    // them here keeps the linker from dropping them.
    Q_INIT_RESOURCE(wizard);
}

void CreateForms()
{
    InitWizardResources();
    Forms.Form1 = new TForm1;
    Forms.Form2 = new TForm2;
    Forms.Form3 = new TForm3;
    Forms.Form4 = new TForm4;
    Forms.Form5 = new TForm5;
    Forms.Form6 = new TForm6;
    Forms.Form7 = new TForm7;
    Forms.Form8 = new TForm8;
}

void DestroyForms()
{
    delete Forms.Form8;
    delete Forms.Form7;
    delete Forms.Form6;
    delete Forms.Form5;
    delete Forms.Form4;
    delete Forms.Form3;
    delete Forms.Form2;
    delete Forms.Form1;
    Forms = TForms();
}
