#include "about/sysinfo/sysinfo.h"

#include "platform/filelookup.h"
#include "platform/launcher.h"

#include <optional>
#include <thalvane/version.h>

namespace sysinfo {
namespace {

// The program to start, or nothing when the registry names none that exists.
// GetKeyValue may throw.
std::optional<std::string> findProgram() {
    std::string path;
    if (GetKeyValue(platform::kHKeyLocalMachine, kProgramKey, kProgramValue, path))
        return path; // taken as it is: a wrong or empty path fails at the start
    if (!GetKeyValue(platform::kHKeyLocalMachine, kFolderKey, kFolderValue, path))
        return std::nullopt;
    const std::string program = path + kProgramFile;
    if (platform::FindPlainFile(program).empty())
        return std::nullopt;
    return program;
}

} // namespace

void StartSysInfo(const ShowMessage& showMessage) {
    bool started = false;
    try {
        const std::optional<std::string> program = findProgram();
        started = program && platform::StartProgram(*program, platform::kShowNormalFocus);
    } catch (const std::exception&) {
        started = false;
    }
    if (!started)
        showMessage({kUnavailableText, THALVANE_APP_TITLE, platform::vbOKOnly});
}

} // namespace sysinfo
