#!/usr/bin/env bash
# Runs the cross-compiled Windows test program under Debian's wine64, in a private Wine
# prefix inside the given mingw build tree. Console only: no display is used, and
# WINEDLLOVERRIDES keeps Wine from offering to install Mono or Gecko.
#
# Usage: tests/wine/run.sh <mingw build dir>
set -euo pipefail
build=$(cd "${1:?usage: tests/wine/run.sh <mingw build dir>}" && pwd)
test_program="$build/tests/wine/tst_wine.exe"
[ -f "$test_program" ] || { echo "No $test_program: build the mingw tree first." >&2; exit 1; }

wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

export WINEPREFIX="$build/wineprefix"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY

# A fresh prefix takes Wine a while (about 20 s) to set up; it is kept for later runs.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Setting up the Wine prefix $WINEPREFIX"
    timeout 100 "$wine" wineboot --init >"$build/wineboot.log" 2>&1
    "$wineserver" -w
fi

status=0
timeout 60 "$wine" "$test_program" || status=$?
"$wineserver" -k 2>/dev/null || true
exit $status
