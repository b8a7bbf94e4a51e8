#pragma once
// Read access to the registry, shaped like the Win32 calls RegOpenKeyExA,
// RegQueryValueExA and RegCloseKey: every call returns a Win32 error code (0 on success).
//
// On Windows the system registry is advapi32's. Elsewhere it is a read-only stand-in
// (registry_standin.h) that answers only the value naming this desktop's
// system-information program.

#include <cstdint>
#include <string>

namespace platform {

// Root keys, as their Win32 handle values.
inline constexpr std::uint32_t kHKeyLocalMachine = 0x80000002u;

// Access masks.
inline constexpr std::uint32_t kKeyQueryValue = 0x0001u;
inline constexpr std::uint32_t kKeySetValue = 0x0002u;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004u;
inline constexpr std::uint32_t kKeyCreateLink = 0x0020u;
inline constexpr std::uint32_t kKeyRead = 0x20019u; // query, enumerate, notify, read control
inline constexpr std::uint32_t kKeyWriteBits = kKeySetValue | kKeyCreateSubKey | kKeyCreateLink;

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// Win32 error codes the registry calls return.
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorMoreData = 234;

// An open key.
using RegKey = std::uintptr_t;

class Registry {
public:
    virtual ~Registry() = default;

    // Opens `path` below `root` with the given options and access mask.
    virtual long OpenKey(std::uint32_t root, const std::string& path, std::uint32_t options,
                         std::uint32_t access, RegKey& key) = 0;

    // Reads the value `name` of an open key. `size` holds the capacity of `data` on entry
    // and the value's size in bytes on return. A value larger than the buffer gives
    // kErrorMoreData (with `size` set to the size needed); a missing value
    // kErrorFileNotFound. Text is in the system's narrow code page.
    virtual long QueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& size) = 0;

    virtual long CloseKey(RegKey key) = 0;
};

// The registry the program reads: the system's, unless a test has put another in place.
Registry& GetRegistry();

// Tests put a fake registry in place; nullptr restores the system's. The caller keeps
// the fake alive while it is in place.
void SetRegistryOverride(Registry* registry);

} // namespace platform
