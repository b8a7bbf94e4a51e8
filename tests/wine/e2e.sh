#!/usr/bin/env bash
# One session of the Windows program, as a user has it: thalvane.exe under wine64 with
# Qt's windows platform, on a virtual X display, driven with xdotool.
#
#   the demo shipman.bcd, made by the Windows admin tool in the prefix's C:\windows\system32;
#   start-up: the splash, then the main menu;
#   About opens; a search lists the demo rows; the first (highest id) opens in the
#   record window, is changed and saved; the file holds the change afterwards;
#   the exit entry ends the process with status 0;
#   a missing file and a file with another password each give "辞典文件丢失！" (title
#   "数据处理", the text read back through the clipboard) and status 1.
#
# Usage: tests/wine/e2e.sh <Windows build dir> [screenshot dir]
# A picture of every window goes to the screenshot dir (default <build>/e2e-screenshots).
set -euo pipefail
build=$(cd "${1:?usage: tests/wine/e2e.sh <Windows build dir> [screenshot dir]}" && pwd)
shots=${2:-$build/e2e-screenshots}
here=$(cd "$(dirname "$0")" && pwd)
emulator=$here/emulator.sh
mkdir -p "$shots"

# --- a display of our own ---
display=90
while [ -e /tmp/.X11-unix/X$display ] || [ -e /tmp/.X$display-lock ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$display"
app=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null
    WINEPREFIX="$build/wineprefix" "$(command -v wineserver || echo /usr/lib/wine/wineserver)" -k 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

fail() { echo "e2e: FAIL: $*" >&2; exit 1; }
step() { echo "e2e: $*"; }

# Waits up to 30 s for a visible window whose name matches the pattern; prints its id.
wait_window() {
    local id
    for _ in $(seq 300); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    fail "no window named '$1'"
}
wait_gone() {
    for _ in $(seq 300); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "window '$1' still open"
}
# A picture of one window, cut from the screen.
shoot() {
    local id=$1 name=$2 geometry
    sleep 0.5 # let it paint
    geometry=$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {print w "x" h "+" x "+" y}')
    import -window root -crop "$geometry" +repage "$shots/$name.png"
    step "picture $shots/$name.png ($geometry)"
}
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
# The text of a message box: Ctrl+C copies it (title, text and buttons) to the clipboard,
# which Wine shares with X.
box_text() {
    xdotool key --window "$1" ctrl+c
    sleep 0.5
    xclip -o -selection clipboard 2>/dev/null || true
}

system32="$build/wineprefix/drive_c/windows/system32"
database="$system32/shipman.bcd"
sql() { # statements on the database file, keyed as the program keys it
    printf "PRAGMA key = 'vorpelinka'; PRAGMA cipher_page_size = 1024; PRAGMA kdf_iter = 64000;\n%s\n" "$2" |
        sqlcipher -batch "$1"
}
start_program() {
    (unset QT_QPA_PLATFORM; exec "$emulator" "$build" "$build/thalvane.exe") &
    app=$!
}
# Waits for the program to end; its exit status goes to $status. (Not in a subshell:
# only this shell may wait for its child.)
wait_program() {
    status=0
    for _ in $(seq 300); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
    wait "$app" || status=$?
    app=""
}

# --- the demo database, made by the Windows builder ---
step "making $database with thalvane-admin.exe demo"
"$emulator" "$build" "$build/thalvane-admin.exe" demo --force 'C:\windows\system32\shipman.bcd' >/dev/null
[ -f "$database" ] || fail "the builder made no $database"
rows=$(sql "$database" "SELECT count(*) FROM Thalvane;" | tail -n 1)
[ "$rows" -gt 0 ] || fail "the demo database is empty"
first=$(sql "$database" "SELECT 船东 FROM Thalvane ORDER BY id DESC LIMIT 1;" | tail -n 1)

# --- start-up: the splash, then the main menu ---
start_program
splash=""
for _ in $(seq 300); do
    splash=$(xdotool search --onlyvisible --class thalvane 2>/dev/null | head -n 1 || true)
    [ -n "$splash" ] && break
    sleep 0.1
done
[ -n "$splash" ] || fail "no splash window"
shoot "$splash" frmsplash
# The splash goes on the second tick of its timer; the menu (titled as the splash is
# named, "Thalvane") follows.
for _ in $(seq 100); do
    xdotool search --onlyvisible --class thalvane 2>/dev/null | grep -qx "$splash" || break
    sleep 0.1
done
menu=$(wait_window '^Thalvane$')
[ "$menu" != "$splash" ] || fail "the splash stays"
shoot "$menu" frmmain
# Menu entries, as client positions of their labels (the window has no frame of Wine's).
about_entry=(101 318)
search_entry=(101 198)
exit_entry=(101 382)

# --- About ---
click "$menu" "${about_entry[@]}"
about=$(wait_window '^关于 Thalvane$')
shoot "$about" frmAbout
xdotool key --window "$about" Escape
wait_gone '^关于 Thalvane$'

# --- a search, a record changed and saved ---
click "$menu" "${search_entry[@]}"
query=$(wait_window '^船东查询$')
xdotool key --window "$query" Return # Enter in the name box: a search without filters
sleep 2
shoot "$query" frmquery
xdotool mousemove --window "$query" 100 118 click --repeat 2 --delay 80 1 # the first row
info=$(wait_window '^船东详细信息$')
shoot "$info" frminfo
click "$info" 300 12 # the name box
xdotool key --window "$info" End
xdotool type --window "$info" --delay 40 " e2e"
click "$info" 400 496 # 修改
saved=$(wait_window '^提示:$')
shoot "$saved" saved
xdotool key --window "$saved" Return
wait_gone '^提示:$'
click "$info" 500 496 # 退出
wait_gone '^船东详细信息$'
xdotool key --window "$query" alt+F4
wait_gone '^船东查询$'

# --- the exit entry ---
click "$menu" "${exit_entry[@]}"
wait_program
[ "$status" = 0 ] || fail "the exit entry ended the program with status $status"
now=$(sql "$database" "SELECT 船东 FROM Thalvane ORDER BY id DESC LIMIT 1;" | tail -n 1)
[ "$now" = "$first e2e" ] || fail "the saved name is '$now', not '$first e2e'"
step "saved and read back: '$now'; the program ended with status 0"

# --- start-up failures: one message, status 1 ---
mv "$database" "$database.kept"
for case in "missing file" "another password"; do
    if [ "$case" = "another password" ]; then
        cp "$database.kept" "$database"
        sql "$database" "PRAGMA rekey = 'not-the-password';" >/dev/null
    fi
    start_program
    box=$(wait_window '^数据处理$')
    [ "$case" = "missing file" ] && shoot "$box" missing
    text=$(box_text "$box")
    grep -qx "辞典文件丢失！" <<<"$text" || fail "$case: the box says '$text'"
    xdotool key --window "$box" Return
    wait_program
    [ "$status" = 1 ] || fail "$case: the program ended with status $status, not 1"
    step "$case: \"辞典文件丢失！\" and status 1"
    rm -f "$database"
done
mv "$database.kept" "$database"
step "passed"
