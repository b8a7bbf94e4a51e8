#!/usr/bin/env bash
# Builds, once, the Windows (x86_64) libraries Thalvane links, cross, with Debian's
# mingw-w64 and from Debian's own source packages (apt-get source; nothing else is
# downloaded):
#
#   Qt          qtbase: Core, Gui, Widgets, Test; the Windows and offscreen platforms,
#               the Windows style, the GIF, JPEG and ICO image formats
#   SQLCipher   Debian's version, the one the Linux build links, as a static library,
#               with LibTomCrypt as its cipher
#
# Each lives in its own cache folder, ~/.cache/thalvane/windows-<name>-<key> (or under
# $THALVANE_CACHE), where the key is a hash of the functions below that build it and of
# the source packages' versions: a change to a part's recipe or a Debian update builds
# that part again, anything else is reused. The last two lines printed are
#
#   QT_PREFIX=<folder>
#   SQLCIPHER_PREFIX=<folder>
#
# Needs root (or sudo) once, to add Debian's source entries to apt's lists.
set -euo pipefail

cache=${THALVANE_CACHE:-$HOME/.cache/thalvane}
jobs=$(nproc)
host=x86_64-w64-mingw32

log() { echo "windows-deps: $*" >&2; }

# cache_key <words...> -- <functions...>: a hash of the words and of the functions' text.
cache_key() {
    local words=()
    while [ "$1" != "--" ]; do words+=("$1"); shift; done
    shift
    { echo "${words[*]}"; declare -f "$@"; } | sha256sum | cut -c1-16
}

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# Debian's source entries, beside the binary ones the machine already has.
ensure_sources() {
    apt-cache showsrc qt6-base 2>/dev/null | grep -q '^Version:' && return
    log "adding Debian's source entries to apt"
    $sudo tee /etc/apt/sources.list.d/thalvane-deb-src.sources >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    $sudo apt-get update -qq
}

# The newest version of a source package apt knows.
source_version() {
    apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -V | tail -n 1
}

# Unpacks a source package (patches applied) into $2 and prints the folder it made.
fetch_source() {
    local package=$1 version=$2 into=$3
    mkdir -p "$into"
    (cd "$into" && apt-get source -qq "$package=$version" >&2)
    find "$into" -mindepth 1 -maxdepth 1 -type d -name "$package-*" | head -n 1
}

# cmake toolchain for mingw-w64 with POSIX threads (Qt needs std::thread).
write_toolchain() {
    cat >"$1" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $host-gcc-posix)
set(CMAKE_CXX_COMPILER $host-g++-posix)
set(CMAKE_RC_COMPILER $host-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$host)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
}

build_qt() {
    local version prefix work src
    version=$(source_version qt6-base)
    prefix=$cache/windows-qt-$(cache_key "$version" -- build_qt write_toolchain fetch_source)
    if [ -f "$prefix/.complete" ]; then
        echo "$prefix"
        return
    fi
    log "building Qt $version for Windows into $prefix (the first time takes a while)"
    work=$(mktemp -d "$cache/qt-build.XXXXXX")
    src=$(fetch_source qt6-base "$version" "$work")
    rm -rf "$prefix"
    mkdir -p "$prefix"
    write_toolchain "$prefix/mingw-w64.cmake"

    # Only what the program and its tests use; the host's Qt (the same version, Debian's)
    # provides moc, rcc and uic. Debian's source has no wintab, hence no tablet events;
    # OpenGL is left out through its input (FEATURE_opengl=OFF breaks the Windows plugin).
    cmake -S "$src" -B "$work/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64.cmake" \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DINPUT_opengl=no -DFEATURE_tabletevent=OFF \
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
        -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
        -DFEATURE_vulkan=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF -DFEATURE_fontconfig=OFF \
        -DFEATURE_zstd=OFF -DFEATURE_brotli=OFF -DFEATURE_openssl=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
        -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF \
        -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
        -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF \
        -DFEATURE_accessibility=ON >"$work/configure.log" 2>&1 ||
        { tail -n 40 "$work/configure.log" >&2; exit 1; }
    log "compiling Qt: $work/build.log shows how far it is"
    cmake --build "$work/build" --parallel "$jobs" >"$work/build.log" 2>&1 ||
        { grep -m 20 -B 5 -A 10 'error' "$work/build.log" >&2 || tail -n 40 "$work/build.log" >&2; exit 1; }
    cmake --install "$work/build" >"$work/install.log" 2>&1 ||
        { tail -n 20 "$work/install.log" >&2; exit 1; }
    rm -rf "$work"
    touch "$prefix/.complete"
    echo "$prefix"
}

