#include "platform/paths.h"

#include <algorithm>

namespace platform {

std::string NativePath(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

} // namespace platform
