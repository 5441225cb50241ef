# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# shellcheck shell=bash disable=SC2154  # the suite that sources it sets its inputs
# The command-line cases against the fake transmitter, one body each, run by the native
# suite (real_usb_test.sh) and under wine (tests/windows/wine_usb_test.sh). A suite
# sets, then sources this file:
#   case_name   the case being run          cli        how to run vostrel-cli
#   rig         how to run a command with the fake up (FAKE [FAKE_OPTIONS...] -- COMMAND...)
#   fake        the fake transmitter        listed_as  what `vostrel-cli devices` calls it
# fills table[CASE] for each case it runs (what differs between the systems, such as
# framings, report lengths as the system reports them and times, is data), and calls
# run_case.
# It makes $work (removed on exit) with the EEPROM file, the fake's log and two
# configurations: before.conf (what the transmitter held) and pages.conf (written over
# it, shorter), with their images before.bin and pages.bin.
work=$(mktemp -d)
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT
eeprom=$work/eeprom.bin log=$work/log
# Where vostrel-cli saves its backups: a folder of $work, never the user's. A suite
# whose program keeps them elsewhere (wine's prefix) defines backup_folder anew.
export XDG_DATA_HOME=$work/data
backup_folder() { echo "$XDG_DATA_HOME/vostrel-programmer/backups"; }

fail() { echo "FAIL ($case_name): $*" >&2; exit 1; }

# with_fake [FAKE_OPTIONS...] -- COMMAND...: stdout and stderr (without the CR of
# Windows line ends) and the status land in $work. The rig dies with this script.
with_fake() {
  local status=0
  : >"$log"
  setpriv --pdeathsig KILL "$rig" "$fake" --eeprom "$eeprom" --log "$log" "$@" \
    >"$work/out.raw" 2>"$work/err.raw" || status=$?
  tr -d '\r' <"$work/out.raw" >"$work/out"
  tr -d '\r' <"$work/err.raw" >"$work/err"
  [[ $status -eq 77 ]] && { cat "$work/err" >&2; exit 77; }
  [[ $status -eq 70 ]] && fail "the rig did not come up or down cleanly: $(cat "$work/err")"
  echo "$status" >"$work/status"
}

expect_status() { [[ $(cat "$work/status") == "$1" ]] || fail "exit status $(cat "$work/status"), not $1; stdout: $(cat "$work/out"); stderr: $(cat "$work/err")"; }
expect_in() { grep -qF -- "$2" "$work/$1" || fail "$1 lacks '$2': $(cat "$work/$1")"; }
expect_not_in() { ! grep -qF -- "$2" "$work/$1" || fail "$1 has '$2'"; }
same_bytes() { cmp -s "$1" "$2" || fail "$1 and $2 differ"; }
requests() { grep -c '^out ' "$log" || true; }

# Every output report the device received has its report ID and length, and none was refused.
expect_framing() {  # report-ID byte (hex, empty when unnumbered), bytes per report
  local id=$1 bytes=$2
  [[ $(requests) -gt 0 ]] || fail "the device received nothing"
  ! grep -q '^ignored' "$log" || fail "the device ignored a report: $(grep -B1 '^ignored' "$log" | head -2)"
  local bad
  bad=$(grep '^out ' "$log" | awk -v id="$id" -v n=$((bytes * 2)) 'length($2) != n || substr($2, 1, length(id)) != id' | head -1)
  [[ -z $bad ]] || fail "report not as the device expects ($bytes bytes, ID '$id'): $bad"
}

item() { printf '[Item%02d]\nCapCode = %s\nTone = %s\nType = %s\nMessage = "%s"\n' "$@"; }
{ echo "[Settings]"; echo "DataRate = 2400"
  for row in 1 2 3 4 5 6; do item "$row" $((row * 1000 + 7)) D Alphanumeric "Previous contents of row $row"; done
} >"$work/before.conf"
{ echo "[Settings]"; echo "DataRate = 512"
  item 1 1234567 A Numeric "0123456789"
  item 2 8 D Alphanumeric "Call the office"
} >"$work/pages.conf"
"$cli" build "$work/before.conf" "$work/before.bin" >/dev/null
"$cli" build "$work/pages.conf" "$work/pages.bin" >/dev/null

# Table: FAKE_OPTIONS|LENGTHS. The fake is listed, its line giving the report lengths.
case_devices() {
  local options lengths
  while IFS='|' read -r options lengths; do
    # shellcheck disable=SC2086
    with_fake $options -- "$cli" devices
    expect_status 0
    grep -F -- "$listed_as" "$work/out" | grep -qF -- "$lengths" ||
      fail "no line with '$listed_as' and '$lengths' ($options): $(cat "$work/out")"
  done
}

