#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# The real window programs (.exe) under wine on an X display, driven with the keyboard
# (wine_window_driver.sh): against the emulated transmitter, and through wine's own
# HID stack against the fake transmitter.
#   wine_window_test.sh CASE FAKE
# CASE is one of the functions below named case_*. Run it with DISPLAY set (xvfb-run).
# The environment names the rest (see wine_cli.sh and wine_fake_harness.sh), and
# VOSTREL_WINDOWS_PROGRAMMER and VOSTREL_WINDOWS_PROGRAMMER_EMULATED the two programs.
# Exits 77 (skipped) when the machine cannot hold the fake; any other failure is a failure.
set -euo pipefail
case_name=$1 fake=$2
# Only the window programs see the display: a wine session started with it (the other
# tests' prefix, serving vostrel-cli.exe here) would keep using it after it is gone.
display=$DISPLAY
unset DISPLAY
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cli=$here/wine_cli.sh rig=$here/wine_fake_harness.sh
driver=$here/wine_window_driver.sh
# shellcheck source=../fake_transmitter/fake_test_rig.sh
source "$here/../fake_transmitter/fake_test_rig.sh"
# shellcheck source=scripts/lib/wine.sh
source "$here/../../scripts/lib/wine.sh"

# Rows 1 and 2 of pages.conf, and settings other than the window's first ones.
typed_rows=(row 1 1234567 A 0123456789 row 2 8 D "Call the office" settings 2400 3)
{ echo "[Settings]"; echo "DataRate = 2400"; echo "Repeat = 3"
  item 1 1234567 A Numeric "0123456789"
  item 2 8 D Alphanumeric "Call the office"
} >"$work/typed.conf"

# What vostrel-cli's Write of `config` leaves in an emulated transmitter that held
# `held` (a new, erased one when not given).
emulated_image_of() {  # config, image [held]
  rm -f "$2"
  [[ -z ${3:-} ]] || cp "$3" "$2"
  "$cli" write --emulator "$2" --no-backup "$1" >/dev/null
}

# Typed rows written to the emulated transmitter: its EEPROM file holds what
# vostrel-cli writes for the same rows.
case_emulated_write() {
  DISPLAY=$display "$here/wine_session.sh" bash "$driver" "$VOSTREL_WINDOWS_PROGRAMMER_EMULATED" "$(windows_path "$work/window.bin")" \
    -- "${typed_rows[@]}" write exit >"$work/out" 2>"$work/err" || fail "$(cat "$work/err")"
  expect_in out "message: Success: Data write completed"
  emulated_image_of "$work/typed.conf" "$work/expected.bin"
  same_bytes "$work/window.bin" "$work/expected.bin"
}

# In a German Windows (the locale wine starts in, made here as the installer check makes
# it) the window is German with no language file, and so are its file dialogs.
case_german() {
  localedef -i de_DE -f UTF-8 "$work/de_DE.UTF-8" 2>"$work/err" || fail "no German locale for wine: $(cat "$work/err")"
  DISPLAY=$display LOCPATH=$work LANG=de_DE.UTF-8 LC_ALL= LC_MESSAGES= LANGUAGE= \
    "$here/wine_session.sh" bash "$here/wine_german_window.sh" "$VOSTREL_WINDOWS_PROGRAMMER_EMULATED" \
    "$(windows_path "$work/german.bin")" >"$work/out" 2>"$work/err" || fail "$(cat "$work/err")"
}

# Read what the transmitter holds and save it from the file dialog; open another
# configuration from the file dialog and write it, confirming the overwrite: the device
# ends up with its image, and what it held is in the backup folder of the Windows user.
case_fake_round_trip() {
  local backups=("$VOSTREL_WINE_FAKE_PREFIX"/drive_c/users/*/AppData/Local/vostrel-programmer/backups)
  rm -rf "${backups[@]}"
  cp "$work/before.bin" "$eeprom"
  DISPLAY=$display with_fake -- bash "$driver" "$VOSTREL_WINDOWS_PROGRAMMER" \
    -- read save "$work/read.conf" open "$work/pages.conf" write exit
  expect_status 0
  expect_in out "question: Warn: The transmitter holds calls that this Write changes or clears:"
  expect_in out "message: Success: Data write completed"
  expect_not_in out "message: Error"
  backups=("$VOSTREL_WINE_FAKE_PREFIX"/drive_c/users/*/AppData/Local/vostrel-programmer/backups/*.bin)
  [[ ${#backups[@]} -eq 1 && -f ${backups[0]} ]] || fail "not one backup but: ${backups[*]}"
  same_bytes "${backups[0]}" "$work/before.bin"
  "$cli" build "$work/read.conf" "$work/read.bin" >/dev/null
  same_bytes "$work/read.bin" "$work/before.bin"
  [[ $(requests) -gt 256 ]] || fail "the device received $(requests) reports, not a Read and a Write"
  emulated_image_of "$work/pages.conf" "$work/expected.bin" "$work/before.bin"
  same_bytes "$eeprom" "$work/expected.bin"
}

# Two transmitters holding different sites: Read asks which one, and choosing the second
# reads the second (its rows saved from the file dialog build its image); the first gets
# its one read for the choice and nothing more.
case_fake_two_transmitters() {
  cp "$work/before.bin" "$eeprom"
  cp "$work/pages.bin" "$eeprom2"
  DISPLAY=$display with_two -- bash "$driver" "$VOSTREL_WINDOWS_PROGRAMMER" \
    -- read-choosing 1 save "$work/read.conf" exit
  expect_status 0
  expect_in out "choice: Transmitter"
  expect_not_in out "message: Error"
  "$cli" build "$work/read.conf" "$work/read.bin" >/dev/null
  same_bytes "$work/read.bin" "$work/pages.bin"
  [[ $(requests) -eq 256 ]] || fail "the first transmitter received $(requests) reports, not the choice's one Read"
}

# A transmitter that goes away mid-Read: "USB Command fail", and the window goes on.
case_fake_unplug() {
  cp "$work/before.bin" "$eeprom"
  DISPLAY=$display with_fake --unplug-at-reply 5 -- bash "$driver" "$VOSTREL_WINDOWS_PROGRAMMER" -- read-message exit
  expect_status 0
  expect_in out "message: Error: USB Command fail"
}

# The window's Read while vostrel-cli.exe reads the same transmitter: "USB Device busy",
# and the other program's Read is whole.
case_fake_busy() {
  cp "$work/before.bin" "$eeprom"
  DISPLAY=$display with_fake --latency-ms 40 -- bash -c '
    "$1" read --image "$2/first.bin" >"$2/first.out" 2>&1 & first=$!
    for _ in $(seq 1000); do grep -q "^out " "$3" && break; sleep 0.01; done  # the first one has it
    status=0; bash "$4" "$5" -- read-message exit || status=$?
    wait $first || { echo "the first Read failed: $(cat "$2/first.out")"; exit 3; }
    exit $status' busy "$cli" "$work" "$log" "$driver" "$VOSTREL_WINDOWS_PROGRAMMER"
  expect_status 0
  expect_in out "message: Error: USB Device busy"
  same_bytes "$work/first.bin" "$work/before.bin"
  [[ $(requests) -eq 256 ]] || fail "the device received $(requests) reports, not the first Read's 256"
}

"case_$case_name"
echo "ok: $case_name"
