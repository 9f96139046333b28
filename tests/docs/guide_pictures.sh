#!/usr/bin/env bash
# Takes the guide's pictures anew with scripts/guide-shots.sh into a scratch folder and
# compares each with the one in docs/, the clock's face and the playing time masked (they
# move). Fails naming each picture that differs; exits 77 (skipped) only where the X
# session cannot run: a tool missing (scripts/test.sh installs them) or Xvfb not starting.
# Usage: tests/docs/guide_pictures.sh <build folder>
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD="${1:?build folder}"
for tool in Xvfb openbox xdotool xwininfo import compare convert; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is missing; scripts/test.sh installs it (packages: xvfb openbox xdotool x11-utils imagemagick)"
        exit 77
    fi
done
if ! xvfb-run -a true 2>/dev/null; then
    echo "SKIPPED: Xvfb does not start on this machine"
    exit 77
fi
# Kept in the build folder after the run, for a look at what differed.
OUT="$(realpath -m "$BUILD")/guide-pictures"
rm -rf "$OUT"
mkdir -p "$OUT"
if ! SHOT_OUT="$OUT" "$ROOT/scripts/guide-shots.sh" "$BUILD" >"$OUT/log" 2>&1; then
    cat "$OUT/log"
    echo "FAILED: guide-shots.sh did not finish"
    exit 1
fi

# In the client area: the clock with its hands and the playing time field.
MASKS=("0,0 252,264" "8,272 204,320")
masked() { # picture x y -> picture with the moving parts black
    local args=() m a b
    for m in "${MASKS[@]}"; do
        a="${m% *}" b="${m#* }"
        args+=(-draw "rectangle $((${a%,*} + $2)),$((${a#*,} + $3)) $((${b%,*} + $2)),$((${b#*,} + $3))")
    done
    convert "$1" -fill black "${args[@]}" "$1.masked.png"
}
failed=0
while read -r name x y; do
    masked "$OUT/$name" "$x" "$y"
    cp "$ROOT/docs/$name" "$OUT/committed-$name"
    masked "$OUT/committed-$name" "$x" "$y"
    # A few pixels of text smoothing may differ between runs; a changed word is hundreds.
    differing="$(compare -metric AE -fuzz 10% "$OUT/$name.masked.png" "$OUT/committed-$name.masked.png" null: 2>&1)"
    if ! [[ "$differing" =~ ^[0-9]+$ ]] || [ "$differing" -gt 40 ]; then
        compare -fuzz 10% "$OUT/$name.masked.png" "$OUT/committed-$name.masked.png" "$OUT/diff-$name" 2>/dev/null
        echo "FAILED: docs/$name differs from the board now ($differing pixels; see $OUT/diff-$name);" \
             "run scripts/guide-shots.sh and look at it"
        failed=1
    else
        echo "same: docs/$name ($differing pixels apart)"
    fi
done <"$OUT/places.txt"
[ -s "$OUT/places.txt" ] || { echo "FAILED: no pictures taken"; exit 1; }
exit "$failed"
