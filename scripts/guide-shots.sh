#!/usr/bin/env bash
# Takes the operator guide's screenshots from the real board: starts it under Xvfb with a
# window manager, drives it with real key and mouse events and saves each picture in docs/.
# Installs xvfb, openbox, xdotool, x11-utils and imagemagick when missing. SHOT_OUT=<folder>
# puts the pictures there instead (the guide_pictures test does).
# Usage: scripts/guide-shots.sh [build folder]   (default: build)
NAME=guide-shots
source "$(dirname "${BASH_SOURCE[0]}")/board-session.sh"

mkdir -p "$WORK/titles"
cat >"$WORK/titles/1.rtf" <<'RTF'
{\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}{\colortbl;\red255\green255\blue0;\red255\green255\blue255;}
\qc\f0\fs72\cf1\b Clubmeisterschaft\b0\par
\fs48\cf2 Finale Damen-Einzel\par
\fs36 Platz 1\par}
RTF
cd "$WORK/titles"
start_board

type_into() { # x y text: click into an edit, select all, type
    click "$1" "$2"
    xdotool key ctrl+a
    xdotool type --delay 40 "$3"
    sleep 0.3
}

shot guide-1-start.png
type_into 170 383 "Anna Berg"
type_into 170 439 "Lena Vogt"
# A click on the clock gives the keys back to the board (and hides the blinking cursor).
click 120 130
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
dialog_settled
shot guide-6-reset.png screen
xdotool key Escape
sleep 0.5
focus
xdotool key alt+F4
dialog_settled
shot guide-7-quit.png screen
xdotool key Escape
sleep 0.3
