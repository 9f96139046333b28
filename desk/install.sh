#!/usr/bin/env bash
# Installs the courts page's pinned browser MQTT client (node_modules/mqtt/dist/mqtt.min.js).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
npm ci --no-audit --no-fund
