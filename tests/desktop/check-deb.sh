#!/usr/bin/env bash
# Builds the Debian package with cpack and checks that it holds exactly the program, its
# desktop entry, its AppStream data, its icons, its manual page, copyright and changelog,
# under /usr; that it depends on what the window needs to open: Qt 6 Widgets and Qt's
# platform plugins; and that lintian finds no error and no warning in it.
# Usage: check-deb.sh BUILD_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack --config CPackConfig.cmake -B "$out" >"$out/cpack.log" 2>&1) || {
    cat "$out/cpack.log" >&2
    exit 1
}
debs=("$out"/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "cpack made no single .deb:" "${debs[@]}" >&2
    exit 1
fi
deb=${debs[0]}

expected="./usr/bin/tarvona
./usr/share/applications/org.tarvona.Tarvona.desktop
./usr/share/doc/tarvona/changelog.gz
./usr/share/doc/tarvona/copyright
./usr/share/icons/hicolor/128x128/apps/org.tarvona.Tarvona.png
./usr/share/icons/hicolor/16x16/apps/org.tarvona.Tarvona.png
./usr/share/icons/hicolor/256x256/apps/org.tarvona.Tarvona.png
./usr/share/icons/hicolor/32x32/apps/org.tarvona.Tarvona.png
./usr/share/icons/hicolor/48x48/apps/org.tarvona.Tarvona.png
./usr/share/icons/hicolor/64x64/apps/org.tarvona.Tarvona.png
./usr/share/icons/hicolor/scalable/apps/org.tarvona.Tarvona.svg
./usr/share/man/man1/tarvona.1.gz
./usr/share/metainfo/org.tarvona.Tarvona.metainfo.xml"
# Every entry but the directories; the name is the listing's last field (no spaces in ours).
actual=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $NF }' | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
    echo "the package's files differ from the expected ones:" >&2
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    exit 1
fi

dpkg-deb -I "$deb"
fail=0
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tarvona ] || { echo "wrong package name: $(field Package)" >&2; fail=1; }
[ "$(field Section)" = education ] || { echo "wrong section: $(field Section)" >&2; fail=1; }
[ -n "$(field Maintainer)" ] || { echo "no maintainer" >&2; fail=1; }
[ -n "$(field Description)" ] || { echo "no description" >&2; fail=1; }
# Depends is a comma-separated list of "name (version)" items.
depends=$(field Depends | tr ',' '\n' | awk '{ print $1 }')
for needed in libqt6widgets6 qt6-qpa-plugins; do
    if ! grep -q -x -F "$needed" <<<"$depends"; then
        echo "the package does not depend on $needed: $(field Depends)" >&2
        fail=1
    fi
done
# Informational tags (hardening notes and the like) are shown but do not fail the check.
if ! lintian --fail-on error,warning --tag-display-limit 0 "$deb"; then
    echo "lintian reports errors or warnings in the package (see above)" >&2
    fail=1
fi
exit $fail
