#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# vostrel-cli through the real hidapi and libudev against the fake transmitter.
#   real_usb_test.sh CASE CLI FAKE HARNESS
# CASE is one of the functions below named case_*. Exits 77 (skipped) when the
# machine cannot hold the fake; any other failure is a failure.
set -euo pipefail
case_name=$1 cli=$2 fake=$3 rig=$4
# shellcheck source=fake_test_rig.sh
source "$(dirname "${BASH_SOURCE[0]}")/fake_test_rig.sh"

case_devices() {
  local options expected
  while IFS='|' read -r options expected; do
    # shellcheck disable=SC2086
    with_fake $options -- "$cli" devices
    expect_status 0
    expect_in out "$(printf '/dev/hidraw0\t%s' "$expected")"
  done <<'EOF'
|input report 65 bytes	output report 65 bytes
--reports 3,4|input report 4 bytes	output report 5 bytes
--reports 200,100 --report-id 7|input report 201 bytes	output report 101 bytes
EOF
}

# Write (with its backup), --verify, Read and putting the backup back, byte for byte,
# for several report framings.
case_round_trip() {
  local options id bytes
  while IFS='|' read -r options id bytes; do
    rm -f "$work"/*.backup-*.bin
    cp "$work/before.bin" "$eeprom"
    # shellcheck disable=SC2086
    with_fake $options -- "$cli" write --verify "$work/pages.conf"
    expect_status 0
    expect_in out "Data write completed"
    expect_in out "Verified words 0 to"
    expect_framing "$id" "$bytes"
    same_bytes "$work"/pages.backup-*.bin "$work/before.bin"
    local used
    used=$(( $(sed -n 's/^Verified words 0 to //p' "$work/out") + 1 ))
    cmp -s -n $((used * 2)) "$eeprom" "$work/pages.bin" || fail "written words differ ($options)"
    cmp -s -i $((used * 2)) "$eeprom" "$work/before.bin" || fail "words past the written ones changed ($options)"

    # shellcheck disable=SC2086
    with_fake $options -- "$cli" read --image "$work/read.bin"
    expect_status 0
    same_bytes "$work/read.bin" "$eeprom"
    [[ $(requests) -eq 256 ]] || fail "a Read sent $(requests) reports"

    # shellcheck disable=SC2086
    with_fake $options -- "$cli" write --no-backup --image "$work"/pages.backup-*.bin
    expect_status 0
    same_bytes "$eeprom" "$work/before.bin"
  done <<'EOF'
||64
--reports 3,4||4
--reports 200,100||100
--report-id 7|07|65
--reports 20,30 --report-id 255|ff|31
EOF
}

# A user without write access to the node is told so, and nothing is sent.
case_access_denied() {
  local mode
  for mode in 0600 0644; do
    cp "$work/before.bin" "$eeprom"
    with_fake --mode "$mode" -- setpriv --reuid=65534 --regid=65534 --clear-groups "$cli" read
    expect_status 1
    expect_in err "USB Device found, but access denied"
    [[ $(requests) -eq 0 ]] || fail "reports sent without access (mode $mode)"
  done
}

# A transmitter that stops answering or goes away mid-transfer: "USB Command fail",
# never a success; no reply waits the 2 s reply time-out, an unplug fails at once.
case_faults() {
  expect_transfer_fails <<EOF
--no-reply-from 5|read|1900|5000
--no-reply-from 5|write --no-backup $work/pages.conf|1900|5000
--unplug-before 5|read|0|1500
--unplug-before 5|write --no-backup $work/pages.conf|0|1500
--unplug-at-reply 5|read|0|1500
--unplug-at-reply 5|write --no-backup $work/pages.conf|0|1500
EOF
}

# A report queued before the first request does not shift the words read.
case_unsolicited() {
  local options
  for options in "--unsolicited" "--unsolicited --report-id 3"; do
    cp "$work/before.bin" "$eeprom"
    # shellcheck disable=SC2086
    with_fake $options -- "$cli" read --image "$work/read.bin"
    expect_status 0
    same_bytes "$work/read.bin" "$work/before.bin"
  done
}

"case_$case_name"
echo "ok: $case_name"
