#!/usr/bin/env bash
# Installs what the project needs, builds everything once with AddressSanitizer and
# UndefinedBehaviorSanitizer and warnings as errors, and runs every test headless.
# Also cross-builds the Windows platform code with mingw-w64.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DTHALVANE_SANITIZE=ON -DTHALVANE_WERROR=ON -DTHALVANE_BUILD_BENCH=ON
cmake --build build/test
ctest --test-dir build/test --output-on-failure -j2

# The Windows implementations, cross-compiled.
cmake -S . -B build/mingw -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DTHALVANE_WIN32_CORE_ONLY=ON \
    -DTHALVANE_WERROR=ON
cmake --build build/mingw
# ...and run under Wine.
tests/wine/run.sh build/mingw