build_sqlcipher() {
    local version tomversion prefix work src tomsrc
    version=$(source_version sqlcipher)
    tomversion=$(source_version libtomcrypt)
    prefix=$cache/windows-sqlcipher-$(cache_key "$version" "$tomversion" -- build_sqlcipher fetch_source)
    if [ -f "$prefix/.complete" ]; then
        echo "$prefix"
        return
    fi
    log "building SQLCipher $version with LibTomCrypt $tomversion for Windows into $prefix"
    work=$(mktemp -d "$cache/sqlcipher-build.XXXXXX")
    rm -rf "$prefix"
    mkdir -p "$prefix/lib/pkgconfig" "$prefix/include/sqlcipher"

    # LibTomCrypt: the static library, in its portable C.
    tomsrc=$(fetch_source libtomcrypt "$tomversion" "$work")
    make -C "$tomsrc" -f makefile -j"$jobs" CROSS_COMPILE=$host- CFLAGS="-O2" \
        library >"$work/tomcrypt.log" 2>&1 ||
        { tail -n 30 "$work/tomcrypt.log" >&2; exit 1; }
    cp "$tomsrc/libtomcrypt.a" "$prefix/lib/"
    cp "$tomsrc"/src/headers/*.h "$prefix/include/"

    # SQLCipher: the amalgamation, built with the host's compiler for its generators
    # (lemon, mkkeywordhash) and mingw-w64 for the library.
    src=$(fetch_source sqlcipher "$version" "$work")
    # The compile options of Debian's Linux build (debian/rules), but for loading
    # extensions, which the program never does.
    local cflags="-O2 -fno-strict-aliasing -DSQLITE_SECURE_DELETE -DSQLITE_ENABLE_COLUMN_METADATA
        -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_RTREE=1 -DSQLITE_SOUNDEX=1
        -DSQLITE_ENABLE_UNLOCK_NOTIFY -DSQLITE_OMIT_LOOKASIDE=1
        -DSQLITE_ENABLE_UPDATE_DELETE_LIMIT=1 -DSQLITE_MAX_SCHEMA_RETRY=25 -DSQLITE_HAS_CODEC"
    # config_TARGET_EXEEXT tells configure the library is for Windows; BEXE= that the
    # generators it builds with the host's compiler have no .exe.
    (cd "$src" &&
        ./configure --host=$host --prefix="$prefix" --disable-shared --enable-static \
            --disable-tcl --disable-readline --enable-tempstore=yes \
            --with-crypto-lib=libtomcrypt --disable-load-extension --enable-threadsafe \
            BUILD_CC=gcc config_TARGET_EXEEXT=.exe \
            CFLAGS="$cflags -I$prefix/include" LDFLAGS="-L$prefix/lib" &&
        make -j"$jobs" BEXE= libsqlcipher.la sqlite3.h sqlcipher.pc &&
        make BEXE= lib_install &&
        cp sqlite3.h src/sqlite3ext.h "$prefix/include/sqlcipher/" &&
        sed "s/@SQLCIPHER_VERSION@/${version%%-*}/" sqlcipher.pc >"$prefix/lib/pkgconfig/sqlcipher.pc"
    ) >"$work/sqlcipher.log" 2>&1 || { tail -n 40 "$work/sqlcipher.log" >&2; exit 1; }
    # Static: whoever links it also links LibTomCrypt.
    sed -i 's/^Libs: .*/& -ltomcrypt/' "$prefix/lib/pkgconfig/sqlcipher.pc"
    rm -rf "$work"
    touch "$prefix/.complete"
    echo "$prefix"
}

mkdir -p "$cache"
ensure_sources
sqlcipher=$(build_sqlcipher)
qt=$(build_qt)
echo "QT_PREFIX=$qt"
echo "SQLCIPHER_PREFIX=$sqlcipher"
