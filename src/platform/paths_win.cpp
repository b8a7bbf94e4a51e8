#include "platform/paths.h"

namespace platform {

std::string NativePath(std::string path) {
    return path;
}

} // namespace platform
