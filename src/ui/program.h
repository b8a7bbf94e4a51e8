#pragma once
#include <functional>

namespace ui {

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
