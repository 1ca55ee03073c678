// SiteDetailsPage (TForm3): the site's name, description and keywords, the
// two thumbnail settings and whether the copies are made ready for the web.
#pragma once

#include "base/Form.h"

#include <string>

class QLineEdit;
class QPlainTextEdit;
class TBevel;
class TLabel;
class TxpButton;
class TxpCheckBox;

class TForm3 : public TForm {
    Q_OBJECT
public:
    TForm3();

    TLabel *Label1;
    QLineEdit *Edit1; // site name
    TLabel *Label2;
    QPlainTextEdit *Memo1; // site description, may hold several lines
    TLabel *Label3;
    QLineEdit *Edit2; // keywords
    TBevel *Bevel1;
    TLabel *Label4;
    QLineEdit *Edit3; // thumbnail prefix
    TLabel *Label5;
    QLineEdit *Edit4; // thumbnail size
    TBevel *Bevel2;
    TxpCheckBox *xpCheckBox1; // web-ready copies
    TxpButton *xpButton2;     // "Go Back"
    TxpButton *xpButton1;     // "Continue"

    // The description as the site is given it: its line breaks as CR LF.
    std::string SiteDescription() const;

    void xpButton1Click();
    void xpButton2Click();
};
