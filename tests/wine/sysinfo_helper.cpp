// Stands in for the system-information tool under Wine: writes "<own path>.started" with
// the show style it was started with, then ends.

#include <cstdio>
#include <string>
#include <windows.h>

int main() {
    char self[MAX_PATH] = {};
    if (::GetModuleFileNameA(nullptr, self, MAX_PATH) == 0)
        return 1;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoA(&startup);

    const std::string marker = std::string(self) + ".started";
    const std::string partial = marker + ".part";
    std::FILE* file = std::fopen(partial.c_str(), "w");
    if (!file)
        return 1;
    std::fprintf(file, "usershowwindow=%d show=%d\n",
                 (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? 1 : 0, startup.wShowWindow);
    std::fclose(file);
    // Appears whole or not at all.
    return ::MoveFileExA(partial.c_str(), marker.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
