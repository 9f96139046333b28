#!/usr/bin/env bash
# Installs what is missing, builds the whole suite with the address, undefined-behaviour
# and leak sanitizers in build-asan and runs it; any finding fails its test.
BUILD_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build-asan"
# Checked against the folder's cache on every run, so that the sanitizer options hold in a
# folder made otherwise.
CMAKE_ARGS="-DCOURTLYX_SANITIZE=ON -DCOURTLYX_WERROR=ON -DCOURTLYX_TESTS=ON"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
answer_help "$@"
install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
build
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)"
