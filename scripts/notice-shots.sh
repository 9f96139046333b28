#!/bin/bash
# The notice on a full data folder (docs/guide-notice.png) and a second board on the same
# folder (docs/second-board.png), then kills of both boards. Needs root for the 64 KB tmpfs.
NAME=notice-shots
source "$(dirname "$0")/board-session.sh"
DATA="$XDG_DATA_HOME/Courtlyx"
mkdir -p "$DATA"
mount -t tmpfs -o size=64k tmpfs "$DATA"
trap 'umount "$DATA" 2>/dev/null; cleanup' EXIT
start_board
FIRST=$BOARD; FIRSTWID=$WID
keys Pause F1 F1 F5 F2
echo "journal after start: $(wc -c < "$DATA/journal.txt")"
# Fill the disk, then play on.
dd if=/dev/zero of="$DATA/filler" bs=1k count=200 2>/dev/null || true
focus; xdotool key --repeat 400 --delay 8 F5; sleep 1
shot guide-notice.png
echo "caption: $(xdotool getwindowname "$WID")"
rm -f "$DATA/filler"
# A second board on the same folder.
QT_QPA_PLATFORM=xcb "$PROGRAM" 2> "$WORK/second.err" &
SECOND=$!
sleep 3
import -window root "$OUT/second-board.png"; echo "wrote docs/second-board.png"
echo "second board stderr:"; cat "$WORK/second.err"
ls -la "$DATA"
md5sum "$DATA/journal.txt"
kill -9 $SECOND; wait $SECOND 2>/dev/null || true
echo "after killing the second:"; md5sum "$DATA/journal.txt"; ls "$DATA"
cp "$DATA/journal.txt" "$WORK/j-before-kill"
kill -9 $FIRST; wait $FIRST 2>/dev/null || true; BOARD=""
start_board
sleep 1
echo "restored caption: $(xdotool getwindowname "$WID")"
client; import -window root -crop "792x547+${X}+${Y}" +repage "$WORK/restored.png"
kill -9 $BOARD; wait $BOARD 2>/dev/null || true; BOARD=""
umount "$DATA"
