#!/usr/bin/env bash
# Installs what is missing, builds and starts the scoreboard.
# Without a display it starts under xvfb-run.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing
build
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$BUILD_DIR/app/courtlyx" "$@"
fi
exec "$BUILD_DIR/app/courtlyx" "$@"
