#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# Runs one command against a fake transmitter that the real hidapi and libudev take for
# a hidraw device, and always tears the rig down again.
#
#   with_fake_transmitter.sh FAKE_BINARY [FAKE_OPTIONS...] -- COMMAND [ARGS...]
#
# FAKE_BINARY is the built fake_transmitter; FAKE_OPTIONS are its options (--eeprom FILE
# is required; see the top of fake_transmitter.cpp for the others). COMMAND runs as
# root inside private mount and PID namespaces that hold a hand-made /sys with one
# hidraw device (0003:0925:1234), a private /dev whose /dev/hidraw0 is the fake, and a
# /proc of the namespace's own processes. It gets SYSTEMD_DEVICE_VERIFY_SYSFS=0
# (libudev ignores a /sys that is not sysfs otherwise) and
# VOSTREL_FAKE_TRANSMITTER=/dev/hidraw0. Everything else (the build tree, /tmp) is the
# machine's own, so files the command or the fake write there outlive the namespace.
# Use setpriv inside COMMAND to run as another user.
#
# Every process started inside ends with the harness: when the command is done, when
# the harness is killed, and after WITH_FAKE_TIMEOUT seconds (default 120).
#
# Exit status: COMMAND's; 77 when this machine cannot hold the rig (not root, no
# /dev/fuse, no mount or PID namespaces), with the reason on stderr; 70 when the rig
# failed to come up or the fake ended other than when told to.
set -euo pipefail

readonly kSkip=77 kRigFailed=70

if [[ ${1:-} != --inside ]]; then
  [[ $# -ge 3 ]] || { echo "usage: $0 FAKE_BINARY [FAKE_OPTIONS...] -- COMMAND [ARGS...]" >&2; exit 2; }
  skip() { echo "SKIPPED: $*" >&2; exit $kSkip; }
  [[ $(id -u) -eq 0 ]] || skip "the fake transmitter needs root (mounts in a private namespace)"
  [[ -c /dev/fuse ]] || skip "no /dev/fuse on this machine"
  namespaces=(unshare --mount --pid --fork --mount-proc --propagation private)
  "${namespaces[@]}" true 2>/dev/null || skip "mount and PID namespaces are refused here"
  # This process becomes timeout; unshare dies with it (its parent-death signal), the
  # namespace's first process with unshare (--kill-child), and the kernel ends every
  # other process of a PID namespace whose first process ends.
  exec timeout -s KILL "${WITH_FAKE_TIMEOUT:-120}" setpriv --pdeathsig KILL \
    "${namespaces[@]}" --kill-child=KILL bash "$0" --inside "$@"
fi
shift
fake=$1; shift
fake_options=()
while [[ $# -gt 0 && $1 != -- ]]; do fake_options+=("$1"); shift; done
[[ ${1:-} == -- ]] || { echo "$0: no -- before the command" >&2; exit 2; }
shift

rig_failed() { echo "fake transmitter rig: $*" >&2; exit $kRigFailed; }

# The smallest sysfs libudev and hidapi accept: a hid device with its uevent and report
# descriptor, and its hidraw child.
build_sysfs() {
  mount -t tmpfs sysfs-fake /sys
  local hid=/sys/devices/virtual/0003:0925:1234.0001
  mkdir -p "$hid/hidraw/hidraw0" /sys/class/hidraw /sys/bus/hid
  printf '%s\n' HID_ID=0003:00000925:00001234 'HID_NAME=Fake paging transmitter' \
    HID_PHYS=usb-fake-1/input0 HID_UNIQ= MODALIAS=hid:b0003g0001v00000925p00001234 >"$hid/uevent"
  ln -s ../../../bus/hid "$hid/subsystem"
  "$fake" "${fake_options[@]}" --print-descriptor >"$hid/report_descriptor"
  printf '%s\n' MAJOR=240 MINOR=0 DEVNAME=hidraw0 >"$hid/hidraw/hidraw0/uevent"
  ln -s ../../../../../class/hidraw "$hid/hidraw/hidraw0/subsystem"
  ln -s ../../../0003:0925:1234.0001 "$hid/hidraw/hidraw0/device"
  ln -s ../../devices/virtual/0003:0925:1234.0001/hidraw/hidraw0 /sys/class/hidraw/hidraw0
}

# A private /dev: the machine's devtmpfs is shared by every namespace.
build_dev() {
  mount -t tmpfs -o mode=0755 dev-fake /dev
  mknod -m 666 /dev/null c 1 3
  mknod -m 666 /dev/zero c 1 5
  mknod -m 666 /dev/random c 1 8
  mknod -m 666 /dev/urandom c 1 9
  mknod -m 666 /dev/tty c 5 0
  mknod -m 666 /dev/fuse c 10 229
  ln -s /proc/self/fd /dev/fd
  ln -s /proc/self/fd/0 /dev/stdin
  ln -s /proc/self/fd/1 /dev/stdout
  ln -s /proc/self/fd/2 /dev/stderr
  mkdir -m 1777 /dev/shm
  mkdir /dev/.fake
  touch /dev/hidraw0
}

# The fake ends cleanly on SIGTERM; any other end (a crash, a sanitizer's report) fails
# the run even when the command passed.
fake_pid=
teardown() {
  local status=$? fake_status=0
  umount /dev/hidraw0 2>/dev/null || true
  if [[ -n $fake_pid ]]; then
    kill "$fake_pid" 2>/dev/null || true
    wait "$fake_pid" || fake_status=$?
    if [[ $fake_status -ne 0 ]]; then
      echo "fake transmitter rig: the fake ended with status $fake_status" >&2
      exit $kRigFailed
    fi
  fi
  exit $status
}
trap teardown EXIT

set -E
trap 'rig_failed "setting up failed at line $LINENO"' ERR
build_sysfs
build_dev
"$fake" "${fake_options[@]}" /dev/.fake &
fake_pid=$!
for _ in $(seq 100); do
  [[ -e /dev/.fake/hidraw0 ]] && break
  kill -0 "$fake_pid" 2>/dev/null || rig_failed "the fake transmitter ended at start"
  sleep 0.02
done
[[ -e /dev/.fake/hidraw0 ]] || rig_failed "the fake transmitter did not come up"
mount --bind /dev/.fake/hidraw0 /dev/hidraw0
trap - ERR

status=0
SYSTEMD_DEVICE_VERIFY_SYSFS=0 VOSTREL_FAKE_TRANSMITTER=/dev/hidraw0 "$@" || status=$?
exit $status
