// TForm: what the eight wizard windows have in common: a fixed client size,
// no maximise button, the button-face background, the program's font, and
// centring on the screen the first time the window is shown.
#pragma once

#include <QString>
#include <QWidget>

class TForm : public QWidget {
    Q_OBJECT
public:
    enum TBorderStyle { bsSingle, bsToolWindow };

    TForm(const QString &Caption, int ClientWidth, int ClientHeight, TBorderStyle BorderStyle);

    // Makes the window visible (restoring it when minimised) and brings it
    // to the front.
    void Show();

    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    // Runs on every close (button or title bar); the window is then hidden.
    virtual void FormClose() {}

private:
    bool FPlaced = false; // centred once; later showings keep the user's position
};
