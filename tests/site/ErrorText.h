// The text of the SiteError an action stops with, for tables that expect
// either a value or an exact message.
#pragma once

#include "site/SiteError.h"

#include <functional>
#include <string>

inline std::string ErrorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const pixelnook::SiteError &e) {
        return e.what();
    }
    return "(no error)";
}
