#include "ErrorReport.h"

#include "Desktop.h"
#include "site/SiteError.h"

#include <exception>

void ShowErrorReport(const QString &Message)
{
    const std::string text = pixelnook::ErrorReportText(Message.toStdString());
    Desktop::Platform().MessageBox(nullptr, QString::fromLatin1(kApplicationTitle),
                                   QString::fromStdString(text));
}

void ReportException(const std::exception &Error)
{
    std::string text = pixelnook::ErrorReportText(Error.what());
    if (const auto *picture = dynamic_cast<const pixelnook::PictureError *>(&Error))
        text += "\n" + picture->Path();
    Desktop::Platform().MessageBox(nullptr, QString::fromLatin1(kApplicationTitle),
                                   QString::fromStdString(text));
}

void CallGuarded(const std::function<void()> &Handler)
{
    try {
        Handler();
    } catch (const std::exception &e) {
        ReportException(e);
    } catch (...) {
        ShowErrorReport(QStringLiteral("Unknown error"));
    }
}
