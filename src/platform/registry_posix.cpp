#include "platform/registry_standin.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace platform {
namespace {

constexpr const char* kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kSysInfoValue = "PATH";
// The one key the stand-in can open.
constexpr RegKey kSysInfoKeyHandle = 1;

// Key paths and value names compare without regard to ASCII case, as on Windows.
bool sameName(const std::string& a, const char* b) {
    const std::size_t length = std::strlen(b);
    if (a.size() != length)
        return false;
    return std::equal(a.begin(), a.end(), b, [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           (info.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
}

} // namespace

const std::vector<std::string>& WellKnownSysInfoPrograms() {
    static const std::vector<std::string> programs = {
        "/usr/bin/hardinfo",
        "/usr/bin/kinfocenter",
        "/usr/bin/gnome-system-monitor",
        "/usr/bin/mate-system-monitor",
        "/usr/bin/xfce4-taskmanager",
    };
    return programs;
}

StandInRegistry::StandInRegistry(std::vector<std::string> candidates)
    : candidates_(std::move(candidates)) {}

long StandInRegistry::OpenKey(std::uint32_t root, const std::string& path, std::uint32_t,
                              std::uint32_t access, RegKey& key) {
    key = 0;
    if (root != kHKeyLocalMachine || !sameName(path, kSysInfoKey))
        return kErrorFileNotFound;
    // Nothing here can be changed, so write access is refused as it is to users
    // without administrator rights on Windows.
    if ((access & kKeyWriteBits) != 0)
        return kErrorAccessDenied;
    key = kSysInfoKeyHandle;
    return kErrorSuccess;
}

long StandInRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                                 unsigned char* data, std::uint32_t& size) {
    if (key != kSysInfoKeyHandle)
        return kErrorInvalidHandle;
    if (!sameName(name, kSysInfoValue))
        return kErrorFileNotFound;
    const auto found = std::find_if(candidates_.begin(), candidates_.end(), isExecutableFile);
    if (found == candidates_.end())
        return kErrorFileNotFound;

    // Stored as Windows stores text: with its terminating NUL.
    const std::uint32_t needed = static_cast<std::uint32_t>(found->size() + 1);
    const std::uint32_t capacity = size;
    type = kRegSz;
    size = needed;
    if (data == nullptr)
        return kErrorSuccess;
    if (needed > capacity)
        return kErrorMoreData;
    std::memcpy(data, found->c_str(), needed);
    return kErrorSuccess;
}

long StandInRegistry::CloseKey(RegKey key) {
    return key == kSysInfoKeyHandle ? kErrorSuccess : kErrorInvalidHandle;
}

namespace detail {
Registry& SystemRegistry() {
    static StandInRegistry registry(WellKnownSysInfoPrograms());
    return registry;
}
} // namespace detail

} // namespace platform
