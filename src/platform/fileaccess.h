#pragma once
#include <string>

namespace platform {

// True when this user may write to the file at `path` (UTF-8, a backslash may be the
// separator), or, for a folder, create files in it. Asks the system without changing
// anything: a read-only file system, a file without write permission for this user, a
// folder such as the Windows system directory for a standard user all give false.
bool CanWrite(const std::string& path);

} // namespace platform
