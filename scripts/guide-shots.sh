#!/usr/bin/env bash
# Takes the operator guide's screenshots from the real board: starts it under Xvfb with a
# window manager, drives it with real key and mouse events and saves each picture in docs/.
# Needs xvfb, openbox, xdotool and imagemagick (apt-get install openbox xdotool imagemagick).
# Usage: scripts/guide-shots.sh [build folder]   (default: build)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PROGRAM="${1:-$ROOT/build}/app/courtlyx"
OUT="$ROOT/docs"
for tool in Xvfb openbox xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "guide-shots: $tool is missing" >&2; exit 1; }
done
[ -x "$PROGRAM" ] || { echo "guide-shots: no program at $PROGRAM (build first)" >&2; exit 1; }

WORK="$(mktemp -d)"
SERVER=""
BOARD=""
cleanup() {
    [ -n "$BOARD" ] && kill "$BOARD" 2>/dev/null
    [ -n "$SERVER" ] && kill "$SERVER" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

export DISPLAY=":$((90 + RANDOM % 100))"
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
SERVER=$!
sleep 1
openbox >/dev/null 2>&1 &
sleep 1

# A fresh user: default settings, no journal, title files in the folder it starts from.
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_DATA_HOME="$WORK/home/.local/share"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$WORK/titles"
cat >"$WORK/titles/1.rtf" <<'RTF'
{\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}{\colortbl;\red255\green255\blue0;\red255\green255\blue255;}
\qc\f0\fs72\cf1\b Clubmeisterschaft\b0\par
\fs48\cf2 Finale Damen-Einzel\par
\fs36 Platz 1\par}
RTF
cd "$WORK/titles"
QT_QPA_PLATFORM=xcb "$PROGRAM" &
BOARD=$!

WID=""
for _ in $(seq 50); do
    WID="$(xdotool search --onlyvisible --name '^Courtlyx' 2>/dev/null | head -n 1)" && [ -n "$WID" ] && break
    sleep 0.2
done
[ -n "$WID" ] || { echo "guide-shots: the board did not open" >&2; exit 1; }
xdotool windowmove --sync "$WID" 40 40
sleep 0.5

focus() { xdotool windowfocus --sync "$WID"; sleep 0.2; }
keys() { focus; for k in "$@"; do xdotool key "$k"; sleep 0.15; done; sleep 0.4; }
# A click at a point of the board's client area.
click() {
    local button="${3:-1}"
    eval "$(xdotool getwindowgeometry --shell "$WID")"
    xdotool mousemove --sync $((X + $1)) $((Y + $2)) click "$button"
    sleep 0.4
}
# The board's window (with its frame) or the whole screen.
shot() {
    local name="$1" geometry
    sleep 0.3
    if [ "${2:-board}" = screen ]; then
        import -window root "$OUT/$name"
    else
        eval "$(xdotool getwindowgeometry --shell "$WID")"
        import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$OUT/$name"
    fi
    echo "wrote docs/$name"
}
type_into() { # x y text: click into an edit, select all, type
    click "$1" "$2"
    xdotool key ctrl+a
    xdotool type --delay 40 "$3"
    sleep 0.3
}

shot guide-1-start.png
type_into 170 383 "Anna Berg"
type_into 170 439 "Lena Vogt"
focus
shot guide-2-names.png
keys Pause
keys F1 F1 F2 F1
keys ctrl+1
shot guide-3-running.png
keys ctrl+e
shot guide-4-strip.png
# The "Display:" picker's list, opened with the mouse.
click 109 $((547 - 67 + 2 + 16 + 9))
shot guide-5-colour-list.png screen
xdotool key Escape
sleep 0.3
keys Escape
keys ctrl+0
shot guide-6-reset.png screen
xdotool key Escape
sleep 0.5
focus
xdotool key alt+F4
sleep 0.6
shot guide-7-quit.png screen
xdotool key Escape
sleep 0.3
