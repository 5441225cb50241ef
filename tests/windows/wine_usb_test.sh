#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# vostrel-cli.exe through wine's own HID stack (SetupAPI, the HID class library, wine's
# hidraw bus driver) against the fake transmitter.
#   wine_usb_test.sh CASE FAKE
# CASE is one of the functions below named case_*. The environment names the rest (see
# wine_cli.sh and wine_fake_harness.sh). Exits 77 (skipped) when the machine cannot
# hold the fake; any other failure is a failure.
set -euo pipefail
case_name=$1 fake=$2
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cli=$here/wine_cli.sh rig=$here/wine_fake_harness.sh
# shellcheck source=../fake_transmitter/fake_test_rig.sh
source "$here/../fake_transmitter/fake_test_rig.sh"

# Report lengths as the HID class reports them, report-ID byte included.
case_devices() {
  local options expected
  while IFS='|' read -r options expected; do
    # shellcheck disable=SC2086
    with_fake $options -- "$cli" devices
    expect_status 0
    expect_in out "$(printf 'vid_0925&pid_1234')"
    expect_in out "$expected"
  done <<'EOF'
|input report 65 bytes	output report 65 bytes
--reports 200,100 --report-id 7|input report 201 bytes	output report 101 bytes
EOF
}

# Write with its backup and --verify, then Read, byte for byte, unnumbered and numbered.
case_round_trip() {
  local options id bytes
  while IFS='|' read -r options id bytes; do
    rm -f "$work"/pages.backup-*.bin
    cp "$work/before.bin" "$eeprom"
    # shellcheck disable=SC2086
    with_fake $options -- "$cli" write --verify "$work/pages.conf"
    expect_status 0
    expect_in out "Data write completed"
    same_bytes "$work"/pages.backup-*.bin "$work/before.bin"
    expect_framing "$id" "$bytes"

    # shellcheck disable=SC2086
    with_fake $options -- "$cli" read --image "$work/read.bin"
    expect_status 0
    same_bytes "$work/read.bin" "$eeprom"
    [[ $(requests) -eq 256 ]] || fail "a Read sent $(requests) reports"
    if cmp -s "$eeprom" "$work/before.bin"; then fail "the Write changed nothing"; fi
  done <<'EOF'
||64
--report-id 7|07|65
EOF
}

# No reply waits the 2 s reply time-out, an unplug fails at once: "USB Command fail",
# never a success. The rig and wine's start take their own seconds on top.
case_faults() {
  expect_transfer_fails <<EOF
--no-reply-from 5|read|2000|15000
--no-reply-from 5|write --no-backup $work/pages.conf|2000|15000
--unplug-at-reply 5|read|0|15000
--unplug-before 5|write --no-backup $work/pages.conf|0|15000
EOF
}

"case_$case_name"
echo "ok: $case_name"
