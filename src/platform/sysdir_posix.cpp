#include <string>

namespace platform::detail {

std::string QuerySystemDirectory() {
    return THALVANE_SYSTEM_DIR;
}

} // namespace platform::detail
