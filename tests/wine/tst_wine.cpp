// The Windows implementations run for real under Wine: the system directory, the
// common controls, registry reads through advapi32, the plain-file lookup, the program
// start, StartSysInfo's decisions, and the program's version resource. Console only.
//
// The test writes the registry values it needs into the (private) prefix itself, and
// starts a small program of its own (wine_sysinfo_helper.exe) in place of the
// system-information tool.

#include "about/sysinfo/sysinfo.h"
#include "platform/commoncontrols.h"
#include "platform/filelookup.h"
#include "platform/launcher.h"
#include "platform/sysdir.h"
#include "wine_check.h"
#include "wine_support.h"

#include <string>
#include <thalvane/version.h>
#include <vector>
#include <windows.h>

#include <commctrl.h> // needs windows.h first

// windows.h maps this name to GetSystemDirectoryA; the platform function is meant here.
#undef GetSystemDirectory

using winecheck::Check;
using namespace winetest;

namespace {

const char kTestKey[] = "SOFTWARE\\Thalvane Tests";

void systemDirectory() {
    char raw[MAX_PATH + 1] = {};
    const UINT length = ::GetSystemDirectoryA(raw, sizeof raw);
    const std::string dir = platform::GetSystemDirectory();
    Check("system directory " + Quoted(dir) + " has no trailing separator",
          !dir.empty() && dir.back() != '\\' && dir.back() != '/');
    // An ASCII path, as Wine's is: its UTF-8 form is the narrow call's.
    Check("system directory is GetSystemDirectoryA's", length > 0 && dir == std::string(raw));
    const DWORD attributes = ::GetFileAttributesA(dir.c_str());
    Check("system directory exists",
          attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
}

void commonControls() {
    platform::InitCommonControls();
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    Check("common controls: status bar class registered",
          ::GetClassInfoExA(nullptr, STATUSCLASSNAMEA, &info) != 0);
}

struct ValueCase {
    const char* name;
    DWORD type;
    std::string stored;
    std::string incoming;
    bool result;
    std::string text;
};

void getKeyValue() {
    const std::string path = "C:\\Program Files\\Info\\info.exe";
    const std::vector<ValueCase> cases = {
        {"REG_SZ with NUL", REG_SZ, path + '\0', "", true, path},
        {"REG_SZ without NUL", REG_SZ, path, "", true, path},
        {"REG_SZ replaces incoming", REG_SZ, path + '\0', "old", true, path},
        {"REG_SZ of 1024 bytes", REG_SZ, std::string(1023, 'x') + '\0', "", true,
         std::string(1023, 'x')},
        {"REG_SZ of 1025 bytes", REG_SZ, std::string(1024, 'x') + '\0', "old", false, ""},
        {"REG_DWORD", REG_DWORD, Dword(0x12345678), "", true, "&h12345678"},
        {"REG_DWORD zero top byte", REG_DWORD, Dword(0x00ABCDEF), "", true, "&hABCDEF"},
        {"REG_EXPAND_SZ keeps incoming", REG_EXPAND_SZ, std::string("%SystemRoot%\\x.exe\0", 19),
         "before", true, "before"},
    };
    for (const ValueCase& c : cases) {
        const std::string name = std::string("GetKeyValue ") + c.name;
        if (!SetValue(kTestKey, c.name, c.type, c.stored)) {
            Check(name, false, "could not write the value");
            continue;
        }
        std::string value = c.incoming;
        const bool result =
            sysinfo::GetKeyValue(platform::kHKeyLocalMachine, kTestKey, c.name, value);
        Check(name, result == c.result && value == c.text,
              "got " + std::string(result ? "True " : "False ") +
                  Quoted(value.size() > 40 ? value.substr(0, 40) + "..." : value));
    }

    std::string value = "old";
    Check("GetKeyValue missing value",
          !sysinfo::GetKeyValue(platform::kHKeyLocalMachine, kTestKey, "no such value", value) &&
              value.empty());
    value = "old";
    Check("GetKeyValue missing key",
          !sysinfo::GetKeyValue(platform::kHKeyLocalMachine, "SOFTWARE\\Thalvane No Such Key", "x",
                                value) &&
              value.empty());

    bool raised = false;
    if (SetValue(kTestKey, "zero bytes", REG_BINARY, std::string())) {
        try {
            sysinfo::GetKeyValue(platform::kHKeyLocalMachine, kTestKey, "zero bytes", value);
        } catch (const sysinfo::EmptyValueError&) {
            raised = true;
        }
    }
    Check("GetKeyValue zero-byte value raises", raised);
}

// One StartSysInfo run: how "PATH" and "MSINFO" are stored, what is expected to start.
struct StartCase {
    const char* name;
    DWORD programType; // REG_NONE: no "PATH" value
    std::string program;
    bool withFolder;           // "MSINFO" names the case's folder
    DWORD fileAttributes;      // of the MSINFO32.EXE copied there; 0: no file
    bool folderOfThatName;     // MSINFO32.EXE is a folder
    std::string startedMarker; // file the helper writes when started; empty: no start
};

void startSysInfo() {
    const std::string here = OwnFolder();
    const std::string helper = here + "\\wine_sysinfo_helper.exe";
    const std::string work = here + "\\sysinfo-work";
    RemoveTree(work);
    RemoveTree(helper + ".started");
    ::CreateDirectoryA(work.c_str(), nullptr);

    const std::vector<StartCase> cases = {
        {"PATH names the program", REG_SZ, helper + '\0', false, 0, false, helper + ".started"},
        {"MSINFO folder holds MSINFO32.EXE", REG_NONE, "", true, FILE_ATTRIBUTE_NORMAL, false,
         "MSINFO32.EXE.started"},
        {"MSINFO32.EXE hidden", REG_NONE, "", true, FILE_ATTRIBUTE_HIDDEN, false, ""},
        {"MSINFO32.EXE a system file", REG_NONE, "", true, FILE_ATTRIBUTE_SYSTEM, false, ""},
        {"MSINFO32.EXE a folder", REG_NONE, "", true, 0, true, ""},
        {"MSINFO32.EXE absent", REG_NONE, "", true, 0, false, ""},
        {"both values absent", REG_NONE, "", false, 0, false, ""},
        {"PATH names a missing program", REG_SZ, work + "\\missing.exe", true,
         FILE_ATTRIBUTE_NORMAL, false, ""},
        {"PATH stored as REG_EXPAND_SZ", REG_EXPAND_SZ, helper + '\0', false, 0, false, ""},
        {"PATH of zero bytes", REG_SZ, "", true, FILE_ATTRIBUTE_NORMAL, false, ""},
    };

    int number = 0;
    for (const StartCase& c : cases) {
        const std::string name = std::string("StartSysInfo ") + c.name;
        const std::string folder = work + "\\case" + std::to_string(++number);
        ::CreateDirectoryA(folder.c_str(), nullptr);
        const std::string program = folder + "\\MSINFO32.EXE";
        RemoveTree(helper + ".started");

        DeleteValue(sysinfo::kProgramKey, sysinfo::kProgramValue);
        DeleteValue(sysinfo::kFolderKey, sysinfo::kFolderValue);
        bool ready = true;
        if (c.programType != REG_NONE)
            ready &=
                SetValue(sysinfo::kProgramKey, sysinfo::kProgramValue, c.programType, c.program);
        if (c.withFolder)
            ready &= SetValue(sysinfo::kFolderKey, sysinfo::kFolderValue, REG_SZ, folder + '\0');
        if (c.fileAttributes != 0)
            ready &= ::CopyFileA(helper.c_str(), program.c_str(), FALSE) &&
                     ::SetFileAttributesA(program.c_str(), c.fileAttributes);
        if (c.folderOfThatName)
            ready &= ::CreateDirectoryA(program.c_str(), nullptr) != 0;
        if (!ready) {
            Check(name, false, "could not prepare the case");
            continue;
        }

        std::vector<platform::MsgBoxCall> boxes;
        sysinfo::StartSysInfo([&](const platform::MsgBoxCall& call) {
            boxes.push_back(call);
            return int(platform::vbOK);
        });

        if (!c.startedMarker.empty()) {
            const std::string marker = c.startedMarker.find('\\') == std::string::npos
                                           ? folder + "\\" + c.startedMarker
                                           : c.startedMarker;
            const bool started = Appears(marker, 10000);
            const std::string report = started ? ReadText(marker) : std::string();
            Check(name,
                  started && boxes.empty() &&
                      report.find("usershowwindow=1 show=1") != std::string::npos,
                  started ? "helper reported " + Quoted(report) +
                                ", boxes: " + std::to_string(boxes.size())
                          : "the program did not start");
        } else {
            // A start, had one been made, would show within this time.
            const bool startedAnyway =
                Appears(program + ".started", 1000) || Exists(helper + ".started");
            const bool oneBox = boxes.size() == 1 && boxes[0].text == sysinfo::kUnavailableText &&
                                boxes[0].title == THALVANE_APP_TITLE && boxes[0].style == 0;
            Check(name + ": one failure message", oneBox && !startedAnyway,
                  "boxes: " + std::to_string(boxes.size()) +
                      (startedAnyway ? ", the program started" : ""));
        }
    }
    DeleteValue(sysinfo::kProgramKey, sysinfo::kProgramValue);
    DeleteValue(sysinfo::kFolderKey, sysinfo::kFolderValue);
    RemoveTree(work);
    RemoveTree(helper + ".started");
}

void plainFileLookup() {
    const std::string work = OwnFolder() + "\\lookup-work";
    RemoveTree(work);
    ::CreateDirectoryA(work.c_str(), nullptr);
    const std::string file = work + "\\MSINFO32.EXE";
    ::CloseHandle(::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    Check("FindPlainFile finds a normal file", platform::FindPlainFile(file) == "MSINFO32.EXE");
    ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    Check("FindPlainFile finds a read-only file", platform::FindPlainFile(file) == "MSINFO32.EXE");
    ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_HIDDEN);
    Check("FindPlainFile passes over a hidden file", platform::FindPlainFile(file).empty());
    Check("FindPlainFile passes over a folder", platform::FindPlainFile(work).empty());
    Check("FindPlainFile of a missing file", platform::FindPlainFile(work + "\\none").empty());
    RemoveTree(work);
}

void programStartFailure() {
    Check(
        "StartProgram of a missing file fails",
        !platform::StartProgram(OwnFolder() + "\\no such program.exe", platform::kShowNormalFocus));
    Check("StartProgram of an empty path fails",
          !platform::StartProgram("", platform::kShowNormalFocus));
}

void versionResource() {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(self, &ignored);
    std::vector<char> info(size);
    const bool read = size > 0 && ::GetFileVersionInfoA(self, 0, size, info.data());

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    const bool hasFixed =
        read && ::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) &&
        fixed && fixed->dwSignature == VS_FFI_SIGNATURE;
    const DWORD expectedMs = (THALVANE_VERSION_MAJOR << 16) | THALVANE_VERSION_MINOR;
    const DWORD expectedLs = THALVANE_VERSION_PATCH << 16;
    Check("version record file version 1.0.0.0",
          hasFixed && fixed->dwFileVersionMS == expectedMs && fixed->dwFileVersionLS == expectedLs);
    Check("version record product version 1.0.0.0", hasFixed &&
                                                        fixed->dwProductVersionMS == expectedMs &&
                                                        fixed->dwProductVersionLS == expectedLs);

    auto text = [&](const char* name) -> std::string {
        char* value = nullptr;
        UINT length = 0;
        const std::string query = std::string("\\StringFileInfo\\080404b0\\") + name;
        if (!read ||
            !::VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&value),
                              &length) ||
            !value)
            return {};
        return value;
    };
    Check("version record FileVersion text", text("FileVersion") == "1.0.0.0",
          Quoted(text("FileVersion")));
    Check("version record ProductName", text("ProductName") == THALVANE_APP_TITLE,
          Quoted(text("ProductName")));

    // The icon group: one 16 x 16 image in 256 colours.
    bool iconOk = false;
    if (HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14))) {
        const auto* group =
            static_cast<const unsigned char*>(::LockResource(::LoadResource(nullptr, found)));
        const DWORD groupSize = ::SizeofResource(nullptr, found);
        // GRPICONDIR: reserved, type 1, count; then 14-byte entries.
        if (group && groupSize >= 6 + 14) {
            const int type = group[2] | group[3] << 8;
            const int count = group[4] | group[5] << 8;
            const unsigned char* entry = group + 6;
            const int bits = entry[6] | entry[7] << 8;
            iconOk = type == 1 && count >= 1 && entry[0] == 16 && entry[1] == 16 && entry[2] == 0 &&
                     bits == 8;
        }
    }
    Check("icon resource 1: 16 x 16, 256 colours", iconOk);
    Check("icon loads", ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)) != nullptr);
}

} // namespace

int main() {
    systemDirectory();
    commonControls();
    getKeyValue();
    plainFileLookup();
    programStartFailure();
    startSysInfo();
    versionResource();
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kTestKey);
    return winecheck::Finish();
}
