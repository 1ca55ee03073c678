#include "ErrorReport.h"

#include "SiteError.h"
#include "Ui.h"

#include <exception>

void ShowErrorReport(const QString &Message)
{
    const std::string text = pixelnook::ErrorReportText(Message.toStdString());
    Ui::Platform().MessageBox(nullptr, QString::fromLatin1(kApplicationTitle), QString::fromStdString(text));
}

void CallGuarded(const std::function<void()> &Handler)
{
    try {
        Handler();
    } catch (const std::exception &e) {
        ShowErrorReport(QString::fromStdString(e.what()));
    } catch (...) {
        ShowErrorReport(QStringLiteral("Unknown error"));
    }
}
