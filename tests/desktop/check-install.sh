#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks that exactly the program, its desktop
# entry, its AppStream data and its icons arrive there, and that they name each other rightly.
# Usage: check-install.sh BUILD_DIR
set -euo pipefail

build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

expected="bin/tarvona
share/applications/org.tarvona.Tarvona.desktop
share/doc/tarvona/changelog.gz
share/doc/tarvona/copyright
share/icons/hicolor/128x128/apps/org.tarvona.Tarvona.png
share/icons/hicolor/16x16/apps/org.tarvona.Tarvona.png
share/icons/hicolor/256x256/apps/org.tarvona.Tarvona.png
share/icons/hicolor/32x32/apps/org.tarvona.Tarvona.png
share/icons/hicolor/48x48/apps/org.tarvona.Tarvona.png
share/icons/hicolor/64x64/apps/org.tarvona.Tarvona.png
share/icons/hicolor/scalable/apps/org.tarvona.Tarvona.svg
share/man/man1/tarvona.1.gz
share/metainfo/org.tarvona.Tarvona.metainfo.xml"
actual=$(cd "$prefix" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
    echo "installed files differ from the expected ones:" >&2
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    exit 1
fi

fail=0
expect() {
    if ! grep -q -x -F "$2" "$prefix/$1"; then
        echo "$1 lacks the line: $2" >&2
        fail=1
    fi
}
test -x "$prefix/bin/tarvona" || { echo "bin/tarvona is not executable" >&2; fail=1; }
expect share/applications/org.tarvona.Tarvona.desktop "Exec=tarvona"
expect share/applications/org.tarvona.Tarvona.desktop "Icon=org.tarvona.Tarvona"
expect share/metainfo/org.tarvona.Tarvona.metainfo.xml "  <id>org.tarvona.Tarvona</id>"
expect share/metainfo/org.tarvona.Tarvona.metainfo.xml \
    '  <launchable type="desktop-id">org.tarvona.Tarvona.desktop</launchable>'
expect share/metainfo/org.tarvona.Tarvona.metainfo.xml "    <binary>tarvona</binary>"
exit $fail
