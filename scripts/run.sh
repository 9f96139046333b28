#!/usr/bin/env bash
# Installs what building and running need (not the test kit), builds and starts the scoreboard.
# Arguments go to the board.
# Without a display it starts under xvfb-run.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
answer_help "$@"
install_missing
build
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$BUILD_DIR/app/courtlyx" "$@"
fi
exec "$BUILD_DIR/app/courtlyx" "$@"
