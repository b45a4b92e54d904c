#!/usr/bin/env bash
# Browser benchmark: the page's size, plain and gzipped, and how long headless Chromium takes
# from navigation start to the form being ready for its first click (#Tarvona[aria-busy=false]
# in a fully parsed document, timed inside the page with performance.now():
# bench/web/ready-time.mjs), against the floor, bench/web/floor.html: the same controls in plain
# HTML with no WebAssembly. The two alternate, RUNS times each after a warm-up load each;
# medians are printed, with their ratio. Another build of the page (an earlier version, say)
# can be given to run alternately with them, so that both are measured on the same machine in
# the same minutes: its size, time and ratio are printed beside.
# Budget: 150 KB, 60 KB gzipped (1 KB = 1024 bytes); within 1.5 times the floor's time. Not
# part of the test suite.
# Usage: scripts/web-benchmark.sh [RUNS [OTHER_PAGE.html]]
#   (default 21 runs; TARVONA_HTML=PATH for another page than build-web/tarvona.html)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-21}
page=${TARVONA_HTML:-build-web/tarvona.html}
if [ ! -f "$page" ]; then
    echo "error: no page at $page (scripts/web.sh builds it)" >&2
    exit 1
fi
scripts/deps.sh web
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)

other=${2:-}
if [ -n "$other" ] && [ ! -f "$other" ]; then
    echo "error: no page at $other" >&2
    exit 1
fi
times=$(node bench/web/ready-time.mjs "$runs" "$page" bench/web/floor.html ${other:+"$other"})

median() { tr ' ' '\n' | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
floor_ms=$(sed -n 2p <<<"$times" | cut -d' ' -f2- | median)

echo "Browser page, $(chromium --version 2>/dev/null | head -1), $runs runs each, medians ($(nproc) cores, $(date -u +%Y-%m-%d)):"
echo "  floor     navigation to ready $floor_ms ms"
# One page's figures and whether it meets the budget.
report() { # NAME PATH LINE_OF_TIMES
    local ms
    ms=$(sed -n "$3p" <<<"$times" | cut -d' ' -f2- | median)
    awk -v n="$1" -v p="$2" -v b="$(stat -c %s "$2")" -v g="$(gzip -9 -c "$2" | wc -c)" -v t="$ms" -v f="$floor_ms" 'BEGIN {
        printf "  %s (%s)\n", n, p
        printf "    size      %7.1f KB (budget 150), gzipped %6.1f KB (budget 60)\n", b / 1024, g / 1024
        printf "    navigation to ready %7.1f ms, ratio to the floor %.2f (budget 1.50)\n", t, t / f
        printf "    budget    size %s, gzipped %s, time %s\n", (b <= 150 * 1024) ? "met" : "MISSED",
            (g <= 60 * 1024) ? "met" : "MISSED", (t / f <= 1.5) ? "met" : "MISSED"
    }'
}
report tarvona "$page" 1
if [ -n "$other" ]; then
    report other "$other" 3
fi
