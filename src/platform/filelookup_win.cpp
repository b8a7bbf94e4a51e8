#include "platform/filelookup.h"

#include <windows.h>

namespace platform {

std::string FindPlainFile(const std::string& path) {
    constexpr DWORD kNotNormal = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                                 FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    std::string name;
    do {
        if ((found.dwFileAttributes & kNotNormal) == 0) {
            name = found.cFileName;
            break;
        }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return name;
}

} // namespace platform
