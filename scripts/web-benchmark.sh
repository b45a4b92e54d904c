#!/usr/bin/env bash
# Browser benchmark: the page's size, plain and gzipped, and how long headless Chromium takes
# from navigation start to the form being ready for its first click (#Tarvona[aria-busy=false]
# in a fully parsed document, timed inside the page with performance.now():
# bench/web/ready-time.mjs), against the floor, bench/web/floor.html: the same controls in plain
# HTML with no WebAssembly. The two alternate, RUNS times each after a warm-up load each;
# medians are printed, with their ratio.
# Budget: 150 KB, 60 KB gzipped (1 KB = 1024 bytes); within 1.5 times the floor's time. Not
# part of the test suite.
# Usage: scripts/web-benchmark.sh [RUNS]   (default 21; TARVONA_HTML=PATH for another page)
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

bytes=$(stat -c %s "$page")
gzipped=$(gzip -9 -c "$page" | wc -c)
times=$(node bench/web/ready-time.mjs "$runs" "$page" bench/web/floor.html)

median() { tr ' ' '\n' | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
page_ms=$(sed -n 1p <<<"$times" | cut -d' ' -f2- | median)
floor_ms=$(sed -n 2p <<<"$times" | cut -d' ' -f2- | median)

echo "Browser page, $(chromium --version 2>/dev/null | head -1), $runs runs each, medians ($(nproc) cores, $(date -u +%Y-%m-%d)):"
awk -v b="$bytes" -v g="$gzipped" -v t="$page_ms" -v f="$floor_ms" 'BEGIN {
    printf "  size      %7.1f KB (budget 150), gzipped %6.1f KB (budget 60)\n", b / 1024, g / 1024
    printf "  tarvona   navigation to ready %7.1f ms\n", t
    printf "  floor     navigation to ready %7.1f ms\n", f
    printf "  ratio     %.2f (budget 1.50)\n", t / f
    printf "  budget    size %s, gzipped %s, time %s\n", (b <= 150 * 1024) ? "met" : "MISSED",
        (g <= 60 * 1024) ? "met" : "MISSED", (t / f <= 1.5) ? "met" : "MISSED"
}'
