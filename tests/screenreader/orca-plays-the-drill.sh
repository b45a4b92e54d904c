#!/usr/bin/env bash
# A blind pupil's game, played by keyboard alone with the desktop's real screen reader: Orca,
# speaking through speech-dispatcher, on a private X display, D-Bus session and accessibility
# bus. Speech goes to a file instead of a sound card; after each key press the test reads
# what was spoken since the last one and checks our texts in it (Orca's own words follow the
# locale and are not checked).
# Usage: orca-plays-the-drill.sh TARVONA_EXECUTABLE
# Exits 77 (skipped) when Orca or its helpers are not installed.
set -euo pipefail

program=$(realpath "$1")
for tool in orca speech-dispatcher Xvfb xprop xdotool xmodmap dbus-daemon openbox /usr/lib/speech-dispatcher-modules/sd_generic; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is not installed (scripts/deps.sh installs it); skipping the screen reader test."
        exit 77
    fi
done

scratch=$(mktemp -d)
pids=()
cleanup() {
    # Only what this test started, newest first. Orca ignores SIGTERM while idle.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill -KILL "${pids[$i]}" 2>/dev/null || true
        wait "${pids[$i]}" 2>/dev/null || true
    done
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    echo "--- everything spoken:" >&2
    cat "$spoken" >&2 || true
    echo "--- the program's output:" >&2
    cat "$scratch/tarvona.log" >&2 || true
    exit 1
}

# A private home: Orca writes its default settings there and starts without its wizard.
export HOME=$scratch/home XDG_RUNTIME_DIR=$scratch/run
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
mkdir -p "$HOME" "$XDG_CONFIG_HOME/speech-dispatcher/modules"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset WAYLAND_DISPLAY QT_QPA_PLATFORM QT_SCALE_FACTOR

# Speech: the generic module runs a shell command per message; ours appends the text to a
# file. The sound output is libao's null driver, as there is no sound card. Every language
# hands its text over in UTF-8, also "c", which newer Orca asks for in the C locale (the
# module's default would turn Cyrillic into question marks).
spoken=$scratch/spoken.txt
: >"$spoken"
printf 'default_driver=null\n' >"$HOME/.libao"
cat >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf" <<EOF
AudioOutputMethod "libao"
AddModule "capture" "sd_generic" "capture.conf"
DefaultModule capture
DefaultLanguage "bg"
EOF
cat >"$XDG_CONFIG_HOME/speech-dispatcher/modules/capture.conf" <<EOF
GenericExecuteSynth "printf '%s\\\\n' \\'\$DATA\\' >>$spoken"
GenericLanguage "bg" "bg" "utf-8"
GenericLanguage "en" "en" "utf-8"
GenericLanguage "c" "c" "utf-8"
AddVoice "bg" "male1" "bg"
AddVoice "en" "male1" "en"
EOF

# The display: Xvfb picks a free number. Its socket exists before it takes clients.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do
    [ -s "$scratch/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(cat "$scratch/display" 2>/dev/null)"
for _ in $(seq 100); do
    xprop -root >/dev/null 2>&1 && break
    sleep 0.1
done
xprop -root >/dev/null 2>&1 || fail "Xvfb did not start: $(cat "$scratch/xvfb.log")"

# A session bus of our own; the accessibility bus is started through it on demand.
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$scratch/bus" 4>"$scratch/bus.pid"
pids+=("$(cat "$scratch/bus.pid")")
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$scratch/bus")
export DBUS_SESSION_BUS_ADDRESS

speech-dispatcher --run-single --timeout 0 --config-dir "$XDG_CONFIG_HOME/speech-dispatcher" \
    --log-dir "$scratch" >"$scratch/speechd.out" 2>&1 &
pids+=($!)

# A window manager gives the window the focus when it opens, as on a desktop.
openbox --sm-disable >"$scratch/openbox.log" 2>&1 &
pids+=($!)
orca --replace >"$scratch/orca.log" 2>&1 &
pids+=($!)
# Waits until the text has been spoken, for up to 30 s.
wait_for_speech() {
    for _ in $(seq 300); do
        grep -q -F -- "$1" "$spoken" && return 0
        sleep 0.1
    done
    fail "\"$1\" was never spoken; Orca's log: $(tail -n 20 "$scratch/orca.log")"
}
# The program starts once Orca listens, so that Orca sees its window open and follows it.
wait_for_speech "Screen reader on"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >"$scratch/tarvona.log" 2>&1 &
pids+=($!)
# The window opens with the focus in the log box, whose first line is the drill's title.
wait_for_speech "Тарвона, автори и произведения"
sleep 1

read_so_far=$(stat -c %s "$spoken")
said=""
# Presses a key, waits for the speech to settle, and keeps what was said meanwhile.
press() {
    xdotool key --clearmodifiers "$1"
    sleep "${TARVONA_KEY_PAUSE:-1.5}"
    said=$(tail -c +"$((read_so_far + 1))" "$spoken")
    read_so_far=$(stat -c %s "$spoken")
    printf '[%s] %s\n' "$1" "$(tr '\n' '|' <<<"$said")"
}
# Each text must have been spoken after the last key press.
heard() {
    local text
    for text in "$@"; do
        grep -q -F -- "$text" <<<"$said" || fail "after this key press, \"$text\" was not spoken"
    done
}
# The text must not have been spoken after the last key press.
not_heard() {
    ! grep -q -F -- "$1" <<<"$said" || fail "after this key press, \"$1\" was spoken"
}
# The text must have been the first thing spoken after the last key press.
heard_first() {
    head -n 1 <<<"$said" | grep -q -F -- "$1" || fail "after this key press, \"$1\" was not spoken first"
}
# Both texts must have been spoken after the last key press, the first before the second.
heard_before() {
    local first second
    first=$(grep -n -F -m 1 -- "$1" <<<"$said" | cut -d: -f1)
    second=$(grep -n -F -m 1 -- "$2" <<<"$said" | cut -d: -f1)
    [ -n "$first" ] && [ -n "$second" ] && [ "$first" -lt "$second" ] \
        || fail "after this key press, \"$1\" was not spoken before \"$2\""
}

# The window opens with the focus in the log box. Tab enters the work list: its name and
# the work under the focus cursor are spoken, and nothing is picked.
press Tab
heard "Тарвона - произведения" "Антигона"
not_heard "Първо изберете автор"
# Back past the log box into the group of authors, which Shift+Tab enters at its last.
press shift+Tab
press shift+Tab
heard "Софокъл"
press space
# Shift+Tab enters the list from below, on "Антигона"; Space answers it, rightly. The verdict
# comes before anything else, the work that takes its place after it.
press shift+Tab
press shift+Tab
heard "Тарвона - произведения" "Антигона"
press space
heard_before "Вярно Софокъл:Антигона" "Едип цар"
# An arrow key picks an author in the group.
press Tab
press Tab
press Up
heard "Омир"
press shift+Tab
press shift+Tab
heard "Едип цар"
# Down moves to "Електра" and answers it, wrongly.
press Down
heard_first "Невярно Омир:Електра"
heard "Жените в народното събрание"
# A work picked with no author chosen: the hint and the row under the cursor.
press Down
heard "Първо изберете автор" "Илиада"
not_heard "Вярно"
press Tab
press space
heard "Нов избор" "Всички 9 произведения са отново в списъка"
# The log box reads its new text.
press shift+Tab
press shift+Tab
heard "Дневник" "Нов избор"
echo "Orca spoke every verdict, hint and restart."
