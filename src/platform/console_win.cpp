#include "platform/console.h"

#include <windows.h>

namespace platform {

bool StandardErrorIsTerminal() {
    // A console handle answers GetConsoleMode; a file, a pipe or no handle does not.
    const HANDLE handle = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

} // namespace platform
