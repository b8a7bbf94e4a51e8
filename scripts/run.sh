#!/usr/bin/env bash
# Installs what the program needs, builds it, creates the demo database when there is
# none, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTHALVANE_BUILD_TESTS=OFF
cmake --build build/release
sysdir=build/release/system
mkdir -p "$sysdir"
[ -e "$sysdir/shipman.bcd" ] || build/release/tools/admin/thalvane-admin demo "$sysdir/shipman.bcd"
exec build/release/src/app/thalvane
