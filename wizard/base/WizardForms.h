// The eight windows of the wizard, as the pages reach each other. The
// program's start-up creates them once, in this order, and they live until
// the program ends.
#pragma once

class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;
class TForm8;

struct TForms {
    TForm1 *Form1 = nullptr; // WelcomePage, the main window
    TForm2 *Form2 = nullptr; // FolderSettingsPage
    TForm3 *Form3 = nullptr; // SiteDetailsPage
    TForm4 *Form4 = nullptr; // PictureListPage
    TForm5 *Form5 = nullptr; // TemplatePage
    TForm6 *Form6 = nullptr; // ProgressWindow
    TForm7 *Form7 = nullptr; // CompletedPage
    TForm8 *Form8 = nullptr; // SiteFolderChooser
};

extern TForms Forms;
