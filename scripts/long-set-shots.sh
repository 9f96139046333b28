#!/usr/bin/env bash
# Takes the long-set and format-change pictures from the real board: "SET3-S:6/TB7-F:6"
# typed into the strip, sets one all, the third set in turn to 15:15 and won 17:15 with
# F1/F2 (docs/long-set-17-15.png, then the same board three seconds later to show the time
# stands); then Standard at one set all, "Match-Tiebreak 10" chosen from the list and ten
# points for side 1 (docs/format-change-match-tiebreak.png).
# Needs xvfb, openbox, xdotool and imagemagick.
# Usage: scripts/long-set-shots.sh [build folder]   (default: build)
NAME=long-set-shots
source "$(dirname "${BASH_SOURCE[0]}")/board-session.sh"

repeat() { local n="$1"; shift; local list=(); for _ in $(seq "$n"); do list+=("$@"); done; keys "${list[@]}"; }
STRIP=480
code() {
    keys ctrl+e
    client
    xdotool mousemove --sync $((X + 548)) $((Y + STRIP + 36)) click --repeat 3 1
    sleep 0.2
    xdotool type --delay 40 "$1"
    xdotool key Return
    sleep 0.3
    click 15 $((STRIP + 32))
}

start_board
code "SET3-S:6/TB7-F:6"
keys Pause
repeat 24 F1
repeat 24 F2
for _ in $(seq 15); do repeat 4 F1; repeat 4 F2; done
repeat 8 F1
shot long-set-17-15.png
sleep 3
shot long-set-17-15-later.png
mv "$OUT/long-set-17-15-later.png" "$WORK/later.png"
echo "pixels that differ three seconds later: $(compare -metric AE "$OUT/long-set-17-15.png" "$WORK/later.png" null: 2>&1 || true)"
quit

start_board
code "SET3-S:6/TB7"
keys Pause
repeat 24 F1
repeat 24 F2
keys ctrl+e
click 566 $((STRIP + 16))
shot format-change-list.png screen
mv "$OUT/format-change-list.png" "$WORK/list.png"
# Standard is current: the open list puts it over the box, "Match-Tiebreak 10" below it.
click 566 $((STRIP + 17 + 20))
click 15 $((STRIP + 32))
repeat 10 F1
shot format-change-match-tiebreak.png
cp "$WORK/list.png" /tmp/long-set-list.png
quit
