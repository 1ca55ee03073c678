// The application-wide error report: what a handler throws ends up in one
// message box titled with the application's title, and the program goes on.
#pragma once

#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <utility>

inline constexpr const char *kApplicationTitle = "Quorvex - Pixelnook";

// Shows the report for Message (the full stop added as the report's rule says).
void ShowErrorReport(const QString &Message);

// Shows the report for what a handler threw: its text, and for a picture's
// failure the picture's full path on a line of its own below it.
void ReportException(const std::exception &Error);

// Runs Handler and reports whatever it throws, so that no exception leaves
// a handler into Qt's event dispatch.
void CallGuarded(const std::function<void()> &Handler);

// A click handler for a styled control that runs Handler through CallGuarded.
template <class Handler> std::function<void(QObject *)> Guarded(Handler handler)
{
    return [handler = std::move(handler)](QObject *) { CallGuarded(handler); };
}
