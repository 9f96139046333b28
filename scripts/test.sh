#!/usr/bin/env bash
# Installs what is missing (what running needs and the test kit: Xvfb, openbox, xdotool,
# ImageMagick, Chromium, unrtf), builds and runs the whole test suite on Qt's offscreen platform.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
answer_help "$@"
install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
install_test_references
build
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)"
