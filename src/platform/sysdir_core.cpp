#include "platform/sysdir.h"

#include <utility>

namespace platform {
namespace detail {
std::string QuerySystemDirectory(); // per-system implementation
}

namespace {
std::optional<std::string>& overrideDir() {
    static std::optional<std::string> dir;
    return dir;
}
} // namespace

std::string GetSystemDirectory() {
    std::string dir = overrideDir() ? *overrideDir() : detail::QuerySystemDirectory();
    while (dir.size() > 1 && (dir.back() == '\\' || dir.back() == '/'))
        dir.pop_back();
    return dir;
}

void SetSystemDirectoryOverride(std::optional<std::string> dir) {
    overrideDir() = std::move(dir);
}

} // namespace platform
