#include "platform/filelookup.h"

#include "platform/paths.h"

#include <sys/stat.h>

namespace platform {

std::string FindPlainFile(const std::string& path) {
    const std::string file = NativePath(path);
    const std::string name = file.substr(file.find_last_of('/') + 1);
    if (name.empty() || name.front() == '.')
        return {};
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    return name;
}

} // namespace platform
