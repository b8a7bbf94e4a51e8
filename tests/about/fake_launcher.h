#pragma once
// Stands in for the program start while it exists: records every start asked for and
// never starts anything. Only the paths it was told of count as startable.

#include "platform/launcher.h"

#include <set>
#include <string>
#include <vector>

class FakeLauncher {
public:
    struct Start {
        std::string path;
        int showStyle;
    };

    FakeLauncher() {
        platform::SetStartProgramHook([this](const std::string& path, int showStyle) {
            starts.push_back({path, showStyle});
            return startable.count(path) > 0;
        });
    }
    ~FakeLauncher() { platform::SetStartProgramHook({}); }
    FakeLauncher(const FakeLauncher&) = delete;
    FakeLauncher& operator=(const FakeLauncher&) = delete;

    std::set<std::string> startable;
    std::vector<Start> starts;
};
