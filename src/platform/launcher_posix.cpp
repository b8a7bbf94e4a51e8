#include "platform/paths.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace platform::detail {
namespace {

// Runs in the forked child: only async-signal-safe calls from here on.
[[noreturn]] void reportAndExit(int fd, int code) {
    const int error = errno;
    [[maybe_unused]] const ssize_t written = ::write(fd, &error, sizeof error);
    ::_exit(code);
}

} // namespace

// Double fork: the intermediate child starts a new session and exits at once, so the
// program is neither our child (no zombie to reap) nor tied to our terminal. A pipe that
// closes on exec tells whether the exec succeeded.
bool StartProgramNative(const std::string& path, int /*showStyle*/) {
    const std::string file = NativePath(path);
    char* const argv[] = {const_cast<char*>(file.c_str()), nullptr};

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return false;

    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        ::close(report[0]);
        ::setsid();
        const pid_t program = ::fork();
        if (program < 0)
            reportAndExit(report[1], 1);
        if (program > 0)
            ::_exit(0);
        // Signal state is inherited across exec: start the program with a clean one.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        struct sigaction standard {};
        standard.sa_handler = SIG_DFL;
        for (int sig = 1; sig < NSIG; ++sig)
            ::sigaction(sig, &standard, nullptr);
        ::execv(file.c_str(), argv);
        reportAndExit(report[1], 127);
    }

    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got = 0;
    do {
        got = ::read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    return got == 0;
}

} // namespace platform::detail
