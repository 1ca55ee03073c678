#include "ProgressWindow.h"

#include "ProgressGauge.h"
#include "StdCtrls.h"

#include <QCoreApplication>
#include <QEvent>

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
    LetWindowsPaint();
}

void TForm6::SetPercent(int Percent)
{
    Gauge1->SetProgress(Percent);
    LetWindowsPaint();
}

void TForm6::LetWindowsPaint()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

TCloseBlocker::TCloseBlocker()
{
    QCoreApplication::instance()->installEventFilter(this);
}

TCloseBlocker::~TCloseBlocker()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool TCloseBlocker::eventFilter(QObject *, QEvent *Event)
{
    if (Event->type() != QEvent::Close)
        return false;
    Event->ignore();
    return true;
}

void TProgressReport::BuildStarted()
{
    FNoCloseWhileBuilding.emplace();
    FWindow->Show();
    FWindow->LetWindowsPaint();
}

void TProgressReport::Progress(const pixelnook::BuildProgress &progress)
{
    FWindow->SetStage(QString::fromStdString(progress.Text));
    FWindow->SetPercent(progress.Percent);
}
