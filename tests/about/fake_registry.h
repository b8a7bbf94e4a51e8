#pragma once
// A registry held in memory, answering like RegOpenKeyExA / RegQueryValueExA /
// RegCloseKey, for values of any type and raw bytes. It puts itself in place of the
// system registry while it exists and records what is asked of it.

#include "platform/registry.h"

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

class FakeRegistry final : public platform::Registry {
public:
    FakeRegistry() { platform::SetRegistryOverride(this); }
    ~FakeRegistry() override { platform::SetRegistryOverride(nullptr); }
    FakeRegistry(const FakeRegistry&) = delete;
    FakeRegistry& operator=(const FakeRegistry&) = delete;

    // Keys are under HKEY_LOCAL_MACHINE.
    void AddKey(const std::string& key) { keys_[key]; }
    void Set(const std::string& key, const std::string& name, std::uint32_t type,
             const std::string& bytes) {
        keys_[key][name] = Value{type, bytes};
    }
    // The key exists but refuses every open, as for a user without the rights asked for.
    void Refuse(const std::string& key) {
        AddKey(key);
        refused_.insert(key);
    }

    struct Open {
        std::string key;
        std::uint32_t options;
        std::uint32_t access;
    };
    std::vector<Open> opens;          // every open asked for, granted or not
    std::vector<std::string> queries; // "key\value" of every query
    std::uint32_t lastCapacity = 0;   // buffer size handed to the last query
    int badCloses = 0;                // closes of a handle that was not open
    std::size_t OpenHandles() const { return handles_.size(); }
    bool Opened(const std::string& key) const {
        for (const Open& open : opens)
            if (open.key == key)
                return true;
        return false;
    }

    long OpenKey(std::uint32_t root, const std::string& path, std::uint32_t options,
                 std::uint32_t access, platform::RegKey& key) override {
        opens.push_back({path, options, access});
        key = 0;
        if (root != platform::kHKeyLocalMachine || !keys_.count(path))
            return platform::kErrorFileNotFound;
        if (refused_.count(path))
            return platform::kErrorAccessDenied;
        key = nextHandle_++;
        handles_[key] = path;
        return platform::kErrorSuccess;
    }

    long QueryValue(platform::RegKey key, const std::string& name, std::uint32_t& type,
                    unsigned char* data, std::uint32_t& size) override {
        const auto handle = handles_.find(key);
        if (handle == handles_.end())
            return platform::kErrorInvalidHandle;
        queries.push_back(handle->second + "\\" + name);
        lastCapacity = size;
        const auto& values = keys_[handle->second];
        const auto value = values.find(name);
        if (value == values.end())
            return platform::kErrorFileNotFound;
        const std::uint32_t capacity = size;
        type = value->second.type;
        size = static_cast<std::uint32_t>(value->second.bytes.size());
        if (size > capacity)
            return platform::kErrorMoreData;
        if (size > 0)
            std::memcpy(data, value->second.bytes.data(), size);
        return platform::kErrorSuccess;
    }

    long CloseKey(platform::RegKey key) override {
        if (handles_.erase(key) == 0) {
            ++badCloses;
            return platform::kErrorInvalidHandle;
        }
        return platform::kErrorSuccess;
    }

private:
    struct Value {
        std::uint32_t type;
        std::string bytes;
    };
    std::map<std::string, std::map<std::string, Value>> keys_;
    std::set<std::string> refused_;
    std::map<platform::RegKey, std::string> handles_;
    platform::RegKey nextHandle_ = 0x100;
};
