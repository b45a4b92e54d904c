#!/usr/bin/env bash
# A blind pupil's game on Windows, under Wine: a UI Automation client (uia_listener.exe)
# wakes the program's accessibility bridge, listens as a screen reader does and plays the
# drill by keyboard; every notification the program raises must carry exactly the text a
# screen reader says on Linux, in order. Wine 10 hands a client no notifications
# (IUIAutomation5::AddNotificationEventHandler is a stub there), but it logs every
# UiaRaiseNotificationEvent call with its text, and the texts are read from that log; a
# client that does receive them prints them, and then those must match too.
# Usage: uia-plays-the-drill.sh TARVONA.exe UIA_LISTENER.exe   (Wine and its prefix set up
# as tests/wine/run.sh expects)
set -euo pipefail

program=$1
listener=$2
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

expected=(
    "Вярно Софокъл:Антигона"
    "Едип цар"
    "Невярно Омир:Електра"
    "Жените в народното събрание"
    "Първо изберете автор."
    "Нов избор. Всички 9 произведения са отново в списъка."
)
# As on Linux: into the list, back to Софокъл and pick him, into the list again and answer
# "Антигона" with Space; pick Омир with an arrow, answer "Електра" with Down; Down again
# with no author chosen; restart.
keys=(tab shift+tab shift+tab space shift+tab shift+tab space
    tab tab up shift+tab shift+tab down down tab space)

WINEDEBUG=-all,fixme+uiautomation "$here/run.sh" "$program" 2>"$scratch/wine.log" &
program_pid=$!
status=0
"$here/run.sh" "$listener" "tarvona.example  Тарвона" "${keys[@]}" >"$scratch/client.txt" 2>"$scratch/client.log" ||
    status=$?
# The client closes the window when it is done.
wait "$program_pid" || true
if [ "$status" -ne 0 ]; then
    echo "FAIL: the UI Automation client failed (exit status $status):" >&2
    cat "$scratch/client.log" >&2
    exit 1
fi

# Wine writes a call as: fixme:uiautomation:UiaRaiseNotificationEvent (PROVIDER, KIND,
# PROCESSING, L"text", L"activity"): stub, with each character beyond ASCII as \NNNN (hex)
# and a backslash or quote escaped by a backslash.
perl -CS -ne '
    next unless /UiaRaiseNotificationEvent \([^,]*, *\d+, *\d+, *L"((?:[^"\\]|\\.)*)"/;
    (my $text = $1) =~ s/\\([0-9a-fA-F]{4}|.)/length($1) == 4 ? chr(hex($1)) : $1/ge;
    print "$text\n";' "$scratch/wine.log" >"$scratch/raised.txt"

check() {
    local what=$1 file=$2
    mapfile -t got <"$file"
    if [ "${got[*]}" != "${expected[*]}" ] || [ ${#got[@]} -ne ${#expected[@]} ]; then
        echo "FAIL: the notifications $what are not the ones expected." >&2
        echo "--- expected:" >&2
        printf '%s\n' "${expected[@]}" >&2
        echo "--- $what:" >&2
        cat "$file" >&2
        echo "--- the client's log:" >&2
        cat "$scratch/client.log" >&2
        exit 1
    fi
}
check "the program raised" "$scratch/raised.txt"
if [ -s "$scratch/client.txt" ]; then
    check "the client received" "$scratch/client.txt"
fi
echo "UI Automation was notified of every verdict, hint and restart:"
sed 's/^/    /' "$scratch/raised.txt"
