#pragma once
#include <string>

namespace platform {

// Paths are joined with a backslash throughout the program ("<dir>\shipman.bcd").
// Off Windows the backslash is read as the directory separator.
std::string NativePath(std::string path);

} // namespace platform
