#!/usr/bin/env bash
# Runs a Windows program of a build under Debian's wine64, in the build's own Wine prefix
# (<build>/wineprefix, made on first use). CTest calls it for every test of a Windows
# build: emulator.sh <build dir> <program.exe> [arguments...]
#
# Wine passes the environment on, but for QT_* variables, which it keeps from Windows
# programs; WINEQT_X reaches them as QT_X. So every QT_* variable is handed on that way,
# and Qt's messages go to stderr rather than to the debugger channel.
#
# The programs run in a Chinese Windows (code page 936), as the program's users have it.
set -euo pipefail
build=$(cd "$1" && pwd)
shift

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEQT_FORCE_STDERR_LOGGING=1
for variable in $(compgen -e); do
    case $variable in QT_*) export "WINE$variable=${!variable}" ;; esac
done
export LC_ALL=zh_CN.UTF-8

# A fresh prefix takes Wine a while to set up; one test sets it up, the others wait.
(
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "emulator.sh: setting up the Wine prefix $WINEPREFIX" >&2
        timeout 120 "$wine" wineboot --init >"$build/wineboot.log" 2>&1
        "$wineserver" -w
    fi
) 9>"$build/wineprefix.lock"

exec "$wine" "$@"
