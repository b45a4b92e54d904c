#!/usr/bin/env bash
# Runs the browser tests against the built page: the drill played with real input in headless
# Chromium and Firefox, and in WebKitGTK (Safari's engine) on a private display, and the
# model-based random test in Chromium against the engine's own form (built natively here, in
# build-web-replay/).
# Then a real Orca reads the page in Firefox (tests/screenreader/orca-reads-the-page.sh); with
# --screen-reader-only, only that.
# Usage: scripts/web-test.sh [--screen-reader-only] [PATH_TO_tarvona.html]
#   (default build-web/tarvona.html)
#   TARVONA_WEB_SEED=N repeats a random run; TARVONA_WEB_STEPS=N sets its length (10000).
set -euo pipefail
cd "$(dirname "$0")/.."

screen_reader_only=false
if [ "${1:-}" = --screen-reader-only ]; then
    screen_reader_only=true
    shift
fi
page=${1:-build-web/tarvona.html}
if [ ! -f "$page" ]; then
    echo "error: no page at $page (scripts/web.sh builds it)" >&2
    exit 1
fi

scripts/deps.sh web

browser_tests() {
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
        node --test --test-reporter=tap tests/web/drill.test.js tests/web/random.test.js
}
if [ "$screen_reader_only" = false ]; then
    echo "== The page in Chromium, Firefox and WebKitGTK"
    browser_tests
fi

echo "== Orca reads the page in Firefox"
status=0
bash tests/screenreader/orca-reads-the-page.sh "$page" || status=$?
if [ "$status" -eq 77 ] && [ "${CI:-}" != "true" ]; then
    exit 0
fi
exit "$status"
