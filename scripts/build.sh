#!/usr/bin/env bash
# Configures and builds one build tree.
# Usage: scripts/build.sh DIR [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

dir=$1
shift
werror=OFF
if [ "${CI:-}" = "true" ]; then
    werror=ON
fi
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVONA_WERROR="$werror" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
