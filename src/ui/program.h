#pragma once
#include <functional>

namespace ui {

// Chooses how the event loop waits for events; call it before the application object
// is made. On Linux that is Qt's own dispatcher rather than GLib's: the search runs the
// event loop before every row it lists, and a pass of Qt's own loop costs less. Input,
// timers, sockets (the accessibility and input-method buses) and paints are handled by
// both alike; only GLib-based plug-ins lose their events, and the program uses none. A
// QT_NO_GLIB set in the environment, even to nothing, is left as it is.
void ChooseEventDispatcher();

// Ends the program at once with the given exit status. Loops that run the event loop
// (the search's fill) test ProgramEnding() and stop.
void EndProgram(int exitCode = 0);

// True once EndProgram has been called.
bool ProgramEnding();

// Tests observe the end instead of the process ending; an empty hook restores the
// real end. SetEndProgramHook also clears the ending state.
using EndProgramHook = std::function<void(int exitCode)>;
void SetEndProgramHook(EndProgramHook hook);

} // namespace ui
