#!/usr/bin/env bash
# Installs what the project needs, builds everything once with AddressSanitizer and
# UndefinedBehaviorSanitizer and warnings as errors, and runs every test headless; then
# builds the Debian package and installs, starts and removes it (tests/package).
# Then the same for Windows: cross-built with mingw-w64 (scripts/build-windows.sh), every
# test run under Wine, and one session of the real program driven on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DTHALVANE_SANITIZE=ON -DTHALVANE_WERROR=ON -DTHALVANE_BUILD_BENCH=ON
cmake --build build/test
ctest --test-dir build/test --output-on-failure -j2

# The Debian package from a release build: installed, checked, started, removed, purged.
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DTHALVANE_SYSTEM_DIR=/var/lib/thalvane -DTHALVANE_BUILD_TESTS=OFF
cmake --build build/package
tests/package/test-deb.sh build/package

# Windows: the program, its tests and the zip; the tests under Wine; then the program itself.
scripts/build-windows.sh build/windows
ctest --test-dir build/windows --output-on-failure -j2
tests/wine/e2e.sh build/windows
