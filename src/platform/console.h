#pragma once

namespace platform {

// True when the process's standard error goes to a terminal (a console window on
// Windows), where a line of progress that rewrites itself can be read; false for a file
// or a pipe.
bool StandardErrorIsTerminal();

} // namespace platform
