// FolderSettingsPage (TForm2): where the site goes (through the chooser)
// and what its sub-folders are called.
#pragma once

#include "base/Form.h"

class QLineEdit;
class TBevel;
class TLabel;
class TxpButton;
class TxpCheckBox;

inline constexpr const char *kNoFolderMessage = "You MUST select a folder to save the site to";

class TForm2 : public TForm {
    Q_OBJECT
public:
    TForm2();

    TLabel *Label1;
    TxpButton *xpButton1; // "Browse"
    TLabel *Label7;       // the folder line: "Folder:" until the chooser is closed
    TLabel *Label2;
    QLineEdit *Edit1; // images folder name
    TLabel *Label3;
    QLineEdit *Edit2; // thumbnails folder name
    TBevel *Bevel2;
    TxpCheckBox *xpCheckBox1; // make image pages?
    TLabel *Label4;
    TLabel *Label5;
    QLineEdit *Edit3; // image pages folder name
    TBevel *Bevel1;
    TxpButton *xpButton2; // "Continue -->"

    void xpButton1Click();
    void xpButton2Click();
    void xpCheckBox1Click();
};
