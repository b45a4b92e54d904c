#!/usr/bin/env bash
# Start-up benchmark: how long Tarvona takes from exec until its window is mapped, and its peak
# resident memory once the window is up, against the same figures for the floor, a Qt Widgets
# program that shows one label. Both run on a private Xvfb display, alternately, RUNS times
# each after a warm-up run each; medians are printed, with the ratio of the two.
# Budget: within 1.3 times the floor's time, under 40 MiB peak. Not part of the test suite.
# Usage: scripts/benchmark.sh [RUNS]   (default 21)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-21}
scripts/deps.sh
scripts/build.sh build

scratch=$(mktemp -d)
xvfb=""
cleanup() {
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

# A display of our own: Xvfb picks a free number and writes it to the descriptor we give. It
# must not reset when its last client leaves, as it would between two runs: a run starting
# during the reset could not connect.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$scratch/display" ] && break
    sleep 0.1
done
if [ ! -s "$scratch/display" ]; then
    echo "error: Xvfb did not start:" >&2
    cat "$scratch/xvfb.log" >&2
    exit 1
fi
DISPLAY=":$(cat "$scratch/display")"
export DISPLAY
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM QT_SCALE_FACTOR WAYLAND_DISPLAY

probe() { build/bench/startup_probe --settle-ms 500 "$1"; }
# The first start of each fills the page cache; it is not counted.
if ! probe build/window/tarvona >/dev/null; then
    echo "error: the first start failed; Xvfb says:" >&2
    cat "$scratch/xvfb.log" >&2
    exit 1
fi
probe build/bench/tarvona_floor >/dev/null
for _ in $(seq "$runs"); do
    probe build/window/tarvona >>"$scratch/tarvona"
    probe build/bench/tarvona_floor >>"$scratch/floor"
done

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
tarvona_ms=$(cut -d' ' -f1 "$scratch/tarvona" | median)
floor_ms=$(cut -d' ' -f1 "$scratch/floor" | median)
tarvona_kib=$(cut -d' ' -f2 "$scratch/tarvona" | median)
floor_kib=$(cut -d' ' -f2 "$scratch/floor" | median)
tarvona_max_kib=$(cut -d' ' -f2 "$scratch/tarvona" | sort -g | tail -1)

echo "Start-up, $runs runs each, medians ($(nproc) cores, $(date -u +%Y-%m-%d)):"
awk -v t="$tarvona_ms" -v f="$floor_ms" -v tk="$tarvona_kib" -v fk="$floor_kib" -v tm="$tarvona_max_kib" 'BEGIN {
    printf "  tarvona   exec to window mapped %7.1f ms   peak resident %6.1f MiB (highest %.1f)\n", t, tk / 1024, tm / 1024
    printf "  floor     exec to window mapped %7.1f ms   peak resident %6.1f MiB\n", f, fk / 1024
    printf "  ratio     time %.2f (budget 1.30)              memory %.2f\n", t / f, tk / fk
    printf "  budget    time %s, memory %s (under 40 MiB)\n", (t / f <= 1.3) ? "met" : "MISSED", (tm < 40 * 1024) ? "met" : "MISSED"
}'
