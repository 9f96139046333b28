#!/usr/bin/env bash
# Builds one of the readers' libFuzzer targets with clang and runs it for a bounded time.
# Usage: tests/fuzz/run_fuzz.sh rtf|journal [seconds=60] [build-dir=build-fuzz]
# New findings land in the build folder; copy a crash input into the target's corpus once
# it is fixed (corpus/ for rtf, journal-corpus/ for journal).
set -euo pipefail
target="${1:?usage: run_fuzz.sh rtf|journal [seconds] [build-dir]}"
seconds="${2:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${3:-$root/build-fuzz}"
case "$target" in
    rtf) corpus="$root/tests/fuzz/corpus"; max_len=65536 ;;
    journal) corpus="$root/tests/fuzz/journal-corpus"; max_len=16384 ;;
    *) echo "run_fuzz.sh: no target '$target' (rtf or journal)" >&2; exit 2 ;;
esac

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCOURTLYX_FUZZ=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake --build "$build" --target "${target}_fuzz" -j2

work="$build/${target}-fuzz-corpus"
mkdir -p "$work"
cd "$build"
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
    "$(find "$build" -name "${target}_fuzz" -type f -perm -u+x | head -n1)" \
    -max_total_time="$seconds" -max_len="$max_len" -rss_limit_mb=2048 -timeout=10 \
    -dict="$root/tests/fuzz/${target}.dict" "$work" "$corpus"
