#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing: for the
# Linux build and its tests by default, for the Windows build (scripts/windows.sh), for
# building the browser page (scripts/web.sh), or for its tests (scripts/web-test.sh).
# Usage: scripts/deps.sh [linux|windows|web-build|web]   (as root, or with sudo available)
set -euo pipefail

case ${1:-linux} in
linux) packages=(
    build-essential cmake pkg-config
    libgtest-dev
    qt6-base-dev qt6-translations-l10n
    fonts-liberation
    xvfb xauth
    clang-format clang-tidy
    # the fuzzers: clang, its libFuzzer and sanitizer runtimes, llvm-symbolizer for crash reports
    clang libclang-rt-dev llvm
    # icons, desktop entry and AppStream checks, the Debian package and lintian's check of it
    # (CPack's Debian generator reads binaries with file(1) to find their library dependencies)
    librsvg2-bin desktop-file-utils appstream dpkg-dev file lintian
    # the start-up benchmark's probe watches the X server for the window being mapped
    libxcb1-dev
    # the screen reader test: Orca and its speech server on a private display, session bus
    # and accessibility bus, with a window manager, driven by synthetic key presses
    orca speech-dispatcher at-spi2-core dbus openbox xdotool x11-utils x11-xserver-utils
) ;;
windows) packages=(
    cmake ninja-build zip unzip
    # packs the program's icon into the .exe's .ico; builds the installer (wixl, msibuild)
    icoutils wixl msitools
    # the cross-compiler, with the thread model Qt and std::thread need
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    # Qt's source comes from Debian's archive, and Qt's host tools (moc, rcc, uic) and
    # translations from Debian's packages of the same version
    dpkg-dev perl qt6-base-dev qt6-translations-l10n
    # GoogleTest's source, to build it with the cross-compiler
    googletest
    # the tests run under 64-bit Wine on a virtual screen, with Times New Roman's metric twin
    wine wine64 xvfb xauth fonts-liberation
    # and the program from the zip must open its window: xdotool looks for it; the UI
    # Automation test reads Wine's log with perl
    xdotool perl
) ;;
web-build) packages=(
    # the engine and the page's front end compiled to WebAssembly; the engine's tests run
    # under Node.js, which emscripten brings
    cmake make emscripten googletest
    # and the front end checked with clang-tidy, as the rest of the code
    clang-tidy
) ;;
web)
    packages=(
        # the browsers the tests drive headless, and the page's font; WebKitGTK's WebDriver,
        # which drives the MiniBrowser of its library package on a private display
        chromium firefox-esr fonts-liberation webkit2gtk-driver libwebkit2gtk-4.1-0
        # the test driver runs on Node.js; the engine's form it compares the page with is native
        nodejs build-essential cmake libgtest-dev
        # and Orca reads the page in Firefox on a private display, as in the desktop's test
        orca speech-dispatcher at-spi2-core dbus openbox xdotool x11-utils xvfb xauth
    )
    # Debian's npm is a package of its own; a Node.js that brings its own npm needs none.
    if ! command -v npm >/dev/null 2>&1; then
        packages+=(npm)
    fi
    ;;
*)
    echo "usage: scripts/deps.sh [linux|windows|web-build|web]" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "error: these packages are missing and installing them needs root: ${missing[*]}" >&2
        exit 1
    fi
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
# Waits for another apt (a fresh machine may be updating itself) instead of failing at once.
$sudo apt-get -o DPkg::Lock::Timeout=600 update -q
$sudo apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "${missing[@]}"
