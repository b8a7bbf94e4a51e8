#pragma once
// The registry off Windows: read-only, and its only value is
// HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\Shared Tools\MSINFO" "PATH", a REG_SZ naming this
// desktop's own system-information program when one is installed at one of a few fixed
// absolute paths. Nothing else exists in it, so "SOFTWARE\Microsoft\Shared Tools Location"
// cannot be opened. The program reads no environment variable, so there is no $PATH
// search: only the fixed paths are tried, in order, at every query.

#include "platform/registry.h"

#include <string>
#include <vector>

namespace platform {

// The system-information programs the stand-in looks for, in order of preference.
const std::vector<std::string>& WellKnownSysInfoPrograms();

class StandInRegistry final : public Registry {
public:
    // `candidates`: absolute paths of programs to look for; the first that is an
    // executable regular file is the value.
    explicit StandInRegistry(std::vector<std::string> candidates);

    long OpenKey(std::uint32_t root, const std::string& path, std::uint32_t options,
                 std::uint32_t access, RegKey& key) override;
    long QueryValue(RegKey key, const std::string& name, std::uint32_t& type, unsigned char* data,
                    std::uint32_t& size) override;
    long CloseKey(RegKey key) override;

private:
    std::vector<std::string> candidates_;
};

} // namespace platform
