#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# The two commands as a new user meets them on a fresh Debian: makes a Debian tree with
# debootstrap from Debian's archive, clones the checkout's last commit into it, and runs
# ./run.sh (built, then the emulated window started offscreen and closed after a while)
# and ./test.sh there as root, as CI runs them. Ends with test.sh's summary and status.
#   scripts/on-debian.sh 12|13 [--windows-qt]
#     --windows-qt   first builds Qt for Windows in the tree (scripts/windows-qt.sh)
#
# Run as root (debootstrap, chroot and mounts need it). Under
# ${XDG_CACHE_HOME:-~/.cache}/vostrel-programmer/debian-N it keeps between runs:
#   base/           the tree debootstrap made (about 450 MB; remove it for a newer one)
#   apt-archives/   the packages the commands downloaded, so that the next run need not
#   run/            the last run's tree, a fresh copy of base/ each run, kept to look into
#   last-run.log    everything the run printed
# The machine's Qt for Windows caches (scripts/windows-qt.sh) are seen in the tree, read
# only unless --windows-qt: each is named after the Qt source and compilers it was built
# with, so the other release's never serves. Commits only: changes not committed are
# not in the tree.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

usage() { echo "usage: scripts/on-debian.sh 12|13 [--windows-qt]" >&2; exit 2; }
refuse() { echo "on-debian.sh: $*" >&2; exit 1; }
case ${1:-} in 12) codename=bookworm ;; 13) codename=trixie ;; *) usage ;; esac
release=$1
build_windows_qt=0
case ${2:-} in --windows-qt) build_windows_qt=1 ;; "") ;; *) usage ;; esac
[[ $(id -u) -eq 0 ]] || refuse "needs root: debootstrap, chroot and the tree's mounts need it"

source "$here/scripts/lib/packages.sh"
"$here/scripts/install-packages.sh" "${ON_DEBIAN_PACKAGES[@]}"

cache_root="${XDG_CACHE_HOME:-$HOME/.cache}/vostrel-programmer"
cache="$cache_root/debian-$release"
base="$cache/base" archives="$cache/apt-archives" tree="$cache/run"
checkout=/root/vostrel-programmer
mkdir -p "$cache" "$archives/partial"
exec > >(tee "$cache/last-run.log") 2>&1
started=$(date +%s)

# Everything mounted into the tree, the last first, for the clean-up.
mounted=()
mount_in_tree() {  # mount arguments..., the tree's folder last
  mount "$@"
  mounted=("${*: -1}" "${mounted[@]}")
}

# Kills every process whose root is in the tree; fails when there was none.
kill_in_tree() {
  local pids
  pids=$(find /proc -mindepth 2 -maxdepth 2 -name root \( -lname "$tree" -o -lname "$tree/*" \) \
           -printf '%h\n' 2>/dev/null | cut -d/ -f3)
  [[ -n $pids ]] || return 1
  # shellcheck disable=SC2086  # one process id a word
  kill -KILL $pids 2>/dev/null || true
}

# On every way out: what still runs in the tree (a wine server, an X server) ends, and
# every mount is undone, so that nothing of the machine stays inside the tree.
clean_up() {
  local status=$?
  # Again while any is left: a build started one more compiler while the last pass ran.
  for _ in 1 2 3 4 5; do
    kill_in_tree || break
    sleep 1
  done
  local point
  for point in "${mounted[@]}"; do
    umount "$point" 2>/dev/null || umount --lazy "$point" || echo "on-debian.sh: could not unmount $point" >&2
  done
  mounted=()
  exit "$status"
}
trap clean_up EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Nothing is removed from a folder something is still mounted on: a bind-mounted /dev,
# /tmp or cache would go with it.
remove_tree() {  # folder
  [[ -e $1 ]] || return 0
  if findmnt -rn -o TARGET | grep -q -e "^$1\$" -e "^$1/"; then
    refuse "something is still mounted under $1 (findmnt | grep $1); unmount it, then run again"
  fi
  rm -rf "$1"
}

# debootstrap's tree, made once: Debian's standard base (what a fresh installation has,
# with git, with which the project is cloned) and apt sources as the installer writes
# them (the release, its updates and its security updates).
make_base() {
  [[ -f $base/etc/debian_version ]] && return 0
  remove_tree "$base.partial"
  echo "== debootstrap: Debian $release ($codename) from Debian's archive into $base =="
  debootstrap --include=git --cache-dir="$archives" "$codename" "$base.partial" http://deb.debian.org/debian ||
    refuse "debootstrap failed (its log: $base.partial/debootstrap/debootstrap.log)"
  cat >"$base.partial/etc/apt/sources.list" <<SOURCES
deb http://deb.debian.org/debian $codename main
deb http://deb.debian.org/debian $codename-updates main
deb http://deb.debian.org/debian-security $codename-security main
SOURCES
  mv "$base.partial" "$base"
}

