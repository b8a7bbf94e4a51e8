#include <string>
#include <windows.h>

namespace platform::detail {

// The system directory in UTF-8, as the rest of the program takes paths: the wide call
// keeps any character the system's narrow code page lacks.
std::string QuerySystemDirectory() {
    wchar_t wide[MAX_PATH + 1] = {};
    const UINT length = ::GetSystemDirectoryW(wide, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return {};
    const int bytes =
        ::WideCharToMultiByte(CP_UTF8, 0, wide, int(length), nullptr, 0, nullptr, nullptr);
    std::string utf8(std::size_t(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, int(length), utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

} // namespace platform::detail
