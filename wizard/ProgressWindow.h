// ProgressWindow (TForm6): the stage and percentage of a running build.
#pragma once

#include "BuildSite.h"
#include "Form.h"

#include <optional>

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

// While the build runs no window is closed: the progress window lets the
// window system in to paint, and a close from a title bar would come with
// the paints. The filter refuses every close, the one that ends a message
// box included, so it must never be in place while a box is up.
class TCloseBlocker : public QObject {
public:
    TCloseBlocker();
    ~TCloseBlocker() override;

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;
};

// Shows a build's progress on the progress window as it comes, and refuses
// closes from the moment the checks have passed and the build starts
// writing until this report goes, which is before anything is shown to the
// user (a check's message or the error report).
class TProgressReport : public pixelnook::BuildObserver {
public:
    explicit TProgressReport(TForm6 *Window) : FWindow(Window) {}
    void BuildStarted() override;
    void Progress(const pixelnook::BuildProgress &progress) override;

private:
    TForm6 *FWindow;
    std::optional<TCloseBlocker> FNoCloseWhileBuilding;
};
