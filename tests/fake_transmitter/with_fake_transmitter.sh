#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# Runs one command against fake transmitters that the real hidapi and libudev take for
# hidraw devices on USB ports, and always tears the rig down again.
#
#   with_fake_transmitter.sh FAKE_BINARY [FAKE_OPTIONS...] [--also FAKE_OPTIONS...]... -- COMMAND [ARGS...]
#
# FAKE_BINARY is the built fake_transmitter; each FAKE_OPTIONS starts one transmitter
# with its options (--eeprom FILE is required; see the top of fake_transmitter.cpp for
# the others) and, taken by the harness, --port PORT: the USB port path it is plugged
# into (the Nth, from 0, by default 1-1.N+2). The Nth is /dev/hidrawN. COMMAND runs as
# root inside private mount and PID namespaces that hold a hand-made /sys with a USB
# device, interface and hid device (0003:0925:1234) above each hidraw node, as the
# kernel lays them out, a private /dev whose /dev/hidrawN are the fakes, and a /proc of
# the namespace's own processes. It gets SYSTEMD_DEVICE_VERIFY_SYSFS=0 (libudev ignores
# a /sys that is not sysfs otherwise), VOSTREL_FAKE_TRANSMITTER=/dev/hidraw0 and
# VOSTREL_FAKE_TRANSMITTERS, the nodes separated by blanks. Everything else (the build
# tree, /tmp) is the machine's own, so files the command or the fakes write there
# outlive the namespace. Use setpriv inside COMMAND to run as another user.
#
# Every process started inside ends with the harness: when the command is done, when
# the harness is killed, and after WITH_FAKE_TIMEOUT seconds (default 120).
#
# Exit status: COMMAND's; 77 when this machine cannot hold the rig (not root, no
# /dev/fuse, no mount or PID namespaces), with the reason on stderr; 70 when the rig
# failed to come up or a fake ended other than when told to.
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
# Every transmitter's fake options in one list: the Nth's are the counts[N] from
# firsts[N] on. ports[N] is its port, empty for the default.
all_options=() firsts=(0) counts=(0) ports=("")
while [[ $# -gt 0 && $1 != -- ]]; do
  case $1 in
    --also) firsts+=(${#all_options[@]}); counts+=(0); ports+=(""); shift ;;
    --port) ports[-1]=$2; shift 2 ;;
    *) all_options+=("$1"); counts[-1]=$((counts[-1] + 1)); shift ;;
  esac
done
[[ ${1:-} == -- ]] || { echo "$0: no -- before the command" >&2; exit 2; }
shift

rig_failed() { echo "fake transmitter rig: $*" >&2; exit $kRigFailed; }

# options_of N: the Nth transmitter's fake options, in `options`.
options_of() { options=("${all_options[@]:${firsts[$1]}:${counts[$1]}}"); }

# The smallest sysfs libudev, hidapi and wine's HID bus accept, as the kernel lays out a
# USB HID device: for each transmitter a USB device on its port, its interface 0, the
# hid device with its uevent and report descriptor, and its hidraw child.
build_sysfs() {
  mount -t tmpfs sysfs-fake /sys
  mkdir -p /sys/class/hidraw /sys/bus/hid /sys/bus/usb
  local n
  for n in "${!firsts[@]}"; do build_transmitter_sysfs "$n"; done
}

build_transmitter_sysfs() {  # N
  local n=$1 port=${ports[$1]:-1-1.$(($1 + 2))} options
  options_of "$n"
  local usb=/sys/devices/pci0000:00/0000:00:14.0/usb1/$port
  local interface=$usb/$port:1.0 name hid
  name=0003:0925:1234.$(printf %04X $((n + 1)))
  hid=$interface/$name
  mkdir -p "$hid/hidraw/hidraw$n"
  printf '%s\n' DEVTYPE=usb_device PRODUCT=925/1234/100 TYPE=0/0/0 BUSNUM=001 >"$usb/uevent"
  printf '%s\n' 0925 >"$usb/idVendor"
  printf '%s\n' 1234 >"$usb/idProduct"
  printf '%s\n' 0100 >"$usb/bcdDevice"
  printf '%s\n' 'Fake paging transmitter' >"$usb/product"
  ln -s "$(relative_to "$usb" /sys/bus/usb)" "$usb/subsystem"
  printf '%s\n' DEVTYPE=usb_interface PRODUCT=925/1234/100 INTERFACE=3/0/0 >"$interface/uevent"
  printf '%s\n' 00 >"$interface/bInterfaceNumber"
  ln -s "$(relative_to "$interface" /sys/bus/usb)" "$interface/subsystem"
  printf '%s\n' HID_ID=0003:00000925:00001234 'HID_NAME=Fake paging transmitter' \
    "HID_PHYS=usb-0000:00:14.0-${port#*-}/input0" HID_UNIQ= MODALIAS=hid:b0003g0001v00000925p00001234 >"$hid/uevent"
  ln -s "$(relative_to "$hid" /sys/bus/hid)" "$hid/subsystem"
  "$fake" "${options[@]}" --print-descriptor >"$hid/report_descriptor"
  printf '%s\n' MAJOR=240 "MINOR=$n" "DEVNAME=hidraw$n" >"$hid/hidraw/hidraw$n/uevent"
  ln -s "$(relative_to "$hid/hidraw/hidraw$n" /sys/class/hidraw)" "$hid/hidraw/hidraw$n/subsystem"
  ln -s ../../../"$name" "$hid/hidraw/hidraw$n/device"
  ln -s "$(relative_to /sys/class/hidraw "$hid/hidraw/hidraw$n")" "/sys/class/hidraw/hidraw$n"
}

# The path of TARGET relative to the folder FROM, as sysfs writes its links.
relative_to() { realpath -m --relative-to="$1" "$2"; }

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
  local n
  for n in "${!firsts[@]}"; do
    mkdir "/dev/.fake$n"
    touch "/dev/hidraw$n"
  done
}

