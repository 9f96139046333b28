#!/usr/bin/env bash
# Builds the match journal reader's libFuzzer target with clang and runs it for a bounded time.
# Usage: tests/fuzz/run_journal_fuzz.sh [seconds=60] [build-dir=build-fuzz]
# New findings land in the build folder; copy a crash input into journal-corpus/ once it is fixed.
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${2:-$root/build-fuzz}"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCOURTLYX_FUZZ=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake --build "$build" --target journal_fuzz -j2

work="$build/journal-fuzz-corpus"
mkdir -p "$work"
cd "$build"
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
    "$(find "$build" -name journal_fuzz -type f -perm -u+x | head -n1)" \
    -max_total_time="$seconds" -max_len=16384 -rss_limit_mb=2048 -timeout=10 \
    -dict="$root/tests/fuzz/journal.dict" "$work" "$root/tests/fuzz/journal-corpus"
