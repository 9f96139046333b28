#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite on Qt's offscreen platform.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing
install_test_references
build
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)"
