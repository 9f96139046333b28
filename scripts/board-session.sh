# Shared by the screenshot scripts: a private X server with a window manager, a fresh user
# (default settings, empty data folder) and helpers that drive the real board with key and
# mouse events. Sourced, not run; the caller sets NAME (for messages) and may pass the
# build folder as $1, and name more packages in SESSION_PACKAGES. SHOT_OUT puts the
# pictures elsewhere than docs/ (the picture test compares them there).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
answer_help "$@"
install_missing "${SHOT_PACKAGES[@]}" ${SESSION_PACKAGES:-}
PROGRAM="$(realpath -m "${1:-$ROOT/build}")/app/courtlyx"
OUT="${SHOT_OUT:-$ROOT/docs}"
[ -x "$PROGRAM" ] || { echo "$NAME: no program at $PROGRAM (build first)" >&2; exit 1; }

WORK="$(mktemp -d)"
SERVER=""
BOARD=""
cleanup() {
    [ -n "$BOARD" ] && kill "$BOARD" 2>/dev/null
    [ -n "$SERVER" ] && kill "$SERVER" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

# Xvfb picks a free display itself: others may run sessions on the same machine.
Xvfb -displayfd 3 -screen 0 "${SCREEN:-1280x800}x24" -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
SERVER=$!
for _ in $(seq 50); do
    [ -s "$WORK/display" ] && break
    sleep 0.1
done
[ -s "$WORK/display" ] || { echo "$NAME: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$WORK/display")"
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
    [ -n "$WID" ] || { echo "$NAME: the board did not open" >&2; exit 1; }
    xdotool windowmove --sync "$WID" 40 40
    sleep 0.5
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
# Waits until the board's dialog stands still: it centres itself again once framed, later
# on a loaded machine.
dialog_settled() {
    local id last="" now
    for _ in $(seq 50); do
        # Not the board itself, which may carry the same title: under load the dialog
        # comes up late, and the board alone would pass as settled.
        id="$(xdotool search --onlyvisible --name '^Courtlyx$' 2>/dev/null | grep -vx "${WID:-none}" | head -n 1 || true)"
        if [ -n "$id" ]; then
            now="$(xdotool getwindowgeometry "$id" 2>/dev/null)"
            [ -n "$last" ] && [ "$now" = "$last" ] && return 0
            last="$now"
        fi
        sleep 0.3
    done
}
focus() { xdotool windowfocus --sync "$WID"; sleep 0.2; }
keys() { focus; for k in "$@"; do xdotool key "$k"; sleep 0.1; done; sleep 0.3; }
# The client area's place on the screen (xdotool counts the frame in twice under openbox).
client() {
    X="$(xwininfo -id "$WID" | awk '/Absolute upper-left X/ {print $4}')"
    Y="$(xwininfo -id "$WID" | awk '/Absolute upper-left Y/ {print $4}')"
}
# A left click at a point of the board's client area.
click() {
    client
    xdotool mousemove --sync $((X + $1)) $((Y + $2)) click 1
    sleep 0.4
}
# The board's client area, or with "screen" the whole screen (dialogs, open lists).
# Elsewhere than docs/, each picture's line in places.txt says where the client area lies in
# it, for the picture test's masks.
shot() {
    sleep 0.3
    client
    if [ "${2:-board}" = screen ]; then
        import -window root "$OUT/$1"
        [ -z "${SHOT_OUT:-}" ] || echo "$1 $X $Y" >>"$OUT/places.txt"
    else
        import -window root -crop "792x547+${X}+${Y}" +repage "$OUT/$1"
        [ -z "${SHOT_OUT:-}" ] || echo "$1 0 0" >>"$OUT/places.txt"
    fi
    echo "wrote $OUT/$1"
}
