// The one QApplication the widget tests of a test program share.
#pragma once

#include <QApplication>

namespace lmtest {

// Starts the application unless one runs already (each suite asks; the first one starts it).
// The platform comes from QT_QPA_PLATFORM, offscreen under ctest. True when it started it.
inline bool startQApplication()
{
    if (QApplication::instance())
        return false;
    static int argc = 1;
    static char name[] = "lmpack-test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    return true;
}

} // namespace lmtest
