#!/usr/bin/env bash
# Builds the engine's libFuzzer targets with clang in build-fuzz/ and runs each one for a
# bounded time, all at once (each is a single process). Fails when any target crashes,
# hangs, trips a sanitizer or finds a broken invariant; the input that did it is kept in
# build-fuzz/artifacts/.
# Usage: scripts/fuzz.sh [SECONDS]   (seconds per target, 20 by default)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
targets=(fuzz_keyof fuzz_drill)

scripts/deps.sh
CC=clang CXX=clang++ scripts/build.sh build-fuzz -DTARVONA_FUZZ=ON -DTARVONA_WINDOW=OFF -DTARVONA_TESTS=OFF

# The fuzz targets are built only in this tree, so only its compile_commands.json lets
# clang-tidy check them; the ordinary build's lint test covers everything else.
tidy_status=0
bash tests/lint/check-tidy.sh "$(command -v clang-tidy || true)" . build-fuzz fuzz || tidy_status=$?
if [ "$tidy_status" -ne 0 ] && [ "$tidy_status" -ne 77 ]; then
    exit "$tidy_status"
fi

# Inputs libFuzzer finds go into a scratch corpus in the build tree; the committed seeds
# under fuzz/corpus/ are only read.
mkdir -p build-fuzz/artifacts
pids=()
for target in "${targets[@]}"; do
    mkdir -p "build-fuzz/corpus/$target"
    UBSAN_OPTIONS=print_stacktrace=1 "build-fuzz/fuzz/$target" \
        -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="build-fuzz/artifacts/$target-" \
        "build-fuzz/corpus/$target" "fuzz/corpus/$target" >"build-fuzz/$target.log" 2>&1 &
    pids+=($!)
done

failed=0
for i in "${!targets[@]}"; do
    target=${targets[$i]}
    status=0
    wait "${pids[$i]}" || status=$?
    log=build-fuzz/$target.log
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    elapsed=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log")
    if [ "$status" -ne 0 ]; then
        echo "FAILED: $target (exit status $status); the end of build-fuzz/$target.log:"
        tail -n 60 "$log"
        failed=1
    else
        echo "$target: ${runs:-?} executions in ${elapsed:-?} s"
    fi
done
if [ "$failed" -ne 0 ]; then
    echo "error: fuzzing found a problem; the inputs that show it are in build-fuzz/artifacts/" >&2
    exit 1
fi
