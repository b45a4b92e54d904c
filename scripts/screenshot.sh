#!/usr/bin/env bash
# Renders the real window (offscreen, after a short game) to docs/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
scripts/build.sh build
mkdir -p docs
QT_QPA_PLATFORM=offscreen build/tests/window/tarvona_screenshot docs/screenshot.png
echo "Wrote docs/screenshot.png"
