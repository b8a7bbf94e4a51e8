#include <string>
#include <windows.h>

namespace platform::detail {

bool StartProgramNative(const std::string& path, int showStyle) {
    // The path is quoted so that folders with spaces ("C:\Program Files\...") name the
    // program rather than the start of a command line.
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showStyle);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

} // namespace platform::detail
