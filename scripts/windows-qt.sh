#!/usr/bin/env bash
# Builds the part of Qt that Tarvona and its tests need (Core, Gui, Widgets, Test and the
# Windows platform plugin) for 64-bit Windows, from Debian's own qt6-base source package of
# exactly the version whose host tools (moc, rcc, uic) are installed. The build happens once:
# the result is kept in a cache outside the clone, keyed by that version and by everything
# that shapes it, and reused whenever it is there. Prints the install prefix as its last line.
# Usage: scripts/windows-qt.sh   (as root; scripts/deps.sh windows installs what it needs)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)

# Only what the program and its tests use is built. All four OpenGL switches are needed: with
# OpenGL alone off, dynamic OpenGL stays on, and the Windows plugin expects it. Direct2D 1.1
# is off as it was built and tested (Direct2D itself stays: the DirectWrite font database
# needs it). Debian's source has no src/3rdparty/wintab, without which configuring with
# tablet events fails. A unity build compiles Qt's files in batches: 588 steps in 15 minutes
# on 2 cores, where one file a step would take well over an hour.
options=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_UNITY_BUILD=ON
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DFEATURE_network=OFF
    -DFEATURE_sql=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_opengl=OFF
    -DINPUT_opengl=no
    -DFEATURE_opengl_dynamic=OFF
    -DFEATURE_dynamicgl=OFF
    -DFEATURE_vulkan=OFF
    -DFEATURE_direct2d1_1=OFF
    -DFEATURE_tabletevent=OFF
    -DFEATURE_zstd=OFF
    -DFEATURE_icu=OFF
    -DFEATURE_jpeg=OFF
    -DFEATURE_gif=OFF
    -DFEATURE_system_zlib=OFF
    -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_png=OFF
    -DFEATURE_system_freetype=OFF
    -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_doubleconversion=OFF
)
compiler=$(x86_64-w64-mingw32-g++-posix -dumpfullversion)
key=$( (printf '%s\n' "${options[@]}" "mingw $compiler"; cat cmake/MinGW-w64.cmake) |
    sha256sum | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tarvona
prefix=$cache/qt-$version-$key
if [ -f "$prefix/built-from.txt" ]; then
    echo "$prefix"
    exit 0
fi

# apt-get source needs a deb-src entry. Where none exists, mirror the Debian entries that
# are there, in a file of our own, so nothing the system had is touched.
sources=/etc/apt/sources.list.d/tarvona-deb-src.sources
if ! grep -Rqs -E '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' \
    /etc/apt/sources.list /etc/apt/sources.list.d/; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$sources"
    elif [ -f /etc/apt/sources.list ]; then
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list \
            >"${sources%.sources}.list"
    else
        echo "error: no Debian package source is configured to mirror as deb-src" >&2
        exit 1
    fi
    apt-get update -q >&2
fi

work=$cache/qt-build-$version-$key
rm -rf "$work"
mkdir -p "$work"
(cd "$work" && apt-get source -q "qt6-base=$version" >&2)
source_dir=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)

echo "Building Qt $version for Windows into $prefix (about 600 steps; log in $work)" >&2
cmake -S "$source_dir" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/MinGW-w64.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    "${options[@]}" >"$work/configure.log" 2>&1 ||
    { tail -n 40 "$work/configure.log" >&2; exit 1; }
# Qt's sources warn by the thousand under MinGW: the log is kept for a failure to show,
# and only every hundredth step is shown, to tell that the build goes on.
cmake --build "$work/build" -j "$(nproc)" 2>&1 | tee "$work/build.log" |
    awk '/^\[[0-9]*00\// { print; fflush() }' >&2 ||
    { grep -B 5 -A 20 -m 3 'error' "$work/build.log" >&2 || tail -n 60 "$work/build.log" >&2; exit 1; }
cmake --install "$work/build" >/dev/null

# The licences travel with the DLLs: Qt's own texts, and Debian's copyright file, which
# names the licence of each library built into Qt.
mkdir -p "$prefix/licenses"
cp "$source_dir"/LICENSES/*.txt "$prefix/licenses/"
cp "$source_dir/debian/copyright" "$prefix/licenses/debian-copyright-qt6-base.txt"
# Qt's own texts in Bulgarian, from Debian's translations of this Qt, where this Qt looks.
mkdir -p "$prefix/translations"
cp /usr/share/qt6/translations/qtbase_bg.qm "$prefix/translations/"

# What the licence note in the zip says about these DLLs (the LGPL asks that a user can
# rebuild them): the exact Debian source and options.
{
    echo "Debian source package: qt6-base $version"
    echo "Compiler: x86_64-w64-mingw32-g++-posix $compiler"
    echo "Configured with CMake, QT_HOST_PATH=/usr, and:"
    printf '    %s\n' "${options[@]}"
} >"$prefix/built-from.txt"
rm -rf "$work"
echo "$prefix"
