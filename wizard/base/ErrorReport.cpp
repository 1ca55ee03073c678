#include "ErrorReport.h"

#include "SiteError.h"
#include "Desktop.h"

#include <exception>

void ShowErrorReport(const QString &Message)
{
    const std::string text = pixelnook::ErrorReportText(Message.toStdString());
    Desktop::Platform().MessageBox(nullptr, QString::fromLatin1(kApplicationTitle), QString::fromStdString(text));
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
