// The program's one font: the bundled FreeSans at 11 pixels, so every window
// and control looks the same on every machine and in the tests.
#pragma once

#include <QFont>

// Registers the bundled font on the first call; every control's own font
// starts as a copy of this one.
QFont PixelnookFont();
