#pragma once
// What the user can see of the program's windows.

#include <QApplication>
#include <QWidget>

namespace testsupport {

// True when any top-level window is on the screen.
inline bool AnyWindowVisible() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            return true;
    return false;
}

} // namespace testsupport
