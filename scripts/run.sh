#!/usr/bin/env bash
# Sets everything up, builds the program and opens its window.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
scripts/build.sh build

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "error: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    echo "Run this from a desktop session, or under a virtual one: xvfb-run scripts/run.sh" >&2
    exit 1
fi
exec build/window/tarvona