# Table: FAKE_OPTIONS|REPORT_ID|BYTES (the report-ID byte in hex, empty when unnumbered;
# bytes per output report). Write (with its backup), --verify, Read and putting the
# backup back, byte for byte.
case_round_trip() {
  local options id bytes used backup
  while IFS='|' read -r options id bytes; do
    rm -rf "$(backup_folder)"
    cp "$work/before.bin" "$eeprom"
    # shellcheck disable=SC2086
    with_fake $options -- "$cli" write --verify "$work/pages.conf"
    expect_status 0
    expect_in out "Data write completed"
    expect_in out "Verified words 0 to"
    expect_framing "$id" "$bytes"
    backup=("$(backup_folder)"/*.bin)
    [[ ${#backup[@]} -eq 1 && -f ${backup[0]} ]] || fail "not one backup but: ${backup[*]}"
    expect_in out "Saved the transmitter's previous contents to "
    expect_in out "$(basename "${backup[0]}")"
    same_bytes "${backup[0]}" "$work/before.bin"
    used=$(( $(sed -n 's/^Verified words 0 to //p' "$work/out") + 1 ))
    cmp -s -n $((used * 2)) "$eeprom" "$work/pages.bin" || fail "written words differ ($options)"
    cmp -s -i $((used * 2)) "$eeprom" "$work/before.bin" || fail "words past the written ones changed ($options)"

    # shellcheck disable=SC2086
    with_fake $options -- "$cli" read --image "$work/read.bin"
    expect_status 0
    same_bytes "$work/read.bin" "$eeprom"
    [[ $(requests) -eq 256 ]] || fail "a Read sent $(requests) reports"

    # shellcheck disable=SC2086
    with_fake $options -- "$cli" write --no-backup --image "${backup[0]}"
    expect_status 0
    same_bytes "$eeprom" "$work/before.bin"
  done
}

# Table: FAKE_OPTIONS. A report queued before the first request does not shift the
# words read.
case_unsolicited() {
  local options
  while IFS='|' read -r options; do
    cp "$work/before.bin" "$eeprom"
    # shellcheck disable=SC2086
    with_fake $options -- "$cli" read --image "$work/read.bin"
    expect_status 0
    same_bytes "$work/read.bin" "$work/before.bin"
  done
}

# Table: FAKE_OPTIONS|COMMAND|LEAST_MS|MOST_MS. A transmitter that stops answering or
# goes away mid-transfer gives "USB Command fail", never a success, after LEAST_MS to
# MOST_MS.
case_faults() {
  local options command least most start elapsed
  while IFS='|' read -r options command least most; do
    cp "$work/before.bin" "$eeprom"
    start=$(date +%s%N)
    # shellcheck disable=SC2086
    with_fake $options -- "$cli" $command
    elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
    expect_status 1
    expect_in err "USB Command fail"
    expect_not_in out "Data write completed"
    (( elapsed >= least && elapsed <= most )) || fail "'$options' '$command' took $elapsed ms, not $least..$most"
  done
}

# Table: USER (a user ID for setpriv). A user without write access to the node
# is told so, and nothing is sent, whatever the node's mode lets them read.
case_access_denied() {
  local user mode
  while IFS='|' read -r user; do
    for mode in 0600 0644; do
      cp "$work/before.bin" "$eeprom"
      with_fake --mode "$mode" -- setpriv --reuid="$user" --regid="$user" --clear-groups "$cli" read
      expect_status 1
      expect_in err "USB Device found, but access denied"
      [[ $(requests) -eq 0 ]] || fail "reports sent without access (mode $mode)"
    done
  done
}

# Table: FAKE_OPTIONS. One program at a time: a second Read while the first runs is
# told the device is busy and sends nothing; the first gets every word right.
case_busy() {
  local options
  while IFS='|' read -r options; do
    cp "$work/before.bin" "$eeprom"
    # shellcheck disable=SC2086
    with_fake $options -- bash -c '
      "$1" read --image "$2/first.bin" >"$2/first.out" 2>&1 & first=$!
      for _ in $(seq 1000); do grep -q "^out " "$3" && break; sleep 0.01; done  # the first one has it
      status=0; "$1" read --image "$2/second.bin" || status=$?
      wait $first || { echo "the first Read failed: $(cat "$2/first.out")"; exit 3; }
      exit $status' busy "$cli" "$work" "$log"
    expect_status 1
    expect_in err "USB Device busy"
    same_bytes "$work/first.bin" "$work/before.bin"
    [[ ! -e $work/second.bin ]] || fail "the second Read wrote an image"
    [[ $(requests) -eq 256 ]] || fail "the device received $(requests) reports, not the first Read's 256"
  done
}

# Runs the case named on the command line with the suite's table for it (standard input).
declare -A table
run_case() {
  declare -F "case_$case_name" >/dev/null || fail "no such case"
  [[ -n ${table[$case_name]-} ]] || fail "this suite has no table for the case"
  "case_$case_name" <<<"${table[$case_name]}"
  echo "ok: $case_name"
}