# This run's tree: base afresh, the machine's name resolution, the mounts a running
# system has, and the last commit cloned as a user clones it.
make_tree() {
  echo "== a fresh copy of the Debian $release tree: $tree =="
  remove_tree "$tree"
  cp -a "$base" "$tree"
  cp /etc/resolv.conf "$tree/etc/resolv.conf"
  # The tree's root a mount point of its own, and private: the fake transmitter makes
  # its mounts private from / on, which only a mount point can be.
  mount_in_tree --bind "$tree" "$tree"
  mount --make-rprivate "$tree"
  mount_in_tree -t proc proc "$tree/proc"
  mount_in_tree -t sysfs sysfs "$tree/sys"
  local device
  # /dev with /dev/fuse for the fake transmitter; /tmp the machine's, so that an X
  # server in the tree sees the displays taken outside it (their sockets are shared).
  for device in /dev /dev/pts /dev/shm /tmp; do
    mount_in_tree --bind "$device" "$tree$device"
  done
  # Packages downloaded once serve the next run (apt keeps them there).
  mount_in_tree --bind "$archives" "$tree/var/cache/apt/archives"
  echo 'Binary::apt::APT::Keep-Downloaded-Packages "true";' >"$tree/etc/apt/apt.conf.d/90keep-downloads"
  local qt_cache="$tree/root/.cache/vostrel-programmer"
  mkdir -p "$qt_cache"
  mount_in_tree --bind "$cache_root" "$qt_cache"
  ((build_windows_qt)) || mount -o remount,bind,ro "$qt_cache"
  git clone --quiet --no-checkout "$here" "$tree$checkout"
  git -C "$tree$checkout" checkout --quiet --detach "$(git -C "$here" rev-parse HEAD)"
  echo "checkout: $(git -C "$tree$checkout" log --oneline -1)"
  [[ -z $(git -C "$here" status --porcelain --untracked-files=no) ]] ||
    echo "note: the checkout has changes not committed; the tree has the last commit only"
}

# A command in the tree as root's login would run it: an environment of its own only.
# Waited for in the background, so that a signal to this script ends it at once (bash
# holds a trap back until a command in the foreground has ended).
in_tree() {
  chroot "$tree" /usr/bin/env -i HOME=/root USER=root LOGNAME=root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin bash -c "cd $checkout && $1" &
  wait $!
}

# ./run.sh builds and starts the window; here offscreen, on an emulated transmitter, and
# taken as started when the program it ends in (run.sh execs it, so it keeps run.sh's
# process) runs for 10 s without leaving.
run_sh() {
  in_tree 'QT_QPA_PLATFORM=offscreen exec ./run.sh --emulated /tmp/on-debian-eeprom-$$.bin &
    pid=$!
    while kill -0 $pid 2>/dev/null && [[ $(readlink /proc/$pid/exe) != */vostrel-programmer-emulated ]]; do sleep 1; done
    kill -0 $pid 2>/dev/null || { wait $pid; echo "./run.sh ended (status $?) before the window started"; exit 1; }
    sleep 10
    kill -0 $pid 2>/dev/null || { wait $pid; echo "the window ended by itself (status $?)"; exit 1; }
    kill $pid; wait $pid 2>/dev/null
    rm -f /tmp/on-debian-eeprom-$$.bin
    echo "./run.sh built the programs and the window ran for 10 s"'
}

seconds_since() { echo $(($(date +%s) - $1)); }

# The whole run in one function, read before it starts: bash reads a script as it goes,
# and a checkout changed during a run would otherwise change what the run does.
main() {
  make_base
  make_tree
  start=$(date +%s)
  echo "== ./run.sh on Debian $release =="
  run_sh || refuse "./run.sh failed on Debian $release"
  run_seconds=$(seconds_since "$start")
  if ((build_windows_qt)); then
    echo "== scripts/windows-qt.sh on Debian $release =="
    in_tree './scripts/install-packages.sh g++-mingw-w64-x86-64-posix dpkg-dev >/dev/null &&
             ./scripts/windows-qt.sh' || refuse "scripts/windows-qt.sh failed on Debian $release"
  fi
  start=$(date +%s)
  echo "== ./test.sh on Debian $release =="
  status=0
  in_tree ./test.sh || status=$?
  echo "Debian $release: ./run.sh $run_seconds s, ./test.sh $(seconds_since "$start") s (status $status)," \
    "all $(seconds_since "$started") s"
  exit $status
}

main
