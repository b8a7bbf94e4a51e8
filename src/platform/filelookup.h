#pragma once
#include <string>

namespace platform {

// Looks up a plain file by its full name: a file with normal attributes, which passes over
// folders, hidden files and system files. Returns the file's name without its folder, or
// the empty text when there is no such file. Paths may use a backslash as separator.
// On Windows the name may hold the wildcards * and ?; the first match is returned.
// Elsewhere a hidden file is one whose name begins with a dot.
std::string FindPlainFile(const std::string& path);

} // namespace platform
