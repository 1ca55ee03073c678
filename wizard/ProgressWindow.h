// ProgressWindow (TForm6): the stage and percentage of a running build, and
// the run of a build on a worker thread that feeds it.
#pragma once

#include "base/Form.h"
#include "site/BuildSite.h"

#include <functional>

class ProgressGauge;
class TLabel;

class TForm6 : public TForm {
    Q_OBJECT
public:
    TForm6();

    TLabel *Label1; // "Progress:"
    ProgressGauge *Gauge1;
    TLabel *Label2; // the stage text, cut off at its right edge

    // Both draw themselves at once.
    void SetStage(const QString &Text);
    void SetPercent(int Percent);

    // Lets the window system map and expose the windows, so that what was
    // just set reaches the screen before the build goes on, without
    // handling any input.
    void LetWindowsPaint();
};

// While a build runs the user's input to every window is refused and
// dropped: clicks, keys, the wheel, drops and closes (a title bar's
// included). Nothing typed or clicked then is handled later either. Painting,
// exposing and moving windows go on. The filter refuses the close that ends
// a message box too, so it must never be in place while a box is up.
class TInputBlocker : public QObject {
public:
    TInputBlocker();
    ~TInputBlocker() override;

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;
};

// What runs on the worker: BuildSite itself, or a stand-in in tests.
using TSiteBuilder = std::function<pixelnook::BuildResult(
    const pixelnook::SiteSettings &, const pixelnook::PictureList &, pixelnook::TemplateChoice &,
    pixelnook::BuildObserver &)>;

// Runs Builder on a worker thread and shows its progress on Window as it
// comes: the window is shown when the checks have passed and is painted and
// repainted by the window thread, which goes on handling window-system
// events (but no input) until the build ends. The worker waits at each
// stage report until the window shows it, so no stage goes unseen however
// short; within a stage it does not wait. Returns the build's result,
// or throws what the build threw once every report before it is shown.
// choice is written by the build (the custom template's path) either way.
pixelnook::BuildResult RunBuild(TForm6 *Window, const TSiteBuilder &Builder,
                                const pixelnook::SiteSettings &Settings,
                                const pixelnook::PictureList &Pictures,
                                pixelnook::TemplateChoice &Choice);
