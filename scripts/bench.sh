#!/usr/bin/env bash
# Installs what is missing, builds in Release and prints the speed figures beside their
# targets. Arguments pick figures: key paint clock idle startup rtf journal feed fullscreen broker
# (all by default).
BUILD_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build-bench"
CMAKE_ARGS="-DCMAKE_BUILD_TYPE=Release -DCOURTLYX_BENCH=ON -DCOURTLYX_TESTS=OFF"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
answer_help "$@"
install_missing
build
export QT_QPA_PLATFORM=offscreen
"$BUILD_DIR/bench/courtlyx_bench" "$@"
