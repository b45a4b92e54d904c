#!/usr/bin/env bash
# A run of scripts/debian-root.sh whose whole process group is killed with SIGKILL in the
# middle of its command leaves nothing behind: nothing of it mounted here, no loop device,
# nothing new in the cache, and the next run does not see what it wrote into its root. While
# it runs, its mounts are not seen here, nor its root by a run beside it.
# Usage: tests/root/killed-run-leaves-nothing.sh   (as root; bootstraps Debian 13 when needed)
# Nothing else may use the cache meanwhile: anything new in it counts against the run.
set -euo pipefail
cd "$(dirname "$0")/../.."
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tarvona
pristine=$cache/debian-trixie
log=$(mktemp)
group=
trap '[ -z "$group" ] || kill -KILL -- "-$group" 2>/dev/null; rm -f "$log"' EXIT
fail() {
    echo "FAIL: $*" >&2
    sed 's/^/  run: /' "$log" >&2
    exit 1
}
# What of a run this machine can see: mounts and loop devices on files in the cache.
traces() {
    awk -v dir="$cache" 'index($2, dir "/") == 1 { print "mounted: " $2 }' /proc/mounts
    cat /sys/block/loop*/loop/backing_file 2>/dev/null | grep -F "$cache/" | sed 's/^/loop device on: /' || true
}

# A first run bootstraps the root when there is none; the cache as it leaves it is the measure.
scripts/debian-root.sh trixie true >/dev/null
before=$(ls -A "$cache")

setsid scripts/debian-root.sh trixie bash -c 'echo killed >/killed-run-was-here; echo written; sleep 600 & wait' >"$log" 2>&1 &
group=$!
for ((i = 0; i < 600; i++)); do
    grep -qx written "$log" && break
    kill -0 "$group" 2>/dev/null || fail "the run ended before it was killed"
    sleep 0.1
done
grep -qx written "$log" || fail "the run's command did not write within a minute"
awk '$2 == "/" && $3 == "overlay" { found = 1 } END { exit !found }' "/proc/$group/mounts" ||
    fail "the run's command is not in an overlay"
seen=$(traces | grep '^mounted' || true)
[ -z "$seen" ] || fail "the running run's mounts are seen here: $seen"
scripts/debian-root.sh trixie test ! -e /killed-run-was-here >/dev/null || fail "a run beside it sees its root"

kill -KILL -- "-$group"
wait "$group" 2>/dev/null || true
killed=$group
group=
# The kernel takes the namespace down a moment after its last process.
for ((i = 0; i < 100; i++)); do
    [ -z "$(traces)" ] && ! pgrep -g "$killed" >/dev/null && break
    sleep 0.1
done
! pgrep -g "$killed" >/dev/null || fail "processes of the killed run live on: $(pgrep -a -g "$killed")"
[ -z "$(traces)" ] || fail "the killed run left $(traces)"
[ "$(ls -A "$cache")" = "$before" ] || fail "the killed run left in $cache: $(comm -13 <(echo "$before") <(ls -A "$cache"))"
[ ! -e "$pristine/killed-run-was-here" ] || fail "the killed run wrote into the pristine root"
scripts/debian-root.sh trixie test ! -e /killed-run-was-here >/dev/null || fail "the next run sees what the killed run wrote"
echo "PASS: a killed run left nothing mounted, no loop device, nothing in $cache, and the next run started clean"
