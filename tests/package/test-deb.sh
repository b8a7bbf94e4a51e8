#!/usr/bin/env bash
# The Debian package as an administrator and a user meet it, on this machine (as root):
#
#   cpack makes thalvane_<version>_amd64.deb; its control data and contents are checked;
#   dpkg -i installs it: the group thalvane, the folder and an empty database, which
#   passes `thalvane-admin check`; a member of the group (nobody with the supplementary
#   group thalvane) may check it and add a row, a non-member may not open it;
#   the installed /usr/bin/thalvane, run by the member on a virtual X display, shows its
#   splash and then the main menu (the window "Thalvane"), and is killed;
#   dpkg -r removes the programs and keeps the database, which installing again keeps;
#   dpkg -P removes the database and its folder and leaves the group.
#
# Usage: tests/package/test-deb.sh <release build dir>
# The build dir is configured with -DTHALVANE_SYSTEM_DIR=/var/lib/thalvane. The machine is
# left as it was found, also when a check fails: the package purged, the folder and the
# group removed if the test made them.
set -euo pipefail
build=$(cd "${1:?usage: tests/package/test-deb.sh <release build dir>}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

fail() { echo "test-deb: FAIL: $*" >&2; exit 1; }
step() { echo "test-deb: $*"; }

dir=/var/lib/thalvane
database=$dir/shipman.bcd
[ "$(id -u)" -eq 0 ] || fail "run as root: the test installs the package"
grep -qx "THALVANE_SYSTEM_DIR:PATH=$dir" "$build/CMakeCache.txt" ||
    fail "$build is not configured with -DTHALVANE_SYSTEM_DIR=$dir"
# Never disturb an installation that is already there.
state=$(dpkg-query -W -f='${db:Status-Status}' thalvane 2>/dev/null || true)
[ -z "$state" ] || [ "$state" = not-installed ] || fail "thalvane is already on this machine ($state)"
[ ! -e "$dir" ] || fail "$dir exists already"
had_group=no
getent group thalvane >/dev/null && had_group=yes

tmp=$(mktemp -d)
xvfb="" app=""
cleanup() {
    set +e
    [ -n "$app" ] && kill -9 "$app" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    state=$(dpkg-query -W -f='${db:Status-Status}' thalvane 2>/dev/null)
    if [ -n "$state" ] && [ "$state" != not-installed ]; then
        dpkg -P thalvane >/dev/null 2>&1 || echo "test-deb: could not purge thalvane" >&2
    fi
    rm -rf "$dir"
    [ "$had_group" = no ] && getent group thalvane >/dev/null && delgroup --quiet thalvane
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM # so that the clean-up runs then too

# --- the package ---
cmake --build "$build" >/dev/null
(cd "$build" && cpack -G DEB) >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log" >&2; fail "cpack failed"; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$build/thalvane_${version}_amd64.deb
[ -f "$deb" ] || fail "cpack made no $deb"
step "made $(basename "$deb") ($(du -h "$deb" | cut -f1))"

depends=$(dpkg-deb -f "$deb" Depends)
for need in adduser libqt6widgets6 libqt6gui6 libqt6core6 libsqlcipher0 libodbc2 libc6; do
    grep -Eq "(^|, )$need( |,|$)" <<<"$depends" || fail "Depends lacks $need: $depends"
done
contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
for path in usr/bin/thalvane usr/bin/thalvane-admin usr/share/applications/thalvane.desktop \
            usr/share/metainfo/org.thalvane.Thalvane.metainfo.xml \
            usr/share/man/man1/thalvane.1.gz usr/share/man/man1/thalvane-admin.1.gz; do
    grep -qx "./$path" <<<"$contents" || fail "the package lacks /$path"
done
icons=$(grep -c '^./usr/share/icons/hicolor/[0-9]*x[0-9]*/apps/thalvane.png$' <<<"$contents" || true)
[ "$icons" -ge 4 ] || fail "the package has the icon in $icons sizes"
step "Depends: $depends"

# --- installing ---
dpkg -i "$deb" >"$tmp/dpkg.log" 2>&1 || { cat "$tmp/dpkg.log" >&2; fail "dpkg -i failed"; }
step "installed: $(dpkg-query -W -f='${Package} ${Version} ${db:Status-Status}' thalvane)"
getent group thalvane >/dev/null || fail "no group thalvane"
[ "$(stat -c '%U:%G %a' "$dir")" = "root:thalvane 2770" ] ||
    fail "$dir is $(stat -c '%U:%G %a' "$dir"), not root:thalvane 2770"
[ "$(stat -c '%U:%G %a' "$database")" = "root:thalvane 660" ] ||
    fail "$database is $(stat -c '%U:%G %a' "$database"), not root:thalvane 660"
appstreamcli validate --no-net /usr/share/metainfo/org.thalvane.Thalvane.metainfo.xml >"$tmp/as.log" 2>&1 ||
    { cat "$tmp/as.log" >&2; fail "appstreamcli does not accept the metainfo"; }
# The man pages render without a complaint from groff.
for page in thalvane thalvane-admin; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man $page: $warnings"
done

/usr/bin/thalvane-admin check "$database" >"$tmp/check.log" 2>&1 ||
    { cat "$tmp/check.log" >&2; fail "thalvane-admin check fails on the new database"; }
grep -q "rows: 0" "$tmp/check.log" || { cat "$tmp/check.log" >&2; fail "the new database is not empty"; }
step "thalvane-admin check: $(tr '\n' ' ' <"$tmp/check.log")"

# --- a member of the group, and someone else ---
gid=$(getent group thalvane | cut -d: -f3)
member() { setpriv --reuid=nobody --regid=nogroup --groups="$gid" -- env HOME="$tmp/home" "$@"; }
outsider() { setpriv --reuid=nobody --regid=nogroup --clear-groups -- env HOME="$tmp/home" "$@"; }
chmod 755 "$tmp" # the member's home and runtime folders are inside
mkdir -p "$tmp/home" && chown nobody:nogroup "$tmp/home" && chmod 700 "$tmp/home"
printf '船东,国家\nΑιγαίον Ναυτιλιακή,希腊\n' >"$tmp/home/one.csv"
chown nobody:nogroup "$tmp/home/one.csv"
member /usr/bin/thalvane-admin import -d "$database" "$tmp/home/one.csv" >"$tmp/import.log" 2>&1 ||
    { cat "$tmp/import.log" >&2; fail "a member of thalvane cannot add a row"; }
member /usr/bin/thalvane-admin check "$database" >"$tmp/check.log" 2>&1 ||
    { cat "$tmp/check.log" >&2; fail "thalvane-admin check fails for a member"; }
grep -q "rows: 1" "$tmp/check.log" || { cat "$tmp/check.log" >&2; fail "the member's row is not there"; }
if outsider /usr/bin/thalvane-admin check "$database" >"$tmp/outsider.log" 2>&1; then
    fail "someone outside the group thalvane can open the database"
fi
step "a member added a row and checked the file; an outsider could not open it"

# --- the installed program on a virtual display ---
display=95
while [ -e /tmp/.X11-unix/X$display ] || [ -e /tmp/.X$display-lock ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start on $DISPLAY"
mkdir -m 700 "$tmp/runtime" && chown nobody:nogroup "$tmp/runtime"
(unset QT_QPA_PLATFORM; exec setpriv --reuid=nobody --regid=nogroup --groups="$gid" -- \
    env HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/runtime" /usr/bin/thalvane) >"$tmp/app.log" 2>&1 &
app=$!
# The splash comes first (it has no title of its own; Qt names it after the program,
# "thalvane"); the main menu, titled "Thalvane", follows when the splash's timer has run
# and the splash goes.
splash="" menu=""
for _ in $(seq 300); do
    kill -0 "$app" 2>/dev/null || { cat "$tmp/app.log" >&2; fail "the program ended on its own"; }
    for id in $(xdotool search --onlyvisible --pid "$app" 2>/dev/null || true); do
        name=$(xdotool getwindowname "$id" 2>/dev/null || true)
        if [ "$name" = Thalvane ]; then menu=$id; else splash=$id; fi
        echo "seen $id '$name'" >>"$tmp/windows.log"
    done
    [ -n "$menu" ] && break
    sleep 0.1
done
[ -n "$menu" ] || { cat "$tmp/app.log" >&2; fail "no main menu window \"Thalvane\" within 30 s"; }
[ -n "$splash" ] || { cat "$tmp/windows.log" >&2; fail "the main menu came without the splash before it"; }
for _ in $(seq 50); do
    xdotool search --onlyvisible --pid "$app" 2>/dev/null | grep -qx "$splash" || break
    sleep 0.1
done
xdotool search --onlyvisible --pid "$app" 2>/dev/null | grep -qx "$splash" && fail "the splash stays"
geometry=$(xwininfo -id "$menu" | awk '/Width:/ {w=$NF} /Height:/ {h=$NF} END {print w "x" h}')
step "/usr/bin/thalvane showed its splash, then the main menu (window $menu, $geometry)"
kill "$app"
wait "$app" 2>/dev/null || true
app=""
# The killed program leaves its write-ahead log; with umask 022 the member's files must
# still be the group's to write, or the next member could not open the database.
for file in "$database-wal" "$database-shm"; do
    [ -e "$file" ] || fail "the program made no $file"
    [ "$(stat -c '%G %a' "$file")" = "thalvane 660" ] ||
        fail "$file is $(stat -c '%U:%G %a' "$file"), not group thalvane 660"
done

# --- removing keeps the database; purging removes it ---
dpkg -r thalvane >"$tmp/dpkg.log" 2>&1 || { cat "$tmp/dpkg.log" >&2; fail "dpkg -r failed"; }
for program in /usr/bin/thalvane /usr/bin/thalvane-admin; do
    [ ! -e "$program" ] || fail "$program is still there after dpkg -r"
done
[ -f "$database" ] || fail "dpkg -r took the database"
getent group thalvane >/dev/null || fail "dpkg -r took the group"
step "removed: $(dpkg-query -W -f='${db:Status-Status}' thalvane); $dir keeps $(ls -A "$dir" | tr '\n' ' ')"

# Installing again finds the kept database and leaves it as it is.
dpkg -i "$deb" >"$tmp/dpkg.log" 2>&1 || { cat "$tmp/dpkg.log" >&2; fail "dpkg -i after dpkg -r failed"; }
/usr/bin/thalvane-admin check "$database" >"$tmp/check.log" 2>&1 && grep -q "rows: 1" "$tmp/check.log" ||
    { cat "$tmp/check.log" >&2; fail "installing again did not keep the database"; }
step "installed again: the kept database still holds the member's row"

dpkg -P thalvane >"$tmp/dpkg.log" 2>&1 || { cat "$tmp/dpkg.log" >&2; fail "dpkg -P failed"; }
[ ! -e "$dir" ] || fail "$dir is still there after dpkg -P: $(ls -A "$dir")"
getent group thalvane >/dev/null || fail "dpkg -P took the system group"
state=$(dpkg-query -W -f='${db:Status-Status}' thalvane 2>/dev/null || true)
[ -z "$state" ] || [ "$state" = not-installed ] || fail "thalvane is $state after dpkg -P"
step "purged: $dir gone, the group thalvane left as Debian leaves system groups"
step "PASS"
