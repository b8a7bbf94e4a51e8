#include "ui/program.h"

#include <QCoreApplication>
#include <cstdlib>

namespace ui {
namespace {
EndProgramHook& hook() {
    static EndProgramHook h;
    return h;
}
bool ending = false;
} // namespace

void ChooseEventDispatcher() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
#endif
}

void EndProgram(int exitCode) {
    ending = true;
    if (hook()) {
        hook()(exitCode);
        return;
    }
    // Leave the event loop; main() then returns with this status.
    QCoreApplication::exit(exitCode);
}

bool ProgramEnding() {
    return ending;
}

void SetEndProgramHook(EndProgramHook h) {
    hook() = std::move(h);
    ending = false;
}

} // namespace ui
