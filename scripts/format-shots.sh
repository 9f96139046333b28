#!/usr/bin/env bash
# Takes the match format pictures from the real board: chooses the doubles format in the
# strip by mouse, plays a set each and a match tie-break to 10:8 with F1/F2, saves the
# strip, the deciding point and the finished match in docs/, then checks after a restart
# that the format was remembered. Needs xvfb, openbox, xdotool and imagemagick.
# Usage: scripts/format-shots.sh [build folder]   (default: build)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PROGRAM="${1:-$ROOT/build}/app/courtlyx"
OUT="$ROOT/docs"
for tool in Xvfb openbox xdotool xwininfo import; do
    command -v "$tool" >/dev/null || { echo "format-shots: $tool is missing" >&2; exit 1; }
done
[ -x "$PROGRAM" ] || { echo "format-shots: no program at $PROGRAM (build first)" >&2; exit 1; }

WORK="$(mktemp -d)"
SERVER=""
BOARD=""
cleanup() {
    [ -n "$BOARD" ] && kill "$BOARD" 2>/dev/null
    [ -n "$SERVER" ] && kill "$SERVER" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

export DISPLAY=":$((20 + RANDOM % 70))"
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
SERVER=$!
sleep 1
openbox >/dev/null 2>&1 &
sleep 1
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_DATA_HOME="$WORK/home/.local/share"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$WORK/run"
cd "$WORK/run"

WID=""
start_board() {
    QT_QPA_PLATFORM=xcb "$PROGRAM" &
    BOARD=$!
    WID=""
    for _ in $(seq 50); do
        WID="$(xdotool search --onlyvisible --name '^Courtlyx' 2>/dev/null | head -n 1)" && [ -n "$WID" ] && break
        sleep 0.2
    done
    [ -n "$WID" ] || { echo "format-shots: the board did not open" >&2; exit 1; }
    xdotool windowmove --sync "$WID" 40 40
    sleep 0.5
}
focus() { xdotool windowfocus --sync "$WID"; sleep 0.2; }
keys() { focus; for k in "$@"; do xdotool key "$k"; sleep 0.08; done; sleep 0.3; }
repeat() { local n="$1"; shift; local list=(); for _ in $(seq "$n"); do list+=("$@"); done; keys "${list[@]}"; }
# The client area's place on the screen (xdotool counts the frame in twice under openbox).
client() {
    X="$(xwininfo -id "$WID" | awk '/Absolute upper-left X/ {print $4}')"
    Y="$(xwininfo -id "$WID" | awk '/Absolute upper-left Y/ {print $4}')"
}
click() {
    client
    xdotool mousemove --sync $((X + $1)) $((Y + $2)) click 1
    sleep 0.4
}
shot() {
    sleep 0.3
    client
    import -window root -crop "792x547+${X}+${Y}" +repage "$OUT/$1"
    echo "wrote docs/$1"
}
# Ends the board as the operator does, answering "Beenden?" with Ja (Nein has the focus).
quit() {
    focus
    xdotool key alt+F4
    sleep 0.8
    xdotool key shift+Tab
    sleep 0.2
    xdotool key space
    wait "$BOARD" || true
    BOARD=""
}

start_board
keys ctrl+e
# The strip lies over the bottom 67 pixels; its format list at (516, 6) in it.
STRIP=480
click 566 $((STRIP + 16))
# The list opens over the box (no preset is current at the defaults), 20 pixels an item;
# the third is the doubles format.
click 566 $((STRIP + 17 + 20 * 2))
shot format-strip.png
click 15 $((STRIP + 32)) # "X" closes the strip

keys Pause
repeat 3 F1
repeat 3 F2
shot format-deciding-point.png
keys F1
repeat 20 F1
repeat 24 F2
repeat 8 F1 F2
keys F1 F1
shot format-finished-match.png
keys F1 F2
quit

CONF="$XDG_CONFIG_HOME/Quorbel/Courtlyx.conf"
[ -f "$CONF" ] || { echo "format-shots: nothing stored at exit" >&2; exit 1; }
echo "stored: $(grep -E "^(Format|TieBreakPoints|CountSets)=" "$CONF" | tr "\n" " ")"
start_board
keys ctrl+e
shot format-strip-after-restart.png
mv "$OUT/format-strip-after-restart.png" "${AFTER_RESTART:-/tmp/format-strip-after-restart.png}"
quit
