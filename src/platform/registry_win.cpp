#include "platform/registry.h"

#include <windows.h>

namespace platform::detail {
namespace {

// Root handles are 32-bit values that Win32 sign-extends to a pointer
// (HKEY_LOCAL_MACHINE is (HKEY)(ULONG_PTR)(LONG)0x80000002).
HKEY rootHandle(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

class Advapi32Registry final : public Registry {
public:
    long OpenKey(std::uint32_t root, const std::string& path, std::uint32_t options,
                 std::uint32_t access, RegKey& key) override {
        HKEY handle = nullptr;
        const LONG rc = ::RegOpenKeyExA(rootHandle(root), path.c_str(), options, access, &handle);
        key = rc == ERROR_SUCCESS ? reinterpret_cast<RegKey>(handle) : 0;
        return rc;
    }

    long QueryValue(RegKey key, const std::string& name, std::uint32_t& type, unsigned char* data,
                    std::uint32_t& size) override {
        DWORD valueType = REG_NONE;
        DWORD valueSize = size;
        const LONG rc = ::RegQueryValueExA(reinterpret_cast<HKEY>(key), name.c_str(), nullptr,
                                           &valueType, data, &valueSize);
        type = valueType;
        size = valueSize;
        return rc;
    }

    long CloseKey(RegKey key) override { return ::RegCloseKey(reinterpret_cast<HKEY>(key)); }
};

} // namespace

Registry& SystemRegistry() {
    static Advapi32Registry registry;
    return registry;
}

} // namespace platform::detail
