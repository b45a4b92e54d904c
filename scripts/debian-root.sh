#!/usr/bin/env bash
# Runs a command of this checkout inside a fresh minimal Debian root of another release, as a
# newcomer's machine would be: nothing but Debian's minimal base and git, as root. The
# checkout's files (tracked and new, not ignored) are copied to /work/main in the root, and
# ../shared, when there is one, beside it.
# The freshly bootstrapped root is kept in ~/.cache/tarvona/ and only ever read: each run sees
# it through an overlay of its own, in a mount namespace of its own, so each run starts from
# the same untouched root and runs side by side do not meet. What a run changes in the root,
# and all it mounts, goes with the run's last process, however the run ends: there is nothing
# to unmount or remove afterwards. Packages the command downloads are kept there too, to
# spare the network, not the installing, and so is the command's own ~/.cache/tarvona (the Qt
# built for Windows, say).
# A folder named with --share is the checkout's own folder in the root, not a copy: what
# the command makes there stays in the checkout.
# Usage: scripts/debian-root.sh [--share FOLDER]... SUITE COMMAND [ARGUMENTS...]
#   (as root; SUITE: trixie, ...)
set -euo pipefail
arguments=("$@")
cd "$(dirname "$0")/.."
checkout=$(pwd)
script=$checkout/scripts/$(basename "$0")

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
# mkfs.ext4 makes the run's scratch file system below; Debian 13's minimal systems lack it.
missing=()
command -v debootstrap >/dev/null 2>&1 || missing+=(debootstrap)
command -v mkfs.ext4 >/dev/null 2>&1 || missing+=(e2fsprogs)
if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get -o DPkg::Lock::Timeout=600 update -q
    apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "${missing[@]}"
fi

# All the rest runs in a mount namespace of this run's own that shares nothing with the
# machine's: what is mounted in it is seen nowhere else, and the kernel takes it all down when
# its last process ends, even one killed with SIGKILL. unshare runs this script again in the
# same process, so its process id tells the second pass from the first (and from a value
# inherited from elsewhere).
if [ "${TARVONA_ROOT_NAMESPACE:-}" != "$$" ]; then
    exec env TARVONA_ROOT_NAMESPACE=$$ unshare --mount --propagation private -- "$script" "${arguments[@]}"
fi

cache=${XDG_CACHE_HOME:-$HOME/.cache}/tarvona
pristine=$cache/debian-$suite
debs=$cache/debian-$suite-debs
kept=$cache/debian-$suite-cache
mkdir -p "$cache" "$debs" "$kept"

# Fails when anything is mounted at or below the folder: removing it then would reach into
# the machine's own /dev or /proc. Nothing mounted here is seen outside, but something outside
# this script may have mounted there.
assert_unmounted() {
    if awk -v dir="$1" '$2 == dir || index($2, dir "/") == 1 { found = 1 } END { exit !found }' /proc/mounts; then
        echo "error: something is still mounted in $1; not removing it" >&2
        exit 1
    fi
}
remove_root() {
    if [ -e "$1" ]; then
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

echo "== A fresh Debian $suite root over the pristine one"
# What the run changes in the root goes to a scratch file system on this disk rather than a
# tmpfs: CI's Debian 13 stage installs about 5 GiB of packages into the root (emscripten's
# alone take 2.5 GiB) and builds there besides, and a tmpfs would keep all of it in memory for
# the whole run, once more for each run beside it; on disk it costs only page cache, and
# making it some 20 ms. The scratch is a file in the cache, removed the moment it is open (a
# kill between the two lines could leave it, empty), so only this namespace holds it: when
# the namespace goes, the loop device lets go of the file and the kernel frees it, however the
# run ended. It is sparse and as large as the free space here, so that a full disk shows as
# one in the root; it has no journal and no write barriers, as nothing in it outlives the
# run, not even a crash of the machine.
scratch=$cache/debian-$suite-scratch-$$
exec {image}<>"$scratch"
rm -f "$scratch"
truncate -s "$(($(stat -f -c '%a * %S' "$cache")))" "/proc/self/fd/$image"
mkfs.ext4 -q -F -O ^has_journal -E lazy_itable_init=1,nodiscard -m 0 "/proc/self/fd/$image"
# The scratch is mounted on the pristine root's /mnt, and the overlay on the pristine root's
# own folder, covering it: in this namespace that folder is the run's root, and the run makes
# no folder of its own on the disk. An overlay never writes to its lower layer.
mount -o loop,nobarrier,noinit_itable "/proc/self/fd/$image" "$pristine/mnt"
exec {image}<&-
mkdir "$pristine/mnt/upper" "$pristine/mnt/work"
root=$pristine
mount -t overlay overlay -o "lowerdir=$pristine,upperdir=$pristine/mnt/upper,workdir=$pristine/mnt/work" "$root"
# All that follows writes into the root, which must never be the pristine one.
if [ "$(stat -f -c %T "$root")" != overlayfs ]; then
    echo "error: the overlay is not mounted on $root; not writing into the pristine root" >&2
    exit 1
fi

mkdir -p "$root/work/main"
# The checkout as git sees it (tracked and new files, with its history), without build trees
# or other ignored files.
git ls-files -z --cached --others --exclude-standard \
    | tar -C "$checkout" --null --ignore-failed-read -T - -cf - .git 2>/dev/null | tar -C "$root/work/main" -xf -
if [ -d "$checkout/../shared" ]; then
    cp -a "$checkout/../shared" "$root/work/shared"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"

# Mounts here are private (unshare's propagation), so none made or unmade in the root reaches
# the machine's own.
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
mount --rbind /sys "$root/sys"
bind() { # HOST_FOLDER ROOT_FOLDER
    mkdir -p "$1" "$2"
    mount --bind "$1" "$2"
}
bind "$debs" "$root/var/cache/apt/archives"
bind "$kept" "$root/root/.cache/tarvona"
for folder in "${shared[@]}"; do
    bind "$checkout/$folder" "$root/work/main/$folder"
done

echo "== In Debian $suite: $*"
# The command takes this process over: its exit status is the run's.
exec chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" CI="${CI:-}" LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c 'cd /work/main && exec "$@"' bash "$@"
