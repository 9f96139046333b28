#!/usr/bin/env bash
# Installs the pinned TODS matchUpFormat reference for the format cross-check test.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
npm ci --no-audit --no-fund
