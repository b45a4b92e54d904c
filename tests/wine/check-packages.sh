#!/usr/bin/env bash
# What a school computer does with the two Windows packages, under Wine, each in a fresh
# prefix with no DLL path of ours: the program from the unpacked zip opens its window; the
# installer, run silently, replaces an older version and installs exactly the zip's files
# into Program Files\Tarvona, with a Start-menu shortcut and an entry in Add or Remove
# Programs, and the program it installed opens its window; uninstalling silently leaves
# nothing of ours behind.
# The installer is for the whole machine (ALLUSERS=1), where Windows puts the shortcut into
# the Start menu of all users; Wine's installer puts it into the user's own whatever
# ALLUSERS says, so the shortcut is looked for in both, and ALLUSERS in the package itself.
# Usage: check-packages.sh ZIP MSI OLDER_MSI VERSION   (on an X display, e.g. under xvfb-run)
set -euo pipefail

zip=$1
msi=$2
older=$3
version=$4
scratch=$(mktemp -d)
cleanup() {
    for prefix in "$scratch"/prefix-*; do
        [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver --kill 2>/dev/null || true
    done
    rm -rf "$scratch"
}
trap cleanup EXIT
# Neither .NET nor the HTML engine is needed, and Wine's menu builder would copy the
# shortcut into this machine's own menus.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Starts the program in its folder and waits up to 120 s for its window, then ends it.
opens_window() {
    (cd "$1" && exec wine tarvona.exe >/dev/null 2>&1) &
    local _
    for _ in $(seq 120); do
        if xdotool search --name "  Тарвона$" >/dev/null 2>&1; then
            wineserver --kill
            return 0
        fi
        sleep 1
    done
    wineserver --kill || true
    return 1
}
# A registry key and everything below it, in the text of a .reg file.
registry() {
    rm -f "$scratch/export.reg"
    wine reg export "$1" "$(winepath -w "$scratch/export.reg")" /y >/dev/null 2>&1 || return 0
    iconv -f UTF-16 -t UTF-8 "$scratch/export.reg" | tr -d '\r'
}
# The products Add or Remove Programs lists, one "NAME|VERSION|PUBLISHER" line each.
listed_products() {
    registry 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' | awk -F '"' '
        /^\[/ { if (name != "") print name "|" version "|" publisher; name = version = publisher = "" }
        $2 == "DisplayName" { name = $4 }
        $2 == "DisplayVersion" { version = $4 }
        $2 == "Publisher" { publisher = $4 }
        END { if (name != "") print name "|" version "|" publisher }'
}
# The icons the installed products show there, as host paths.
product_icons() {
    registry 'HKLM\Software\Classes\Installer\Products' | awk -F '"' '$2 == "ProductIcon" { print $4 }' |
        sed 's/\\\\/\\/g' | while IFS= read -r icon; do winepath -u "$icon"; done
}

echo "The zip, unpacked where nothing else is:"
mkdir "$scratch/unpacked"
(cd "$scratch/unpacked" && unzip -q "$zip")
folder=$(find "$scratch/unpacked" -mindepth 1 -maxdepth 1 -type d)
export WINEPREFIX=$scratch/prefix-zip
opens_window "$folder" || fail "tarvona.exe from the zip opened no window in 120 s"
echo "    tarvona.exe opens its window."

echo "The installer, silently, over an older version:"
export WINEPREFIX=$scratch/prefix-msi
wine msiexec /i "$(winepath -w "$older")" /qn || fail "the older installer failed"
wine msiexec /i "$(winepath -w "$msi")" /qn || fail "the installer failed"
programs="$WINEPREFIX/drive_c/Program Files/Tarvona"
shortcuts() {
    find "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu" \
        "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/"Start Menu" -name '*.lnk' 2>/dev/null |
        sed 's|.*/Start Menu/||' | LC_ALL=C sort
}
[ -d "$programs" ] || fail "nothing was installed into Program Files\\Tarvona"
if ! diff <(cd "$folder" && find . -type f | LC_ALL=C sort) <(cd "$programs" && find . -type f | LC_ALL=C sort); then
    fail "Program Files\\Tarvona does not hold exactly the zip's files (above: < zip, > installed)"
fi
(cd "$folder" && find . -type f -print0) | while IFS= read -r -d '' file; do
    cmp -s "$folder/$file" "$programs/$file" || fail "the installed $file differs from the zip's"
done
[ "$(shortcuts)" = "Programs/Тарвона.lnk" ] || fail "the Start menu holds, instead of the shortcut Тарвона: $(shortcuts)"
msiinfo export "$msi" Property | tr -d '\r' | grep -x -F "$(printf 'ALLUSERS\t1')" >/dev/null ||
    fail "the installer does not install for the whole machine (ALLUSERS=1)"
products=$(listed_products)
[ "$products" = "Тарвона|$version|Tarvona developers" ] ||
    fail "Add or Remove Programs lists, instead of Тарвона $version by Tarvona developers alone: ${products:-nothing}"
icon=$(product_icons)
[ -f "$icon" ] && icotool -l "$icon" >/dev/null 2>&1 || fail "Add or Remove Programs has no icon for Тарвона: ${icon:-none}"
echo "    the zip's $(cd "$programs" && find . -type f | wc -l) files in Program Files\\Tarvona, the shortcut Тарвона"
echo "    in the Start menu, and Тарвона $version alone in Add or Remove Programs."
opens_window "$programs" || fail "the installed tarvona.exe opened no window in 120 s"
echo "    The installed tarvona.exe opens its window."

echo "Uninstalled, silently:"
wine msiexec /x "$(winepath -w "$msi")" /qn || fail "uninstalling failed"
[ ! -e "$programs" ] || fail "Program Files\\Tarvona is still there: $(cd "$programs" && find . | head)"
[ -z "$(shortcuts)" ] || fail "the Start menu still holds: $(shortcuts)"
[ -z "$(listed_products)" ] || fail "Add or Remove Programs still lists: $(listed_products)"
if wine reg query 'HKLM\Software\Tarvona' >/dev/null 2>&1; then
    fail "the registry still holds HKLM\\Software\\Tarvona"
fi
echo "    nothing of ours is left."
