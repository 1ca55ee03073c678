// CompletedPage (TForm7): what was built, a link to its first gallery page,
// "Start Again" and "Quit".
#pragma once

#include "base/Form.h"

class TLabel;
class TxpButton;

inline constexpr const char *kMakerAddress = "www.quorvex.example";

class TForm7 : public TForm {
    Q_OBJECT
public:
    TForm7();

    TLabel *Label1; // "Congratulations!"
    TLabel *Label2; // the site line
    TLabel *Label3; // the count line
    TLabel *Label7; // what was done to the copies; hidden when there is nothing to say
    TLabel *Label4; // the link
    TLabel *Label5;
    TLabel *Label6;
    TxpButton *xpButton2; // "Start Again"
    TxpButton *xpButton1; // "Quit"

    // The build's line about the copies under the count line, or nothing.
    void ShowWebLine(const QString &Text);

    void Label4Click();
    void xpButton1Click();
    void xpButton2Click();
};
