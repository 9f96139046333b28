# Shared set-up of run.sh and test.sh: install what is missing, then configure and build.
# Sourced, not run. BUILD_DIR and CMAKE_ARGS may be set by the caller.

set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"

# What building and running the board needs, and what only the tests and the picture
# scripts add (Chromium alone is some 170 packages). Scripts add their own to PACKAGES.
RUN_PACKAGES=(build-essential cmake ninja-build qt6-base-dev libgl-dev libgtest-dev libgmock-dev
              libxkbcommon-dev qt6-httpserver-dev qt6-websockets-dev fonts-liberation xvfb xauth libmosquitto-dev)
TEST_PACKAGES=(unrtf python3-jsonschema chromium openbox xdotool x11-utils imagemagick mosquitto mosquitto-clients)
# npm fetches the courts page's MQTT client; a Node.js from elsewhere (NodeSource) brings its
# own npm and conflicts with Debian's package.
command -v npm >/dev/null || TEST_PACKAGES+=(npm)
# The X session the picture scripts and the picture test drive the board in.
SHOT_PACKAGES=(xvfb openbox xdotool x11-utils imagemagick)
PACKAGES=("${RUN_PACKAGES[@]}")

# Answers --help with the script's opening comment.
answer_help() {
    case "${1:-}" in
    -h | --help)
        sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"
        exit 0
        ;;
    esac
}

# Installs what of PACKAGES (or the packages named) is missing. Only the packages are
# installed as root; building stays with the user who owns the source, so that no folder
# of theirs ends up owned by root.
install_missing() {
    local wanted=("${@:-${PACKAGES[@]}}") missing=()
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local command="apt-get install -y --no-install-recommends ${missing[*]}"
    local total
    total="$(apt-get install --simulate --no-install-recommends "${missing[@]}" 2>/dev/null | grep -c '^Inst ' || true)"
    echo "Missing ${#missing[@]} packages (with what they need, apt-get installs ${total:-?} in all): ${missing[*]}"
    if [ "$(id -u)" -eq 0 ]; then
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $command
        # Root installs for the owner of the source; that user builds, or the build folder
        # would belong to root.
        local owner
        owner="$(stat -c %U "$ROOT")"
        if [ "$owner" != root ]; then
            echo "The packages are installed. Now build as $owner, not as root:"
            echo "    $0"
            exit 0
        fi
        return 0
    fi
    if command -v sudo >/dev/null 2>&1 && { sudo -n true 2>/dev/null || id -nG | grep -qw sudo; }; then
        sudo apt-get update -qq
        # Through env: sudo drops the caller's environment.
        sudo env DEBIAN_FRONTEND=noninteractive $command
        return 0
    fi
    # A Debian installed with a root password has no sudo.
    cat >&2 <<MSG
Installing them needs root rights. Run this one command as root (it asks for root's
password), then run this script again as yourself:
    su -c 'apt-get update && $command'
MSG
    exit 1
}

# A build folder made by another user (often root, by running a script with su) cannot be
# written; say so and how to fix it instead of failing deep inside the build.
check_build_owner() {
    [ -d "$BUILD_DIR" ] || return 0
    local foreign
    foreign="$(find "$BUILD_DIR" ! -user "$(id -u)" -print -quit 2>/dev/null)"
    [ -z "$foreign" ] && return 0
    cat >&2 <<MSG
The build folder $BUILD_DIR belongs (in part) to $(stat -c %U "$foreign"), not to you ($(id -un)),
so it cannot be built in. Give it back to yourself, as root:
    su -c 'chown -R $(id -un): $BUILD_DIR'
or delete it (also as root) and run this script again:
    su -c 'rm -rf $BUILD_DIR'
MSG
    exit 1
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
    if [ ! -f "$ROOT/desk/node_modules/mqtt/dist/mqtt.min.js" ] && command -v npm >/dev/null; then
        "$ROOT/desk/install.sh" >/dev/null || echo "could not install the courts page's MQTT client: the desk's tests will be skipped"
    fi
    [ -d "$check/node_modules/tods-matchup-format-code" ] && return 0
    if ! command -v npm >/dev/null; then
        echo "npm is not installed: the match-format cross-check will be skipped"
        return 0
    fi
    "$check/install.sh" >/dev/null || echo "could not install the match-format reference: its cross-check will be skipped"
}

build() {
    check_build_owner
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
