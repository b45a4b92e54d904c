# Sourced by the screen reader tests: a private X display with a window manager, a D-Bus
# session and accessibility bus, speech-dispatcher writing what it would say to a file, and a
# real Orca reading the screen; and the means to press keys and check what was spoken.
# orca_session_start exits 77 (skipped) when a tool is missing, or when an Orca of this user
# runs already: Orca refuses to start beside it, and it is not ours to stop.
# What the program under test prints goes to "$scratch/program.log".

another_orca() {
    echo "Another Orca of this user is running already, and Orca will not start beside it; skipping the screen reader test."
    exit 77
}

fail() {
    echo "FAIL: $*" >&2
    echo "--- everything spoken:" >&2
    cat "$spoken" >&2 || true
    echo "--- the program's output:" >&2
    cat "$scratch/program.log" >&2 || true
    exit 1
}

orca_session_cleanup() {
    # Only what this test started, newest first. Orca ignores SIGTERM while idle.
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill -KILL "${pids[$i]}" 2>/dev/null || true
        wait "${pids[$i]}" 2>/dev/null || true
    done
    rm -rf "$scratch"
}

orca_session_start() {
    local tool
    for tool in orca speech-dispatcher Xvfb xprop xdotool dbus-daemon openbox /usr/lib/speech-dispatcher-modules/sd_generic; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "$tool is not installed (scripts/deps.sh installs it); skipping the screen reader test."
            exit 77
        fi
    done
    if pgrep -u "$(id -u)" -x orca >/dev/null; then
        another_orca
    fi

    scratch=$(mktemp -d)
    pids=()
    trap orca_session_cleanup EXIT

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
    cat >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf" <<CONF
AudioOutputMethod "libao"
AddModule "capture" "sd_generic" "capture.conf"
DefaultModule capture
DefaultLanguage "bg"
CONF
    cat >"$XDG_CONFIG_HOME/speech-dispatcher/modules/capture.conf" <<CONF
GenericExecuteSynth "printf '%s\\\\n' \\'\$DATA\\' >>$spoken"
GenericLanguage "bg" "bg" "utf-8"
GenericLanguage "en" "en" "utf-8"
GenericLanguage "c" "c" "utf-8"
AddVoice "bg" "male1" "bg"
AddVoice "en" "male1" "en"
CONF

    # The display: Xvfb picks a free number. Its socket exists before it takes clients. Without
    # -noreset it would reset when its first client leaves, and refuse the next one meanwhile.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$scratch/display" 2>"$scratch/xvfb.log" &
    pids+=($!)
    for _ in $(seq 100); do
        [ -s "$scratch/display" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(cat "$scratch/display" 2>/dev/null)"
    local up=false
    for _ in $(seq 100); do
        xprop -root >/dev/null 2>&1 && up=true && break
        sleep 0.1
    done
    $up || fail "Xvfb did not start on display $DISPLAY: $(cat "$scratch/xvfb.log")"

    # A session bus of our own; the accessibility bus is started through it on demand.
    dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$scratch/bus" 4>"$scratch/bus.pid"
    pids+=("$(cat "$scratch/bus.pid")")
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$scratch/bus")
    export DBUS_SESSION_BUS_ADDRESS

    speech-dispatcher --run-single --timeout 0 --config-dir "$XDG_CONFIG_HOME/speech-dispatcher" \
        --log-dir "$scratch" >"$scratch/speechd.out" 2>&1 &
    pids+=($!)
    # Orca gives up on speech for good when the speech server does not answer at its start,
    # which on a busy machine can come before the server listens.
    local socket=$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock
    for _ in $(seq 300); do
        [ -S "$socket" ] && break
        sleep 0.1
    done
    [ -S "$socket" ] || fail "speech-dispatcher did not start: $(tail -n 5 "$scratch/speech-dispatcher.log" 2>/dev/null)"

    # A window manager gives the window the focus when it opens, as on a desktop.
    openbox --sm-disable >"$scratch/openbox.log" 2>&1 &
    pids+=($!)
    # Asked for with --braille, its debug log shows what its braille display would, for
    # braille_shows; it slows Orca down, so it is kept only where it is read. Orca writes that
    # file through a buffer, which may hold its last lines for as long as Orca is idle; a hook
    # of Python's, for this Orca alone, has it write them line by line.
    local debug=() python=()
    if [ "${1:-}" = --braille ]; then
        local log=$scratch/orca-debug.txt hooks
        debug=(--debug-file="$log")
        python=(PYTHONUSERBASE="$scratch/python")
        hooks=$(env "${python[@]}" python3 -m site --user-site)
        mkdir -p "$hooks"
        cat >"$hooks/usercustomize.py" <<PY
import builtins
_open = builtins.open
def _line_by_line(file, mode="r", buffering=-1, *args, **kwargs):
    if file == "$log":
        buffering = 1
    return _open(file, mode, buffering, *args, **kwargs)
builtins.open = _line_by_line
PY
    fi
    env "${python[@]}" orca "${debug[@]}" >"$scratch/orca.log" 2>&1 &
    pids+=($!)
    # The program starts once Orca listens, so that Orca sees its window open and follows it.
    wait_for_speech "Screen reader on"
    read_so_far=0
    said=""
}

# Waits until the text has been spoken, for up to 30 s.
wait_for_speech() {
    for _ in $(seq 300); do
        grep -q -F -- "$1" "$spoken" && return 0
        if grep -q "already running" "$scratch/orca.log"; then
            another_orca
        fi
        sleep 0.1
    done
    fail "\"$1\" was never spoken; Orca's log: $(tail -n 20 "$scratch/orca.log")"
}

# Speech has gone quiet when nothing was added to it for this long.
quiet_ms=${TARVONA_QUIET_MS:-1000}
# Waits until nothing has been added to the speech for quiet_ms, up to the deadline (in
# SECONDS); quiet_at is then how much had been spoken.
wait_for_quiet() {
    local size quiet=0
    quiet_at=$(stat -c %s "$spoken")
    while [ "$quiet" -lt "$quiet_ms" ]; do
        sleep 0.1
        size=$(stat -c %s "$spoken")
        if [ "$size" -eq "$quiet_at" ]; then
            quiet=$((quiet + 100))
        else
            quiet=0
            quiet_at=$size
        fi
        [ "$SECONDS" -lt "$1" ] || fail "speech did not go quiet"
    done
}

# Presses a key, waits until each given text has been spoken after it and then until speech
# has gone quiet (for up to 30 s in all), and keeps what was said meanwhile in $said.
press() {
    local key=$1 text deadline=$((SECONDS + 30))
    shift
    xdotool key --clearmodifiers "$key"
    for text in "$@"; do
        until tail -c +"$((read_so_far + 1))" "$spoken" | grep -q -F -- "$text"; do
            if [ "$SECONDS" -ge "$deadline" ]; then
                said=$(tail -c +"$((read_so_far + 1))" "$spoken")
                fail "after $key, \"$text\" was not spoken within 30 s"
            fi
            sleep 0.05
        done
    done
    wait_for_quiet "$deadline"
    said=$(tail -c +"$((read_so_far + 1))" "$spoken" | head -c "$((quiet_at - read_so_far))")
    read_so_far=$quiet_at
    printf '[%s] %s\n' "$key" "$(tr '\n' '|' <<<"$said")"
}

# Orca's braille line shows the text, now or within 8 s: a message Orca flashes on the line
# (Orca 43 flashes the status line's notification, with nothing on it) stays there for up to
# 5 s before the line shows the focus again.
braille_shows() {
    local line
    for _ in $(seq 80); do
        line=$(grep -a "BRAILLE LINE:" "$scratch/orca-debug.txt" | tail -n 1)
        grep -q -F -- "$1" <<<"$line" && return 0
        sleep 0.1
    done
    fail "Orca's braille line does not show \"$1\" within 8 s: $line"
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
