// The application-wide error report: what a handler throws ends up in one
// message box titled with the application's title, and the program goes on.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <utility>

inline constexpr const char *kApplicationTitle = "Quorvex - Pixelnook";

// Shows the report for Message (the full stop added as the report's rule says).
void ShowErrorReport(const QString &Message);

// Runs Handler and reports whatever it throws, so that no exception leaves
// a handler into Qt's event dispatch.
void CallGuarded(const std::function<void()> &Handler);

// A click handler for a styled control that runs Handler through CallGuarded.
template <class Handler>
std::function<void(QObject *)> Guarded(Handler handler)
{
    return [handler = std::move(handler)](QObject *) { CallGuarded(handler); };
}
