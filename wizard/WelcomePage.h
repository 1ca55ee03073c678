// WelcomePage (TForm1): the main window. "Start Site" resets every answer
// and opens the first page; closing this window ends the program.
#pragma once

#include "base/Form.h"

class TImage;
class TxpButton;

class TForm1 : public TForm {
    Q_OBJECT
public:
    TForm1();

    TImage *Image1;
    TxpButton *xpButton1; // "Start Site"
    TxpButton *xpButton2; // "Quit"

    void xpButton1Click();
    void xpButton2Click();

protected:
    void FormClose() override;
};
