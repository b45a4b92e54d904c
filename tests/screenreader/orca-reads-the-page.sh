#!/usr/bin/env bash
# A blind pupil's game in the browser, played by keyboard alone: Firefox ESR shows the page
# on a private X display, and Orca reads it, speaking through speech-dispatcher into a file
# (the desktop test's setup, orca-session.sh). After each key press the test waits for what
# it expects to hear and for speech to go quiet, and checks our texts in what was said.
# Usage: orca-reads-the-page.sh PAGE.html
# Exits 77 (skipped) when Orca, Firefox or their helpers are not installed, or when an Orca of
# this user runs already.
set -euo pipefail

page=$(realpath "$1")
firefox=$(command -v firefox-esr || command -v firefox || true)
if [ -z "$firefox" ]; then
    echo "Firefox is not installed (scripts/deps.sh web installs it); skipping the screen reader test."
    exit 77
fi
# shellcheck source=orca-session.sh
source "$(dirname "$0")/orca-session.sh"
orca_session_start

# A profile of its own that asks nothing and reaches for nothing on the network. Firefox must
# not run headless (any MOZ_HEADLESS at all makes it so), or Orca sees no window.
profile=$scratch/profile
mkdir -p "$profile"
cat >"$profile/user.js" <<'PREFS'
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("browser.aboutwelcome.enabled", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("app.update.disabledForTesting", true);
user_pref("network.captive-portal-service.enabled", false);
user_pref("network.connectivity-service.enabled", false);
user_pref("browser.safebrowsing.malware.enabled", false);
user_pref("browser.safebrowsing.phishing.enabled", false);
user_pref("extensions.update.enabled", false);
user_pref("browser.sessionstore.resume_from_crash", false);
PREFS
unset MOZ_HEADLESS
GNOME_ACCESSIBILITY=1 "$firefox" --no-remote --profile "$profile" --kiosk "file://$page" \
    >"$scratch/program.log" 2>&1 &
pids+=($!)
# The page opens with the focus in its log box, a field Orca works in focus mode.
wait_for_speech "Focus mode"
wait_for_quiet $((SECONDS + 30))
read_so_far=$quiet_at

# The page opens with the focus in the log box. Tab enters the work list: its name, the
# number of works and the work under the cursor are spoken, and nothing is picked.
press Tab "Тарвона - произведения" "List with 9 items" "Антигона"
not_heard "Първо изберете автор"
# Down with no author picked is refused: the hint, then the work the cursor moved to.
press Down "Първо изберете автор" "Едип цар"
heard_before "Първо изберете автор" "Едип цар"
# On to the button and into the group of authors, at its first. Orca reads the group in
# browse mode, where an arrow key moves both Firefox and Orca's own caret, which then at times
# lands one author further; so the pupil switches to focus mode (Orca+A), where the arrow keys
# are Firefox's alone. The browser moves from author to author, and Space picks the fifth.
press Tab "Изчисти"
press Tab "Аристофан"
press Insert+a "Focus mode"
press Down "Еврипид"
press Down "Есхил"
press Down "Омир"
press Down "Софокъл"
press space
# Back into the list, the work named is the one the cursor is on, "Едип цар", and Space
# answers it, rightly. The verdict comes before the work that takes its place.
press shift+Tab "Изчисти"
press shift+Tab "Едип цар"
not_heard "Антигона"
press space "Вярно Софокъл:Едип цар" "Електра"
heard_before "Вярно Софокъл:Едип цар" "Електра"
# "where am I" gives the work's place among the works left.
press KP_Enter "2 of 8"
press Tab "Изчисти"
press Tab "Аристофан"
press Insert+a "Focus mode"
press Down "Еврипид"
press Down "Есхил"
press Down "Омир"
press space
press shift+Tab "Изчисти"
press shift+Tab "Електра"
# Down moves to "Жените в народното събрание" and answers it, wrongly: the verdict first,
# then the next work.
press Down "Невярно Омир:Жените в народното събрание" "Илиада"
heard_before "Невярно Омир:Жените в народното събрание" "Илиада"
# A work picked with no author chosen: the hint, then the work under the cursor.
press Down "Първо изберете автор" "Медея"
heard_before "Първо изберете автор" "Медея"
not_heard "Вярно"
press Tab "Изчисти"
press space "Нов избор" "Всички 9 произведения са отново в списъка"
echo "Orca read every verdict, hint and restart of the page."
