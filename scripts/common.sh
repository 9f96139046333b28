# Shared set-up of run.sh and test.sh: install what is missing, then configure and build.
# Sourced, not run. BUILD_DIR and CMAKE_ARGS may be set by the caller.

set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"

PACKAGES=(build-essential cmake ninja-build qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev fonts-liberation xvfb xauth unrtf)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
        cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja ${CMAKE_ARGS:-}
    fi
    cmake --build "$BUILD_DIR" -j"$(nproc)"
}
