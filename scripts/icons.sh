#!/usr/bin/env bash
# Renders the icon's PNG sizes from its SVG into the hicolor layout under data/icons (or under
# the directory given), so the build itself needs no SVG renderer: the PNGs are committed.
# Usage: scripts/icons.sh [OUTPUT_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

out=${1:-data/icons}
svg=data/icons/org.tarvona.Tarvona.svg
if ! command -v rsvg-convert >/dev/null 2>&1; then
    echo "error: rsvg-convert is missing (Debian package librsvg2-bin; scripts/deps.sh installs it)" >&2
    exit 1
fi
for size in 16 32 48 64 128 256; do
    dir="$out/hicolor/${size}x${size}/apps"
    mkdir -p "$dir"
    rsvg-convert --width "$size" --height "$size" --output "$dir/org.tarvona.Tarvona.png" "$svg"
done
