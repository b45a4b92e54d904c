#!/usr/bin/env bash
# Builds Tarvona for 64-bit Windows, runs its engine and window tests under Wine, and packs
# build-windows/tarvona-VERSION-windows-x64.zip: the program with exactly the DLLs, the
# platform plugin and the translation it needs, and the licences that come with them.
# Qt for Windows is built from Debian's source once and kept (scripts/windows-qt.sh).
# Usage: scripts/windows.sh   (as root, or with sudo available, like the other scripts)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/deps.sh windows
qt=$(scripts/windows-qt.sh | tail -n 1)

out=$root/build-windows
target=x86_64-w64-mingw32
werror=OFF
if [ "${CI:-}" = "true" ]; then
    werror=ON
fi
toolchain=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/MinGW-w64.cmake" -DCMAKE_BUILD_TYPE=Release)

echo "== Cross-build GoogleTest and Tarvona for Windows"
# Debian ships GoogleTest's source for exactly this: building it with another compiler.
gtest=$out/googletest
if [ ! -f "$gtest/install/lib/cmake/GTest/GTestConfig.cmake" ]; then
    cmake -S /usr/src/googletest -B "$gtest/build" "${toolchain[@]}" -DBUILD_GMOCK=OFF \
        -DCMAKE_INSTALL_PREFIX="$gtest/install" >/dev/null
    cmake --build "$gtest/build" -j "$(nproc)" >/dev/null
    cmake --install "$gtest/build" >/dev/null
fi
build=$out/build
cmake -S . -B "$build" "${toolchain[@]}" -DTARVONA_WERROR="$werror" \
    -DCMAKE_FIND_ROOT_PATH="$qt;$gtest/install" -DCMAKE_PREFIX_PATH="$qt;$gtest/install" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$root/tests/wine/run.sh" >/dev/null
cmake --build "$build" -j "$(nproc)"

# The DLLs come from the Qt build and from the cross-compiler's runtime.
runtime_dirs=("$qt/bin"
    "$(dirname "$($target-g++-posix -print-file-name=libstdc++-6.dll)")"
    "$(cd "$(dirname "$($target-g++-posix -print-file-name=libwinpthread-1.dll)")" && pwd)")

echo "== Test under Wine, on Qt's Windows platform on a virtual screen"
export WINEPREFIX=$out/wine WINEDEBUG=-all
# Wine's .NET and HTML engines are not needed, and installing them would ask on screen.
export WINEDLLOVERRIDES="mscoree,mshtml="
export TARVONA_WINE_DLLS
TARVONA_WINE_DLLS=$(IFS=:; echo "${runtime_dirs[*]}")
wine_tests='
set -euo pipefail
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init
    # Wine has no Times New Roman, which every Windows has; its metric twin stands in, as on
    # Linux, rather than the unrelated face Wine would pick.
    wine reg add "HKCU\\Software\\Wine\\Fonts\\Replacements" /v "Times New Roman" \
        /t REG_SZ /d "Liberation Serif" /f >/dev/null
fi
status=0
ctest --test-dir "$1" --output-on-failure -j "$(nproc)" || status=$?
wineserver --kill || true
exit "$status"'
xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" bash -c "$wine_tests" bash "$build"

echo "== Pack the zip"
version=$(sed -n 's/^project(Tarvona VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=tarvona-$version-windows-x64
stage=$out/$name
rm -rf "$stage" "$stage.zip"
mkdir -p "$stage/platforms" "$stage/translations" "$stage/licenses/Qt" "$stage/licenses/MinGW-w64"
cp "$build/window/tarvona.exe" "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"

# Every DLL the program and the plugin import, and theirs in turn, that is not part of
# Windows itself: that is, every one found among our runtime folders.
find_dll() {
    local dir
    for dir in "${runtime_dirs[@]}"; do
        if [ -f "$dir/$1" ]; then
            echo "$dir/$1"
            return
        fi
    done
}
pending=("$stage/tarvona.exe" "$stage/platforms/qwindows.dll")
while [ ${#pending[@]} -gt 0 ]; do
    binary=${pending[0]}
    pending=("${pending[@]:1}")
    while read -r dll; do
        source=$(find_dll "$dll")
        if [ -n "$source" ] && [ ! -f "$stage/$dll" ]; then
            cp "$source" "$stage/$dll"
            pending+=("$stage/$dll")
        fi
    done < <($target-objdump -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p')
done
$target-strip --strip-unneeded "$stage"/*.exe "$stage"/*.dll "$stage"/platforms/*.dll

# Qt looks for its plugins and translations where qt.conf says, relative to the program.
printf '[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n' >"$stage/qt.conf"
cp "$qt/translations/qtbase_bg.qm" "$stage/translations/"

cp LICENSE "$stage/LICENSE.txt"
cp -r "$qt/licenses/." "$stage/licenses/Qt/"
# Qt's source carries the commercial licence's text too; these DLLs are not under it.
rm -f "$stage/licenses/Qt/LicenseRef-Qt-Commercial.txt"
cp "$qt/built-from.txt" "$stage/licenses/Qt/BUILT-FROM.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licenses/MinGW-w64/gcc-runtime.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$stage/licenses/MinGW-w64/mingw-w64-winpthreads.txt"
# Windows' own Notepad and Explorer expect CR LF in text files.
find "$stage" -name '*.txt' -exec sed -i 's/\r\{0,1\}$/\r/' {} +
sed -i 's/\r\{0,1\}$/\r/' "$stage/qt.conf"

(cd "$out" && zip -q -r -X "$name.zip" "$name")

echo "== Start the program from the unpacked zip, in a fresh Wine prefix and nothing else"
# No DLL folders on the path and a new prefix: what a school computer has. The window must
# open, with its own title.
check=$(mktemp -d)
trap 'rm -rf "$check"' EXIT
(cd "$check" && unzip -q "$out/$name.zip")
smoke='
cd "$1"
WINEPREFIX=$2 wine tarvona.exe &
for _ in $(seq 120); do
    if xdotool search --name "  Тарвона$" >/dev/null 2>&1; then
        echo "The window is open."
        WINEPREFIX=$2 wineserver --kill
        exit 0
    fi
    sleep 1
done
echo "error: tarvona.exe from the zip opened no window in 120 s" >&2
WINEPREFIX=$2 wineserver --kill || true
exit 1'
env -u TARVONA_WINE_DLLS xvfb-run --auto-servernum bash -c "$smoke" bash "$check/$name" "$check/wine"

echo "Made $out/$name.zip ($(stat -c %s "$out/$name.zip") bytes):"
(cd "$stage" && find . -type f | sed 's|^\./|    |' | LC_ALL=C sort)
