#pragma once
// Finding and starting the operating system's system-information tool.
//
// Standard C++ over the platform's registry, file lookup and program start, so that it
// builds and runs unchanged in the Windows cross build. The About window exposes both
// operations as its own members and shows the failure message through its message box.

#include "platform/msgbox.h"
#include "platform/registry.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace sysinfo {

// Where the tool is recorded: first the full path of its program file, then the folder
// that holds MSINFO32.EXE.
inline constexpr char kProgramKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr char kProgramValue[] = "PATH";
inline constexpr char kFolderKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr char kFolderValue[] = "MSINFO";
inline constexpr char kProgramFile[] = "\\MSINFO32.EXE";

// Keys are opened for reading only: asking for write access under HKEY_LOCAL_MACHINE is
// refused to every user without administrator rights.
inline constexpr std::uint32_t kOpenAccess = platform::kKeyRead;

// Values are read into a zero-filled buffer of this many bytes; longer values cannot be
// read.
inline constexpr std::uint32_t kValueBufferSize = 1024;

// The one failure report.
inline constexpr char kUnavailableText[] = "此时系统信息不可用";

// Raised by GetKeyValue when a value holds no bytes at all.
class EmptyValueError : public std::runtime_error {
public:
    EmptyValueError() : std::runtime_error("registry value holds no data") {}
};

// Reads the value `subKeyRef` of the key `keyName` below `keyRoot` as text into `keyVal`.
// REG_SZ: the text, without one stored terminating NUL. REG_DWORD: "&h" followed by the
// text `keyVal` held on entry and two upper-case hex digits per byte, most significant
// first (a zero top byte is dropped). Other types: `keyVal` is left as it was.
// Returns false, with `keyVal` empty, when the key cannot be opened or the value cannot
// be read (missing, or larger than kValueBufferSize). Throws EmptyValueError for a value
// of zero bytes. The key is closed on every path.
bool GetKeyValue(std::uint32_t keyRoot, const std::string& keyName, const std::string& subKeyRef,
                 std::string& keyVal);

// Shows a message box and returns the answer.
using ShowMessage = std::function<int(const platform::MsgBoxCall&)>;

// Starts the system-information tool: the program named by the first value; failing that,
// MSINFO32.EXE in the folder named by the second value, when it is there as a plain file.
// Any failure ends in one message "此时系统信息不可用" (style 0, title Thalvane) through
// `showMessage`; nothing escapes.
void StartSysInfo(const ShowMessage& showMessage);

} // namespace sysinfo
