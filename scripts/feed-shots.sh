#!/usr/bin/env bash
# The live score feed end to end: the real board under Xvfb with the feed on, a headless
# Chromium showing the overlay, keys on the board and a command posted with curl. Saves
# docs/feed-overlay.png (40 for side 1 after Pause and F1 three times) and
# docs/feed-board-40-15.png (after a point for side 2 posted with the PIN), and shows that a
# command without the PIN is refused. Needs xvfb, openbox, xdotool, imagemagick, chromium, curl.
# Usage: scripts/feed-shots.sh [build folder]   (default: build)
NAME=feed-shots
SESSION_PACKAGES="chromium curl"
source "$(dirname "${BASH_SOURCE[0]}")/board-session.sh"
PORT=8765
PIN=482913
FEED="http://127.0.0.1:$PORT"

# The design values, then the feed's; reading stops at the first number missing.
mkdir -p "$XDG_CONFIG_HOME/Quorbel"
cat >"$XDG_CONFIG_HOME/Quorbel/Courtlyx.conf" <<CONF
[General]
L=40
T=40
W=800
H=578
Sound=0
Monitor=0
Comanda1=Anna Berg
Comanda2=Lena Vogt
C0=0
C1=0
C2=16777215
C3=16777215
C4=65535
TieBreak=1
CountSets=5
AutoSchet=1
TieBreakPoints=0
FullScreen=0
Feed=1
FeedPort=$PORT
FeedNet=0
FeedFiles=0
FeedPin=$PIN
CONF
start_board
for _ in $(seq 50); do curl -sf "$FEED/score.json" >/dev/null && break; sleep 0.2; done
points() { curl -s "$FEED/score.json" | python3 -c 'import json,sys; d=json.load(sys.stdin); print(":".join(s["points"] for s in d["sides"]))'; }

keys Pause F1 F1 F1
echo "board after Pause, F1 x3: $(points)"
browse() { # file: the overlay in a headless Chromium, after its scripts have run
    chromium --headless --no-sandbox --disable-gpu --disable-dev-shm-usage --no-first-run \
        --user-data-dir="$WORK/chromium" --hide-scrollbars --window-size=640,160 \
        --virtual-time-budget=4000 "$@" "$FEED/overlay?scale=2" 2>/dev/null
}
browse --screenshot="$OUT/feed-overlay.png" >/dev/null
echo "wrote docs/feed-overlay.png"
echo "overlay text: $(browse --dump-dom | sed -n '/<body/,/<script/p' | sed -e 's/<script.*//' -e 's/<[^>]*>/ /g' | tr -s ' \n' ' ')"

echo "--- without the PIN:"
curl -s -i -d '{"command":"point","side":2}' "$FEED/command" | tr -d '\r'
echo
echo "board: $(points)"
echo "--- a wrong PIN:"
curl -s -i -H 'X-Pin: 000000' -d '{"command":"point","side":2}' "$FEED/command" | tr -d '\r' | head -n 1
echo "board: $(points)"
echo "--- with the PIN:"
curl -s -w '\nHTTP %{http_code}\n' -H "X-Pin: $PIN" -d '{"command":"point","side":2}' "$FEED/command" | tail -n 1
echo "board: $(points)"
sleep 0.5
shot feed-board-40-15.png
keys ctrl+e
shot feed-strip.png
