#!/usr/bin/env bash
# Runs a command of this checkout inside a fresh minimal Debian root of another release, as a
# newcomer's machine would be: nothing but Debian's minimal base and git, as root. The
# checkout's files (tracked and new, not ignored) are copied to /work/main in the root, and
# ../shared, when there is one, beside it.
# The freshly bootstrapped root is kept in ~/.cache/tarvona/ and copied for every run, so
# each run starts from the same untouched root (and runs side by side do not meet); the copy
# is removed when the run ends; packages the command downloads are kept
# there too, to spare the network, not the installing, and so is the command's own
# ~/.cache/tarvona (the Qt built for Windows, say).
# A folder named with --share is the checkout's own folder in the root, not a copy: what
# the command makes there stays in the checkout.
# Usage: scripts/debian-root.sh [--share FOLDER]... SUITE COMMAND [ARGUMENTS...]
#   (as root; SUITE: trixie, ...)
set -euo pipefail
cd "$(dirname "$0")/.."
checkout=$(pwd)

usage="usage: scripts/debian-root.sh [--share FOLDER]... SUITE COMMAND [ARGUMENTS...]"
shared=()
while [ "${1:-}" = --share ]; do
    [ $# -ge 2 ] || { echo "$usage" >&2; exit 2; }
    case $2 in
    '' | /* | *..*) echo "error: --share takes a folder inside the checkout: $2" >&2; exit 2 ;;
    esac
    shared+=("$2")
    shift 2
done
if [ $# -lt 2 ]; then
    echo "$usage" >&2
    exit 2
fi
suite=$1
shift
if [ "$(id -u)" -ne 0 ]; then
    echo "error: making and entering a Debian root needs root" >&2
    exit 1
fi
if ! command -v debootstrap >/dev/null 2>&1; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get -o DPkg::Lock::Timeout=600 update -q
    apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends debootstrap
fi

cache=${XDG_CACHE_HOME:-$HOME/.cache}/tarvona
pristine=$cache/debian-$suite
# Each run has a copy of its own, named by the process that made it.
run=$cache/debian-$suite-run-$$
debs=$cache/debian-$suite-debs
kept=$cache/debian-$suite-cache
mkdir -p "$cache" "$debs" "$kept"

# Fails when anything is mounted at or below the folder: removing it then would reach into
# the machine's own /dev or /proc.
assert_unmounted() {
    if awk -v dir="$1" '$2 == dir || index($2, dir "/") == 1 { found = 1 } END { exit !found }' /proc/mounts; then
        echo "error: something is still mounted in $1; not removing it" >&2
        exit 1
    fi
}
remove_root() {
    if [ -e "$1" ]; then
        # What a run that was killed left mounted goes first, each made a one-way copy before
        # it is unmounted, so that unmounting cannot reach the machine's own mounts.
        awk -v dir="$1" '$2 == dir || index($2, dir "/") == 1 { print $2 }' /proc/mounts | sort -r \
            | while read -r mount; do
                mount --make-rslave "$mount" 2>/dev/null || true
                umount -R -l "$mount" 2>/dev/null || true
            done
        assert_unmounted "$1"
        rm -rf --one-file-system "$1"
    fi
}

# Debian's own mirror, as this machine's apt sources name it.
mirror() {
    local uri
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        uri=$(sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\).*/\1/p' /etc/apt/sources.list.d/debian.sources | grep -v security | head -n 1)
    fi
    if [ -z "${uri:-}" ] && [ -f /etc/apt/sources.list ]; then
        uri=$(sed -n 's/^[[:space:]]*deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\{0,1\}\([^[:space:]]*\).*/\2/p' /etc/apt/sources.list | grep -v security | head -n 1)
    fi
    if [ -z "${uri:-}" ]; then
        echo "error: found no Debian mirror in this machine's apt sources" >&2
        exit 1
    fi
    echo "$uri"
}

# A root is whole when debootstrap finished it and its git runs.
if [ ! -f "$pristine/.tarvona-complete" ] || ! chroot "$pristine" git --version >/dev/null 2>&1; then
    echo "== Bootstrap a minimal Debian $suite in $pristine"
    remove_root "$pristine"
    remove_root "$pristine.new"
    debootstrap --variant=minbase --include=git,ca-certificates "$suite" "$pristine.new" "$(mirror)" \
        >"$cache/debootstrap-$suite.log" 2>&1 || {
        tail -n 30 "$cache/debootstrap-$suite.log" >&2
        exit 1
    }
    touch "$pristine.new/.tarvona-complete"
    mv "$pristine.new" "$pristine"
fi

echo "== A fresh copy of the Debian $suite root"
# Copies left by runs that were killed; those of runs still going are theirs.
for stale in "$cache/debian-$suite-run" "$cache/debian-$suite-run-"*; do
    owner=${stale##*-run-}
    if [ -e "$stale" ] && { [ "$owner" = "$stale" ] || ! kill -0 "$owner" 2>/dev/null; }; then
        remove_root "$stale"
    fi
done
remove_root "$run"
cp -a "$pristine" "$run"
mkdir -p "$run/work/main"
# The checkout as git sees it (tracked and new files, with its history), without build trees
# or other ignored files.
git ls-files -z --cached --others --exclude-standard \
    | tar -C "$checkout" --null --ignore-failed-read -T - -cf - .git 2>/dev/null | tar -C "$run/work/main" -xf -
if [ -d "$checkout/../shared" ]; then
    cp -a "$checkout/../shared" "$run/work/shared"
fi
cp /etc/resolv.conf "$run/etc/resolv.conf"

mounted=()
unmount_all() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount -R "${mounted[$i]}" 2>/dev/null || umount -R -l "${mounted[$i]}" || true
    done
    mounted=()
}
finish() {
    unmount_all
    remove_root "$run"
}
trap finish EXIT
trap 'exit 130' INT TERM HUP
mount -t proc proc "$run/proc" && mounted+=("$run/proc")
for dir in dev sys; do
    mount --rbind "/$dir" "$run/$dir" && mounted+=("$run/$dir")
    # Unmounting inside the root must never reach the machine's own.
    mount --make-rslave "$run/$dir"
done
bind() { # HOST_FOLDER ROOT_FOLDER
    mkdir -p "$1" "$2"
    mount --bind "$1" "$2" && mounted+=("$2")
}
bind "$debs" "$run/var/cache/apt/archives"
bind "$kept" "$run/root/.cache/tarvona"
for folder in "${shared[@]}"; do
    bind "$checkout/$folder" "$run/work/main/$folder"
done

echo "== In Debian $suite: $*"
status=0
chroot "$run" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" CI="${CI:-}" LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c 'cd /work/main && exec "$@"' bash "$@" || status=$?
finish
trap - EXIT
exit "$status"
