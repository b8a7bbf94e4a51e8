#!/usr/bin/env bash
# Builds Thalvane for 64-bit Windows, cross, with Debian's mingw-w64 and the Qt and
# SQLCipher that scripts/windows-deps.sh builds from Debian's sources (or finds in its
# cache). The programs and the test programs go to <build dir>; then a folder that runs on
# Windows as it is, and a zip of it:
#
#   <build dir>/dist/thalvane-<version>-win64/      thalvane.exe, thalvane-admin.exe,
#                                                 Qt's and the compiler's DLLs, platforms/,
#                                                 styles/, imageformats/, all stripped
#   <build dir>/dist/thalvane-<version>-win64.zip
#
# Usage: scripts/build-windows.sh [build dir]        (default: build/windows)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/windows}

deps=$(scripts/windows-deps.sh)
QT_PREFIX=$(sed -n 's/^QT_PREFIX=//p' <<<"$deps")
SQLCIPHER_PREFIX=$(sed -n 's/^SQLCIPHER_PREFIX=//p' <<<"$deps")
# pkg-config looks for SQLCipher in the Windows build only, never in the host's; the
# prefix is also where the libraries it names are looked up.
export PKG_CONFIG_LIBDIR=$SQLCIPHER_PREFIX/lib/pkgconfig PKG_CONFIG_PATH=
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$QT_PREFIX/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_ADDITIONAL_PACKAGES_PREFIX_PATH="$SQLCIPHER_PREFIX" -DTHALVANE_WERROR=ON
cmake --build "$build"

version=$(sed -n 's/^#define THALVANE_VERSION_STRING "\(.*\)"$/\1/p' "$build/generated/thalvane/version.h")
name=thalvane-$version-win64
dist=$build/dist/$name
rm -rf "$dist" "$dist.zip"
cmake --install "$build" --prefix "$dist" >/dev/null
find "$dist" -name '*.exe' -o -name '*.dll' | xargs x86_64-w64-mingw32-strip --strip-unneeded
(cd "$build/dist" && cmake -E tar cf "$name.zip" --format=zip "$name")
echo "$dist ($(du -sh "$dist" | cut -f1)), $dist.zip ($(du -h "$dist.zip" | cut -f1))"
