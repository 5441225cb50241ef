#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# vostrel-cli.exe through wine's own HID stack (SetupAPI, the HID class library, wine's
# hidraw bus driver) against the fake transmitter.
#   wine_usb_test.sh CASE FAKE
# CASE is one of the shared rig's case_* (tests/fake_transmitter/fake_test_rig.sh);
# the tables below are this system's inputs to them. The environment names the rest
# (see wine_cli.sh and wine_fake_harness.sh). Exits 77 (skipped) when the machine
# cannot hold the fake or no fake was built for it; any other failure is a failure.
set -euo pipefail
case_name=$1 fake=${2-}
if [[ -z $fake || ! -x $fake ]]; then
  echo "SKIPPED: no fake transmitter built for this machine (VOSTREL_NATIVE_FAKE_TRANSMITTER)" >&2
  exit 77
fi
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cli=$here/wine_cli.sh rig=$here/wine_fake_harness.sh listed_as='vid_0925&pid_1234'
# shellcheck source=tests/fake_transmitter/fake_test_rig.sh
source "$here/../fake_transmitter/fake_test_rig.sh"
# The backups of the Windows user of the fake's prefix.
backup_folder() {
  local data=("$VOSTREL_WINE_FAKE_PREFIX"/drive_c/users/*/AppData/Local)
  echo "${data[0]}/vostrel-programmer/backups"
}

# Each command starts a wine session of its own: fewer framings than natively.
table[devices]="\
|input report 65 bytes	output report 65 bytes
--reports 200,100 --report-id 7|input report 201 bytes	output report 101 bytes"
table[round_trip]="\
||64
--report-id 7|07|65"
table[unsolicited]="--unsolicited --report-id 3"
# No reply waits the 2 s reply time-out, an unplug fails at once; the rig and wine's
# start take their own seconds on top.
table[faults]="\
--no-reply-from 5|read|2000|15000
--no-reply-from 5|write --no-backup $work/pages.conf|2000|15000
--unplug-at-reply 5|read|0|15000
--unplug-before 5|write --no-backup $work/pages.conf|0|15000"
table[busy]="--latency-ms 10"

run_case
