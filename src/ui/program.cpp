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
