#!/usr/bin/env bash
# Builds Tarvona for 64-bit Windows, runs its engine and window tests under Wine, and packs
# build-windows/tarvona-VERSION-windows-x64.zip (the program with exactly the DLLs, the
# platform plugin and the translation it needs, and the licences that come with them) and
# build-windows/tarvona-VERSION-windows-x64.msi, an installer of the same files.
# Qt for Windows is Qt 6.8 or later, built from Debian 13's source once and kept
# (scripts/windows-qt.sh). On a machine whose Qt is older, all of this runs in a fresh
# Debian 13 root instead (scripts/debian-root.sh), and the results land here all the same.
# Usage: scripts/windows.sh   (as root, or with sudo available, like the other scripts)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

# The Qt for Windows is of this machine's Qt version, so an older one sends the whole build
# into Debian 13, before anything else is installed here for it.
qt_version() { dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null; }
if [ -z "$(qt_version)" ]; then
    scripts/deps.sh windows
fi
if ! dpkg --compare-versions "$(qt_version)" ge 6.8; then
    echo "== Qt $(qt_version) is older than 6.8: building for Windows in a Debian 13 root instead"
    exec scripts/debian-root.sh --share build-windows trixie scripts/windows.sh
fi
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

echo "== Make the installer"
# wixl-heat lists the stage's files as components of their folders under INSTALLDIR; wixl
# turns that and the product's description into the package. wixl keeps its texts in the
# code page its locale implies, so it is told the installer's language, and the package is
# then marked as being in that code page, so that Windows reads the Cyrillic names right
# whatever its own code page.
msi=$out/$name.msi
wxs=$out/msi
rm -rf "$wxs" "$msi"
mkdir -p "$wxs"
(cd "$out" && find "$name" -type f | LC_ALL=C sort |
    wixl-heat -p "$name/" --directory-ref INSTALLDIR --var var.SourceDir --component-group ProgramFiles \
        --win64 >"$wxs/files.wxs")
printf '\r\n\r\n1251\t_ForceCodepage\r\n' >"$wxs/_ForceCodepage.idt"
make_msi() { # VERSION OUTPUT
    WINDOWS_LANGUAGE=bg wixl -a x64 -D Win64=yes -D Version="$1" -D SourceDir="$stage" \
        -D Icon="$build/window/tarvona.ico" -o "$2" data/windows/tarvona.wxs "$wxs/files.wxs"
    (cd "$wxs" && WINDOWS_LANGUAGE=bg msibuild "$2" -i _ForceCodepage.idt)
}
make_msi "$version" "$msi"
# An older version of the same files, only to check that the real one replaces it.
make_msi 0.9.0 "$wxs/older.msi"

echo "== Check the zip and the installer in fresh Wine prefixes"
env -u TARVONA_WINE_DLLS -u WINEPREFIX xvfb-run --auto-servernum \
    bash tests/wine/check-packages.sh "$out/$name.zip" "$msi" "$wxs/older.msi" "$version"

echo "Made $out/$name.zip ($(stat -c %s "$out/$name.zip") bytes) and $msi ($(stat -c %s "$msi") bytes), of:"
(cd "$stage" && find . -type f | sed 's|^\./|    |' | LC_ALL=C sort)
