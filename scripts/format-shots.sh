#!/usr/bin/env bash
# Takes the match format pictures from the real board: chooses the doubles format in the
# strip by mouse, plays a set each and a match tie-break to 10:8 with F1/F2, saves the
# strip, the deciding point and the finished match in docs/, then checks after a restart
# that the format was remembered. Needs xvfb, openbox, xdotool and imagemagick.
# Usage: scripts/format-shots.sh [build folder]   (default: build)
NAME=format-shots
source "$(dirname "${BASH_SOURCE[0]}")/board-session.sh"

repeat() { local n="$1"; shift; local list=(); for _ in $(seq "$n"); do list+=("$@"); done; keys "${list[@]}"; }

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
