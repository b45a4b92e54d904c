#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Usage: scripts/deps.sh   (as root, or with sudo available)
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    libgtest-dev
    qt6-base-dev qt6-translations-l10n
    fonts-liberation
    xvfb xauth
    clang-format clang-tidy
    # the fuzzers: clang, its libFuzzer and sanitizer runtimes, llvm-symbolizer for crash reports
    clang libclang-rt-14-dev llvm
    # icons, desktop entry and AppStream checks, the Debian package and lintian's check of it
    # (CPack's Debian generator reads binaries with file(1) to find their library dependencies)
    librsvg2-bin desktop-file-utils appstream dpkg-dev file lintian
    # the start-up benchmark's probe watches the X server for the window being mapped
    libxcb1-dev
    # the screen reader test: Orca and its speech server on a private display, session bus
    # and accessibility bus, with a window manager, driven by synthetic key presses
    orca speech-dispatcher at-spi2-core dbus openbox xdotool x11-utils x11-xserver-utils
)

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
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
