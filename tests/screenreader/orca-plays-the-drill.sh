#!/usr/bin/env bash
# A blind pupil's game, played by keyboard alone with the desktop's real screen reader: Orca,
# speaking through speech-dispatcher, on a private X display, D-Bus session and accessibility
# bus (orca-session.sh). Speech goes to a file instead of a sound card; after each key press
# the test waits for what it expects to hear and for speech to go quiet, and checks our texts
# in what was said (of Orca's own words, only those that give a number, in the C locale's
# English).
# Usage: orca-plays-the-drill.sh TARVONA_EXECUTABLE
# Exits 77 (skipped) when Orca or its helpers are not installed, or when an Orca of this user
# runs already: Orca refuses to start beside it, and it is not ours to stop.
set -euo pipefail

program=$(realpath "$1")
# shellcheck source=orca-session.sh
source "$(dirname "$0")/orca-session.sh"
orca_session_start --braille
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >"$scratch/program.log" 2>&1 &
pids+=($!)
# The window opens with the focus in the log box, whose first line is the drill's title.
wait_for_speech "Тарвона, автори и произведения"

# The keys are counted from when Orca has finished reading the window as it opened.
wait_for_quiet $((SECONDS + 30))
read_so_far=$quiet_at
said=""

# The window opens with the focus in the log box. Tab enters the work list: its name, the
# number of works in it and the work under the focus cursor are spoken, and nothing is picked.
press Tab "Тарвона - произведения" "List with 9 items" "Антигона"
not_heard "Първо изберете автор"
# Back past the log box into the group of authors, which Shift+Tab enters at its last.
press shift+Tab "Дневник"
press shift+Tab "Софокъл"
press space "selected"
# Shift+Tab enters the list from below, on "Антигона"; Space answers it, rightly. The verdict
# comes before anything else, the work that takes its place after it.
press shift+Tab "Изчисти"
press shift+Tab "List with 9 items" "Антигона"
press space "Вярно Софокъл:Антигона" "Едип цар"
heard_before "Вярно Софокъл:Антигона" "Едип цар"
braille_shows "Едип цар"
# An arrow key picks an author in the group.
press Tab "Изчисти"
press Tab "Софокъл"
press Up "Омир"
press shift+Tab "Изчисти"
press shift+Tab "List with 8 items" "Едип цар"
# Orca's "where am I" gives the work's place among the works left.
press KP_Enter "Едип цар" "1 of 8"
# Down moves to "Електра" and answers it, wrongly.
press Down "Невярно Омир:Електра" "Жените в народното събрание"
heard_first "Невярно Омир:Електра"
# Orca's own current row is the one the cursor landed on: its braille line shows it, and
# "where am I" names it, in its place among the works left.
braille_shows "Жените в народното събрание"
press KP_Enter "Жените в народното събрание" "2 of 7"
# A work picked with no author chosen: the hint, then the row under the cursor.
press Down "Първо изберете автор" "Илиада"
heard_first "Първо изберете автор"
not_heard "Вярно"
press Tab "Изчисти"
press space "Нов избор" "Всички 9 произведения са отново в списъка"
# The log box reads its new text.
press shift+Tab "List with 9 items"
press shift+Tab "Дневник" "Нов избор"
echo "Orca spoke every verdict, hint and restart, and the count and places of the works."
