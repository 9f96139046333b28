# Shared set-up of run.sh and test.sh: install what is missing, then configure and build.
# Sourced, not run. BUILD_DIR and CMAKE_ARGS may be set by the caller.

set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"

PACKAGES=(build-essential cmake ninja-build qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          libxkbcommon-dev qt6-httpserver-dev qt6-websockets-dev fonts-liberation xvfb xauth
          unrtf python3-jsonschema chromium openbox xdotool)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            # A Debian installed with a root password has no sudo.
            cat >&2 <<MSG
Missing packages: ${missing[*]}
Installing them needs root rights, and sudo is not installed. Either run this script as
root, for example
    su -c '$(readlink -f "$0")'
or, as root, install sudo and add yourself to the sudo group, then log in again:
    su -c 'apt-get install sudo && adduser $(id -un) sudo'
MSG
            exit 1
        fi
        sudo="sudo"
    fi
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    # Through env: sudo drops the caller's environment.
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# True when the folder has no cache yet, or when one of CMAKE_ARGS is not what the folder
# holds: a -DNAME[:TYPE]=VALUE is compared with the cache entry, any other argument with
# the arguments of the last configuration, kept in a stamp file.
needs_configure() {
    local cache="$BUILD_DIR/CMakeCache.txt" stamp="$BUILD_DIR/courtlyx-cmake-args"
    [ -f "$cache" ] || return 0
    local arg name value others=()
    for arg in ${CMAKE_ARGS:-}; do
        if [[ "$arg" =~ ^-D([^:=]+)(:[^=]*)?=(.*)$ ]]; then
            name="${BASH_REMATCH[1]}" value="${BASH_REMATCH[3]}"
            NAME="$name" VALUE="$value" awk -F= '
                { split($1, key, ":") }
                key[1] == ENVIRON["NAME"] { found = 1; same = (substr($0, length($1) + 2) == ENVIRON["VALUE"]) }
                END { exit !(found && same) }' "$cache" || return 0
        else
            others+=("$arg")
        fi
    done
    [ "${others[*]:-}" = "$(cat "$stamp" 2>/dev/null)" ] || return 0
    return 1
}

# The format cross-check's reference package, from the npm registry; without npm (or
# without the registry) that one test skips and says so.
install_test_references() {
    local check="$ROOT/tests/core/formatcheck"
    [ -d "$check/node_modules/tods-matchup-format-code" ] && return 0
    if ! command -v npm >/dev/null; then
        echo "npm is not installed: the match-format cross-check will be skipped"
        return 0
    fi
    "$check/install.sh" >/dev/null || echo "could not install the match-format reference: its cross-check will be skipped"
}

build() {
    if needs_configure; then
        # Word splitting of CMAKE_ARGS is meant: it holds several arguments.
        # shellcheck disable=SC2086
        cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja ${CMAKE_ARGS:-}
        local arg others=()
        for arg in ${CMAKE_ARGS:-}; do
            [[ "$arg" =~ ^-D ]] || others+=("$arg")
        done
        printf '%s\n' "${others[*]:-}" > "$BUILD_DIR/courtlyx-cmake-args"
    fi
    cmake --build "$BUILD_DIR" -j"$(nproc)"
}
