// ProgressWindow (TForm6): the stage and percentage of a running build.
#pragma once

#include "BuildSite.h"
#include "Form.h"

class ProgressGauge;
class TLabel;

class TForm6 : public TForm {
    Q_OBJECT
public:
    TForm6();

    TLabel *Label1;          // "Progress:"
    ProgressGauge *Gauge1;
    TLabel *Label2;          // the stage text, cut off at its right edge

    // The build does not return to the message loop while it runs, so both
    // draw themselves at once.
    void SetStage(const QString &Text);
    void SetPercent(int Percent);

    // Lets the window system map and expose the windows (so that the
    // immediate paints reach the screen) without handling any input.
    void LetWindowsPaint();
};

// Shows a build's progress on the progress window as it comes.
class TProgressReport : public pixelnook::BuildObserver {
public:
    explicit TProgressReport(TForm6 *Window) : FWindow(Window) {}
    void BuildStarted() override;
    void Progress(const pixelnook::BuildProgress &progress) override;

private:
    TForm6 *FWindow;
};
