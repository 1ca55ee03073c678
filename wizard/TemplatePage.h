// TemplatePage (TForm5): one of the six built-in templates or a file of the
// user's own, and "Build Site".
#pragma once

#include "ProgressWindow.h"
#include "base/Form.h"

#include <QString>

#include <array>
#include <string>

class QLineEdit;
class QPlainTextEdit;
class TBevel;
class TImage;
class TLabel;
class TPanel;
class TxpButton;
class TxpCheckBox;

class TForm5 : public TForm {
    Q_OBJECT
public:
    TForm5();

    std::array<TPanel *, 6> Panels; // Panel1 .. Panel6, two rows of three
    std::array<TImage *, 6> Images; // Image1 .. Image6, the previews inside them
    TBevel *Bevel1;
    TxpCheckBox *xpCheckBox1; // "Use custom Template"
    TLabel *Label1;
    QLineEdit *Edit1;     // the custom template's path
    TxpButton *xpButton1; // "Select Template"
    TBevel *Bevel2;
    TxpButton *xpButton2;       // "Go Back"
    TxpButton *xpButton3;       // "Build Site"
    QPlainTextEdit *PageBuffer; // hidden; the build keeps its page text itself

    // The two answers that live on no control.
    std::string TemplatePath;
    std::string TemplateSelected = "false";

    // The program's folder (ending in "/"): where the built-in templates
    // are looked for and where the "Select Template" dialog starts.
    QString ProgramFolder;
    QString OpenDialog1InitialDir;

    // What "Build Site" runs on its worker thread; BuildSite unless a test
    // puts a stand-in here.
    TSiteBuilder SiteBuilder;

    void FormCreate();
    void PanelClick(int N); // panel N or its picture, N = 1..6
    void SelectBuiltInTemplate(int N);
    void ClearTemplateHighlight();
    void xpCheckBox1Click();
    void xpButton1Click();
    void xpButton2Click();
    void xpButton3Click();

private:
    bool FBuilding = false; // "Build Site" does nothing while its build runs
};
