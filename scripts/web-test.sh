#!/usr/bin/env bash
# Runs the browser tests against the built page: the drill played with real input in headless
# Chromium and Firefox, and the model-based random test in Chromium against the engine's own
# form (built natively here, in build-web-replay/).
# Usage: scripts/web-test.sh [PATH_TO_tarvona.html]   (default build-web/tarvona.html)
#   TARVONA_WEB_SEED=N repeats a random run; TARVONA_WEB_STEPS=N sets its length (10000).
set -euo pipefail
cd "$(dirname "$0")/.."

page=${1:-build-web/tarvona.html}
if [ ! -f "$page" ]; then
    echo "error: no page at $page (scripts/web.sh builds it)" >&2
    exit 1
fi

scripts/deps.sh web
# The test driver exactly as the lockfile pins it; it downloads no browser.
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)

werror=OFF
if [ "${CI:-}" = "true" ]; then
    werror=ON
fi
cmake -S . -B build-web-replay -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVONA_WERROR="$werror" \
    -DTARVONA_WINDOW=OFF >/dev/null
cmake --build build-web-replay -j "$(nproc)" --target tarvona_model_replay >/dev/null

TARVONA_HTML=$(realpath "$page") TARVONA_MODEL_REPLAY=$(realpath build-web-replay/tests/web/tarvona_model_replay) \
    node --test --test-reporter=spec tests/web/drill.test.js tests/web/random.test.js
