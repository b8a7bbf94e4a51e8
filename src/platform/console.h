#pragma once

#include <string_view>

namespace platform {

// True when the process's standard error goes to a terminal (a console window on
// Windows), where a line of progress that rewrites itself can be read; false for a file
// or a pipe.
bool StandardErrorIsTerminal();

// Writes UTF-8 text to standard output (or error). A Windows console takes it as the
// text it is, whatever its code page (936 in a Chinese Windows); a file or a pipe, and
// everything elsewhere, gets the bytes as they are. `utf8` holds whole characters.
void WriteStandard(bool toError, std::string_view utf8);

} // namespace platform
