#pragma once
// Starting another program without waiting for it.

#include <functional>
#include <string>

namespace platform {

// Win32 show-window style of a normal, activated window with the focus (SW_SHOWNORMAL).
inline constexpr int kShowNormalFocus = 1;

// Starts the program file `path` (paths may use a backslash as separator) and returns at
// once; the program is not observed afterwards. On Windows its first window opens with
// `showStyle`; elsewhere the program runs detached in a session of its own and the
// desktop places its window. Returns false when the program could not be started (no
// such file, not executable, empty path).
bool StartProgram(const std::string& path, int showStyle);

// Tests see every start instead of a program being started; the hook's result is the
// result of StartProgram. An empty hook restores the real start.
using StartProgramHook = std::function<bool(const std::string& path, int showStyle)>;
void SetStartProgramHook(StartProgramHook hook);

} // namespace platform
