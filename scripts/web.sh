#!/usr/bin/env bash
# Builds Tarvona for the browser: build-web/tarvona.html, one self-contained page (the engine
# and the page's front end compiled to WebAssembly, its styles and its icon), and runs the
# engine's tests compiled the same way. Then, unless --build-only is given, the page's tests
# in real browsers and with a real screen reader (scripts/web-test.sh).
# The page is built with Debian 13's emscripten or a later one. On a release whose emscripten
# is older, the build runs in a fresh Debian 13 root instead (scripts/debian-root.sh), and the
# page lands here all the same; its tests still run here.
# Usage: scripts/web.sh [--build-only]   (as root, or with sudo available, like the other scripts)
set -euo pipefail
cd "$(dirname "$0")/.."

build_only=false
if [ "${1:-}" = --build-only ]; then
    build_only=true
fi
oldest=3.1.69
out=build-web

# The emscripten installed, or the one apt would install.
emscripten_version() {
    local version
    version=$(dpkg-query -W -f='${Version}' emscripten 2>/dev/null || true)
    if [ -z "$version" ]; then
        version=$(apt-cache policy emscripten 2>/dev/null | sed -n 's/^ *Candidate: *//p')
        if [ -z "$version" ] || [ "$version" = "(none)" ]; then
            # A fresh machine may not have read its package lists yet.
            apt-get -o DPkg::Lock::Timeout=600 update -q >/dev/null 2>&1 || true
            version=$(apt-cache policy emscripten 2>/dev/null | sed -n 's/^ *Candidate: *//p')
        fi
    fi
    echo "${version:-0}"
}

version=$(emscripten_version)
if dpkg --compare-versions "$version" ge "$oldest"; then
    scripts/deps.sh web-build
    echo "== Build the page with emscripten $(dpkg-query -W -f='${Version}' emscripten)"
    werror=OFF
    if [ "${CI:-}" = "true" ]; then
        werror=ON
    fi
    emcmake cmake -S . -B "$out/build" -DCMAKE_BUILD_TYPE=MinSizeRel -DTARVONA_WERROR="$werror" >/dev/null
    cmake --build "$out/build" -j "$(nproc)"
    echo "== clang-tidy on the page's front end"
    # The compile commands name em++, whose target and system headers clang-tidy must be told.
    status=0
    for file in web/*.cpp; do
        clang-tidy -p "$out/build" --quiet --warnings-as-errors='*' --extra-arg=--target=wasm32-unknown-emscripten \
            --extra-arg=--sysroot=/usr/share/emscripten/cache/sysroot --extra-arg=-fwasm-exceptions \
            "$file" >"$out/tidy.txt" 2>&1 || status=1
        grep -v '^[0-9]* warnings\{0,1\} generated\.$' "$out/tidy.txt" || true
    done
    [ "$status" -eq 0 ] || { echo "error: clang-tidy reported problems in web/ (see above)" >&2; exit 1; }
    echo "== The engine's tests, compiled to WebAssembly, under Node.js"
    ctest --test-dir "$out/build" --output-on-failure -j "$(nproc)"
    cp "$out/build/web/tarvona.html" "$out/tarvona.html"
else
    echo "== emscripten $version is older than $oldest: building the page in a Debian 13 root instead"
    mkdir -p "$out"
    scripts/debian-root.sh --share "$out" trixie scripts/web.sh --build-only
fi
echo "== $out/tarvona.html: $(stat -c %s "$out/tarvona.html") bytes"

if [ "$build_only" = false ]; then
    scripts/web-test.sh "$out/tarvona.html"
fi
