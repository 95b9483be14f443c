#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Tries the README's two commands as a new user would on a fresh Debian
# machine of the given release: a minimal root from debootstrap (made once,
# then reused), a clean clone of this repository's HEAD copied in, and each
# run in a throwaway overlay, so every run starts from the fresh root. Only
# downloaded packages are kept between runs. Needs root (uses sudo if not).
#
#   scripts/test-on-debian.sh bookworm|trixie
#
# Roots and packages go to $JEERFORGE_DEBIAN_CACHE (default
# ~/.cache/jeerforge/debian); JEERFORGE_DEBIAN_MIRROR picks the mirror.
set -euo pipefail
release=${1:-}
case $release in
bookworm | trixie) ;;
*)
    echo "usage: $0 bookworm|trixie" >&2
    exit 2
    ;;
esac
[ "$(id -u)" -eq 0 ] || exec sudo --preserve-env=JEERFORGE_DEBIAN_CACHE,JEERFORGE_DEBIAN_MIRROR -- "$0" "$@"
for tool in debootstrap git; do
    command -v "$tool" >/dev/null || { echo "$0 needs $tool (apt-get install $tool)" >&2; exit 1; }
done
project=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
cache=${JEERFORGE_DEBIAN_CACHE:-$HOME/.cache/jeerforge/debian}/$release
mirror=${JEERFORGE_DEBIAN_MIRROR:-http://deb.debian.org/debian}
started=$SECONDS

if [ ! -e "$cache/root.done" ]; then
    echo "=== a minimal Debian $release root, made once in $cache/root"
    rm -rf "$cache/root"
    mkdir -p "$cache"
    debootstrap --variant=minbase "$release" "$cache/root" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
        { tail -n 20 "$cache/debootstrap.log"; exit 1; }
    touch "$cache/root.done"
fi
mkdir -p "$cache/archives/partial"

run=$(mktemp -d)
root=$run/merged
cleanup() {
    umount -R "$root" 2>/dev/null || umount -lR "$root"
    rm -rf --one-file-system "$run"
}
trap cleanup EXIT
mkdir "$run/upper" "$run/work" "$root"
mount -t overlay overlay -o "lowerdir=$cache/root,upperdir=$run/upper,workdir=$run/work" "$root"
mount -t proc proc "$root/proc"
for system in sys dev; do
    mount --rbind "/$system" "$root/$system"
    mount --make-rslave "$root/$system"
done
mount --bind "$cache/archives" "$root/var/cache/apt/archives"
cp /etc/resolv.conf "$root/etc/resolv.conf"
git clone --quiet "$project" "$root/root/jeerforge"
echo "=== Debian $(cat "$root/etc/debian_version"), Jeerforge $(git -C "$project" log -1 --format='%h %s')"

inside() { # a command line to run in the root's clone, as root
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        bash -c "cd /root/jeerforge && $1"
}
status=()
stage() { # name, then the command line
    if inside "$2"; then status+=("$1: ok"); else status+=("$1: FAILED"); fi
}
# ./run.sh on the fresh root installs what it needs and builds; with no
# display it says so. ./test.sh then installs Xvfb, where ./run.sh must
# show the first prompt.
stage "./run.sh builds" './run.sh 2>&1 | tail -n 3; build/release/app/jeerforge --version'
stage "./test.sh" './test.sh'
cat >"$root/root/first-prompt.sh" <<'EOF'
./run.sh >/dev/null 2>&1 &
for _ in $(seq 60); do
    xdotool search --onlyvisible --name '^Jeerforge$' >/dev/null && { kill $!; exit 0; }
    sleep 0.5
done
kill $!
exit 1
EOF
stage "./run.sh shows the first prompt" 'xvfb-run -a bash /root/first-prompt.sh'

echo "=== Debian $release summary ($(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s)"
printf '%s\n' "${status[@]}"
! printf '%s\n' "${status[@]}" | grep -q FAILED
