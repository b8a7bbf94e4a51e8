#include "about/sysinfo/sysinfo.h"

#include <vector>

namespace sysinfo {
namespace {

// Closes an open key when the read ends, whichever way it ends.
class OpenKey {
public:
    OpenKey(platform::Registry& registry, platform::RegKey key) : registry_(registry), key_(key) {}
    ~OpenKey() { registry_.CloseKey(key_); }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

private:
    platform::Registry& registry_;
    platform::RegKey key_;
};

void appendHexByte(std::string& text, unsigned char byte) {
    constexpr char digits[] = "0123456789ABCDEF";
    text += digits[byte >> 4];
    text += digits[byte & 0x0F];
}

} // namespace

bool GetKeyValue(std::uint32_t keyRoot, const std::string& keyName, const std::string& subKeyRef,
                 std::string& keyVal) {
    platform::Registry& registry = platform::GetRegistry();
    platform::RegKey key = 0;
    if (registry.OpenKey(keyRoot, keyName, 0, kOpenAccess, key) != platform::kErrorSuccess) {
        keyVal.clear();
        return false;
    }
    const OpenKey closer(registry, key);

    std::vector<unsigned char> buffer(kValueBufferSize, 0);
    std::uint32_t size = kValueBufferSize;
    std::uint32_t type = platform::kRegNone;
    if (registry.QueryValue(key, subKeyRef, type, buffer.data(), size) != platform::kErrorSuccess) {
        keyVal.clear();
        return false;
    }

    if (size == 0)
        throw EmptyValueError();
    if (size > kValueBufferSize) // a registry that reports more than it wrote
        size = kValueBufferSize;
    std::vector<unsigned char> data(buffer.begin(), buffer.begin() + size);
    if (data.back() == 0)
        data.pop_back();

    if (type == platform::kRegSz) {
        keyVal.assign(data.begin(), data.end());
    } else if (type == platform::kRegDword) {
        for (auto byte = data.rbegin(); byte != data.rend(); ++byte)
            appendHexByte(keyVal, *byte);
        keyVal.insert(0, "&h");
    }
    return true;
}

} // namespace sysinfo
