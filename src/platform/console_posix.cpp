#include "platform/console.h"

#include <cstdio>
#include <unistd.h>

namespace platform {

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

void WriteStandard(bool toError, std::string_view utf8) {
    std::FILE* stream = toError ? stderr : stdout;
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}

} // namespace platform
