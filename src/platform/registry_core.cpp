#include "platform/registry.h"

namespace platform {
namespace detail {
Registry& SystemRegistry(); // per-system implementation
}

namespace {
Registry*& overrideRegistry() {
    static Registry* registry = nullptr;
    return registry;
}
} // namespace

Registry& GetRegistry() {
    return overrideRegistry() ? *overrideRegistry() : detail::SystemRegistry();
}

void SetRegistryOverride(Registry* registry) {
    overrideRegistry() = registry;
}

} // namespace platform
