#!/usr/bin/env bash
# A long run of the browser page's model-based random test, outside the suite: COUNT random
# clicks, keys and typed letters in Chromium, each compared with the engine's own form, and the
# events per second reached. The suite runs the same test with 10,000 (scripts/web-test.sh).
# Usage: scripts/web-random.sh COUNT [PATH_TO_tarvona.html]   (TARVONA_WEB_SEED=N repeats a run)
set -euo pipefail
cd "$(dirname "$0")/.."

count=${1:?usage: scripts/web-random.sh COUNT [PATH_TO_tarvona.html]}
page=${2:-build-web/tarvona.html}
if [ ! -f "$page" ]; then
    echo "error: no page at $page (scripts/web.sh builds it)" >&2
    exit 1
fi
scripts/deps.sh web
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
cmake -S . -B build-web-replay -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVONA_WINDOW=OFF >/dev/null
cmake --build build-web-replay -j "$(nproc)" --target tarvona_model_replay >/dev/null
started=$(date +%s.%N)
TARVONA_WEB_STEPS=$count TARVONA_HTML=$(realpath "$page") \
    TARVONA_MODEL_REPLAY=$(realpath build-web-replay/tests/web/tarvona_model_replay) \
    node --test --test-reporter=tap tests/web/random.test.js
awk -v n="$count" -v s="$started" -v e="$(date +%s.%N)" \
    'BEGIN { printf "%d events in %.1f s: %.0f events per second\n", n, e - s, n / (e - s) }'
