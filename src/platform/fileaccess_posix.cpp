#include "platform/fileaccess.h"

#include "platform/paths.h"

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool CanWrite(const std::string& path) {
    const std::string native = NativePath(path);
    struct stat info {};
    if (::stat(native.c_str(), &info) != 0)
        return false;
    // A folder must also be searchable for a file to be made in it.
    const int mode = S_ISDIR(info.st_mode) ? W_OK | X_OK : W_OK;
    return ::access(native.c_str(), mode) == 0;
}

} // namespace platform
