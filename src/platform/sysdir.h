#pragma once
#include <optional>
#include <string>

namespace platform {

// The folder that holds the database file, in UTF-8: on Windows the operating system's
// system directory, elsewhere the folder fixed when the program was built. Never ends
// with a separator.
std::string GetSystemDirectory();

// Tests point the program at a folder of their own; std::nullopt restores the real one.
void SetSystemDirectoryOverride(std::optional<std::string> dir);

} // namespace platform
