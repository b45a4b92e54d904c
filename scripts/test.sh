#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: once in an ordinary build, once more
# under AddressSanitizer and UndefinedBehaviorSanitizer, with the engine fuzzed for a while in
# between. The sanitizer stage comes last so that its summary closes the output.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

# The window tests need no display: Qt draws offscreen.
export QT_QPA_PLATFORM=offscreen

echo "== Build and test"
scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$(nproc)"

echo "== Fuzz the engine"
scripts/fuzz.sh

echo "== Build and test with sanitizers"
scripts/build.sh build-sanitize -DTARVONA_SANITIZE=ON
# The lint checks look at the sources, not at the build: the first stage has run them.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$(nproc)" -LE lint
