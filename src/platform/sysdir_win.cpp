#include <string>
#include <windows.h>

namespace platform::detail {

std::string QuerySystemDirectory() {
    char buffer[MAX_PATH + 1] = {};
    const UINT length = ::GetSystemDirectoryA(buffer, sizeof buffer);
    if (length == 0 || length > MAX_PATH)
        return {};
    return std::string(buffer, length);
}

} // namespace platform::detail
