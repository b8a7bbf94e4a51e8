#include "platform/launcher.h"

#include <utility>

namespace platform {
namespace detail {
bool StartProgramNative(const std::string& path, int showStyle); // per-system implementation
}

namespace {
StartProgramHook& hook() {
    static StartProgramHook h;
    return h;
}
} // namespace

bool StartProgram(const std::string& path, int showStyle) {
    if (hook())
        return hook()(path, showStyle);
    if (path.empty())
        return false;
    return detail::StartProgramNative(path, showStyle);
}

void SetStartProgramHook(StartProgramHook h) {
    hook() = std::move(h);
}

} // namespace platform
