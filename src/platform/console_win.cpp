#include "platform/console.h"

#include <cstdio>
#include <string>
#include <windows.h>

namespace platform {

namespace {
bool IsConsole(HANDLE handle) {
    // A console handle answers GetConsoleMode; a file, a pipe or no handle does not.
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}
} // namespace

bool StandardErrorIsTerminal() {
    return IsConsole(::GetStdHandle(STD_ERROR_HANDLE));
}

void WriteStandard(bool toError, std::string_view utf8) {
    std::FILE* stream = toError ? stderr : stdout;
    const HANDLE handle = ::GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (utf8.empty())
        return;
    if (!IsConsole(handle)) {
        std::fwrite(utf8.data(), 1, utf8.size(), stream);
        std::fflush(stream);
        return;
    }
    // The console would read bytes in its code page; it takes UTF-16 as it is.
    const int size = static_cast<int>(utf8.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.data(), length);
    std::fflush(stream);
    DWORD written = 0;
    ::WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

} // namespace platform