# Each fake ends cleanly on SIGTERM; any other end (a crash, a sanitizer's report) fails
# the run even when the command passed.
fake_pids=()
teardown() {
  local status=$? fake_status pid n
  for n in "${!firsts[@]}"; do umount "/dev/hidraw$n" 2>/dev/null || true; done
  for pid in "${fake_pids[@]}"; do
    fake_status=0
    kill "$pid" 2>/dev/null || true
    wait "$pid" || fake_status=$?
    if [[ $fake_status -ne 0 ]]; then
      echo "fake transmitter rig: a fake ended with status $fake_status" >&2
      status=$kRigFailed
    fi
  done
  exit $status
}
trap teardown EXIT

# start_fake N: serves the Nth transmitter at /dev/hidrawN.
start_fake() {
  local n=$1 pid options
  options_of "$n"
  "$fake" "${options[@]}" "/dev/.fake$n" &
  pid=$!
  fake_pids+=("$pid")
  for _ in $(seq 100); do
    [[ -e /dev/.fake$n/hidraw0 ]] && break
    kill -0 "$pid" 2>/dev/null || rig_failed "fake transmitter $n ended at start"
    sleep 0.02
  done
  [[ -e /dev/.fake$n/hidraw0 ]] || rig_failed "fake transmitter $n did not come up"
  mount --bind "/dev/.fake$n/hidraw0" "/dev/hidraw$n"
}

set -E
trap 'rig_failed "setting up failed at line $LINENO"' ERR
build_sysfs
build_dev
nodes=()
for n in "${!firsts[@]}"; do
  start_fake "$n"
  nodes+=("/dev/hidraw$n")
done
trap - ERR

status=0
SYSTEMD_DEVICE_VERIFY_SYSFS=0 VOSTREL_FAKE_TRANSMITTER=/dev/hidraw0 VOSTREL_FAKE_TRANSMITTERS="${nodes[*]}" \
  "$@" || status=$?
exit $status
