#!/usr/bin/env bash
# Runs one Windows program of the cross build under Wine: CTest's emulator for every test of
# the Windows build. scripts/windows.sh prepares the Wine prefix and names it in WINEPREFIX,
# and names the folders of the DLLs in TARVONA_WINE_DLLS (colon-separated, host paths).
# Usage: run.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail

# Wine gives a Windows program no variable named QT_*, but passes WINEQT_* on as QT_*.
while IFS= read -r name; do
    export "WINE$name=${!name}"
done < <(compgen -e | grep '^QT_' || true)

# The DLLs are found on the Windows PATH, which Wine extends by WINEPATH; Wine's drive Z: is
# the host's root.
winepath=
IFS=: read -r -a folders <<<"${TARVONA_WINE_DLLS:?TARVONA_WINE_DLLS names no DLL folders}"
for folder in "${folders[@]}"; do
    winepath+="${winepath:+;}Z:${folder//\//\\}"
done
export WINEPATH=$winepath WINEDEBUG=${WINEDEBUG:--all}

# Qt Test's output does not reach the terminal under Wine; a test that writes its results to
# a file (-o FILE,FORMAT) has them shown from there, afterwards.
results=()
previous=
for argument in "$@"; do
    if [ "$previous" = -o ]; then
        results+=("${argument%,*}")
    fi
    previous=$argument
done
rm -f "${results[@]}"
status=0
wine "$@" || status=$?
for file in "${results[@]}"; do
    cat "$file" 2>/dev/null || echo "run.sh: $1 wrote no results to $file" >&2
done
exit "$status"
