#pragma once
// A minimal check harness for the console test run under Wine: each case prints one line,
// and the run ends with "N passed, M failed".

#include <cstdio>
#include <string>

namespace winecheck {

struct Tally {
    int passed = 0;
    int failed = 0;
};

inline Tally& tally() {
    static Tally t;
    return t;
}

// Records one case. `detail` explains a failure.
inline void Check(const std::string& name, bool ok, const std::string& detail = {}) {
    if (ok) {
        ++tally().passed;
        std::printf("PASS  %s\n", name.c_str());
    } else {
        ++tally().failed;
        std::printf("FAIL  %s%s%s\n", name.c_str(), detail.empty() ? "" : ": ", detail.c_str());
    }
    std::fflush(stdout);
}

// Prints the closing line; the exit status of the run.
inline int Finish() {
    std::printf("%d passed, %d failed\n", tally().passed, tally().failed);
    return tally().failed == 0 ? 0 : 1;
}

} // namespace winecheck
