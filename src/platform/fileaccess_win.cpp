#include "platform/fileaccess.h"

#include <windows.h>

namespace platform {
namespace {

std::wstring Wide(const std::string& utf8) {
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(std::size_t(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), length);
    return wide;
}

} // namespace

bool CanWrite(const std::string& path) {
    const std::wstring name = Wide(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!folder && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return false;
    // Opening a handle with the right to write (a file) or to add files (a folder) is
    // checked against the access list, and changes nothing.
    const HANDLE handle = ::CreateFileW(
        name.c_str(), folder ? FILE_ADD_FILE : GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        folder ? FILE_FLAG_BACKUP_SEMANTICS : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(handle);
    return true;
}

} // namespace platform
