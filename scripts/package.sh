#!/usr/bin/env bash
# Installs what is missing, builds in Release and makes the Debian package
# build-release/courtlyx_<version>_<arch>.deb; install it with
#   sudo apt-get install ./build-release/courtlyx_<version>_<arch>.deb
# It holds the board (courtlyx), the tournament desk (courtlyx-courts) and the courts page
# (/usr/share/courtlyx/desk).
BUILD_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build-release"
# Checked against the folder's cache on every run, so that a build folder made for tests is
# packaged as Release too.
CMAKE_ARGS="-DCMAKE_BUILD_TYPE=Release -DCOURTLYX_TESTS=OFF"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
answer_help "$@"
# dpkg-shlibdeps works out the package's dependencies; CPack finds the programs with file;
# npm fetches the courts page's pinned MQTT client, which the package ships.
PACKAGES+=(dpkg-dev file)
command -v npm >/dev/null || PACKAGES+=(npm)
install_missing
"$ROOT/desk/install.sh" >/dev/null
build
(cd "$BUILD_DIR" && cpack -G DEB)
ls "$BUILD_DIR"/courtlyx_*.deb
