#!/usr/bin/env bash
# Takes the full-screen picture from the real board on a 1920 x 1080 screen: starts a match,
# plays a few points, presses F11 and saves the whole screen as docs/fullscreen-1920x1080.png.
# Then measures where the board lies between the black bars (1564 x 1080 at x = 178
# expected), on a second run with a grey ground so the board's edge shows, and checks that
# F11 returns the window. Needs xvfb, openbox, xdotool and imagemagick.
# Usage: scripts/fullscreen-shot.sh [build folder]   (default: build)
NAME=fullscreen-shot
SCREEN=1920x1080
source "$(dirname "${BASH_SOURCE[0]}")/board-session.sh"

# The visible board window: the full-screen one while it is shown.
visible() { WID="$(xdotool search --onlyvisible --name '^Courtlyx' | head -n 1)"; }

start_board
keys Pause F1 F1 F2 F1 F1 F1 F1 F2 F2 F1
keys F11
sleep 2
visible
echo "full screen: $(xwininfo -id "$WID" | awk '/Absolute upper-left|Width|Height/ {printf "%s ", $NF}')"
shot fullscreen-1920x1080.png screen
keys F11
visible
echo "after F11 again: $(xwininfo -id "$WID" | awk '/Absolute upper-left|Width|Height/ {printf "%s ", $NF}')"
quit

# Grey ground (the first colour slot), so the bars end where the board begins.
sed -i 's/^C0=.*/C0=8421504/' "$XDG_CONFIG_HOME/Quorbel/Courtlyx.conf"
start_board
keys F11
sleep 2
import -window root "$WORK/grey.png"
span() { awk -F'[,:]' -v axis="$1" 'NR > 1 && $0 !~ /#000000/ { v = $axis; if (first == "") first = v; last = v } END { print first, last, last - first + 1 }'; }
read -r LEFT RIGHT WIDTH < <(convert "$WORK/grey.png" -crop 1920x1+0+540 +repage txt:- | span 1)
read -r TOP BOTTOM HEIGHT < <(convert "$WORK/grey.png" -crop 1x1080+960+0 +repage txt:- | span 2)
echo "board on the screen: x = $LEFT .. $RIGHT ($WIDTH wide), y = $TOP .. $BOTTOM ($HEIGHT high)"
