#include "ProgressWindow.h"

#include "ProgressGauge.h"
#include "base/StdCtrls.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMetaObject>

#include <exception>
#include <thread>

TForm6::TForm6() : TForm(QStringLiteral("Progress"), 298, 62, bsToolWindow)
{
    Label1 = new TLabel(this, 16, 8, QStringLiteral("Progress:"));
    Gauge1 = new ProgressGauge(this);
    Gauge1->setGeometry(72, 8, 217, 17);
    Gauge1->SetMinValue(0);
    Gauge1->SetMaxValue(100);
    Label2 = new TLabel(this, 16, 40, 273, 13, QStringLiteral("Currently:"), false);
}

void TForm6::SetStage(const QString &Text)
{
    Label2->SetCaption(Text);
    Label2->repaint();
}

void TForm6::SetPercent(int Percent)
{
    Gauge1->SetProgress(Percent);
}

void TForm6::LetWindowsPaint()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

TInputBlocker::TInputBlocker()
{
    QCoreApplication::instance()->installEventFilter(this);
}

TInputBlocker::~TInputBlocker()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool TInputBlocker::eventFilter(QObject *, QEvent *Event)
{
    switch (Event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Close: Event->ignore(); return true;
    default: return false;
    }
}

namespace {

// The worker's reports, carried to the window thread in the order they were
// made (queued calls to one receiver keep their order).
class TQueuedReport : public pixelnook::BuildObserver {
public:
    TQueuedReport(TForm6 *Window, QObject *Receiver) : FWindow(Window), FReceiver(Receiver) {}

    void BuildStarted() override
    {
        Show([Window = FWindow] { Window->Show(); });
    }
    void Progress(const pixelnook::BuildProgress &progress) override
    {
        Show([Window = FWindow, Text = QString::fromStdString(progress.Text),
              Percent = progress.Percent] {
            // The text first, then the bar.
            Window->SetStage(Text);
            Window->SetPercent(Percent);
        });
    }

    // Runs Call on the window thread after everything posted before it.
    template <class Call> void Post(Call call)
    {
        QMetaObject::invokeMethod(FReceiver, std::move(call), Qt::QueuedConnection);
    }

private:
    // Runs Call on the window thread and lets the windows paint, while the
    // worker waits. Nothing else is queued meanwhile, so the paints cannot
    // run a later report ahead of this one.
    template <class Call> void Show(Call call)
    {
        QMetaObject::invokeMethod(
            FReceiver,
            [Window = FWindow, call = std::move(call)] {
                call();
                Window->LetWindowsPaint();
            },
            Qt::BlockingQueuedConnection);
    }

    TForm6 *FWindow;
    QObject *FReceiver;
};

} // namespace

pixelnook::BuildResult RunBuild(TForm6 *Window, const TSiteBuilder &Builder,
                                const pixelnook::SiteSettings &Settings,
                                const pixelnook::PictureList &Pictures,
                                pixelnook::TemplateChoice &Choice)
{
    TInputBlocker noInputWhileBuilding;
    QObject receiver;
    TQueuedReport report(Window, &receiver);
    QEventLoop waiting;
    pixelnook::BuildResult result;
    std::exception_ptr failure;

    // The worker touches no widget: it reads only its own copies of the
    // answers and posts what the windows should show.
    std::thread worker([&] {
        try {
            result = Builder(Settings, Pictures, Choice, report);
        } catch (...) {
            failure = std::current_exception();
        }
        // Queued behind the last report, so the window shows the stage
        // reached before anyone hears that the build is over.
        report.Post([&waiting] { waiting.quit(); });
    });
    waiting.exec();
    worker.join();
    // Input that came while a report was being painted waits in the window
    // system's queue; it is dropped here, while input is still refused,
    // rather than handled once the build is over.
    QCoreApplication::processEvents();
    if (failure)
        std::rethrow_exception(failure);
    return result;
}
