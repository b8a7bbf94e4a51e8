#pragma once
// The wait cursor over the whole program while the object lives: for work that may keep
// the window from answering for a while, such as a save that waits for another program's
// lock on the database.

#include <QGuiApplication>

namespace ui {

class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace ui
