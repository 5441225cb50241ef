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
# it, shorter), with their images before.bin and pages.bin. Cases with two transmitters
# give the second eeprom2 and log2.
work=$(mktemp -d)
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT
eeprom=$work/eeprom.bin log=$work/log
eeprom2=$work/eeprom2.bin log2=$work/log2
# Where vostrel-cli saves its backups and keeps the transmitters' names: folders of
# $work, never the user's. A suite whose program keeps them elsewhere (wine's prefix)
# defines backup_folder anew.
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
backup_folder() { echo "$XDG_DATA_HOME/vostrel-programmer/backups"; }

fail() { echo "FAIL ($case_name): $*" >&2; exit 1; }

# with_fake [FAKE_OPTIONS...] -- COMMAND...: stdout and stderr (without the CR of
# Windows line ends) and the status land in $work. The rig dies with this script.
with_fake() {
  local status=0
  : >"$log"
  : >"$log2"
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
requests() { grep -c '^out ' "${1:-$log}" || true; }
# Reports with this command byte (02 read-word, 03 write-word) in a log of unnumbered reports.
requests_of() { grep -c "^out $1" "$2" || true; }

# The contents fingerprint of an image file, worked out apart from the program with
# Python's zlib: the CRC-32 of bytes 0-33, then of each stored row's words in row order.
fingerprint_of() {
  python3 -c '
import sys, zlib
image = open(sys.argv[1], "rb").read()
crc = zlib.crc32(image[:34])
for row in range(16):
    start, end = image[2 + 2 * row], image[3 + 2 * row]
    if start and end > start:
        crc = zlib.crc32(image[2 * start:2 * end], crc)
print("%08X" % crc)' "$1"
}

# with_two [FIRST_FAKE_OPTIONS...] [+ SECOND_FAKE_OPTIONS...] -- COMMAND...: with_fake
# with a second transmitter on eeprom2 and log2 beside the first.
with_two() {
  local first_options=() second_options=()
  while [[ $1 != -- && $1 != + ]]; do first_options+=("$1"); shift; done
  if [[ $1 == + ]]; then
    shift
    while [[ $1 != -- ]]; do second_options+=("$1"); shift; done
  fi
  with_fake "${first_options[@]}" --also --eeprom "$eeprom2" --log "$log2" "${second_options[@]}" "$@"
}

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
  for row in 1 2 3 4 5 6; do item "$row" $((row * 1000 + 1)) D Alphanumeric "Previous contents of row $row"; done
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
  local options command least most elapsed
  while IFS='|' read -r options command least most; do
    cp "$work/before.bin" "$eeprom"
    # The command's own time, without the fake's setting up and taking down, which a
    # busy machine draws out.
    # shellcheck disable=SC2016,SC2086
    with_fake $options -- bash -c 'start=$(date +%s%N); "${@:2}"; status=$?
      echo $(( ($(date +%s%N) - start) / 1000000 )) >"$1"; exit $status' _ "$work/elapsed" "$cli" $command
    elapsed=$(cat "$work/elapsed")
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
      expect_in err "Install the udev rule 70-vostrel-transmitter.rules"
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

# Table: NAME_BY (port or path)|FIRST_FAKE_OPTIONS. Two transmitters holding
# different sites (before.conf and pages.conf): devices lists each with the fingerprint
# of its EEPROM file (and, named by port, a port of its own); the one listed second,
# named by NAME_BY, is the only one a Write changes; verify exits 0 on the one holding
# the configuration and 1 on the other, naming the rows; without --device the one
# listed first is used and the other receives nothing.
case_two_transmitters() {
  local name_by options line site first second first_path second_name second_port
  while IFS='|' read -r name_by options; do
    cp "$work/before.bin" "$eeprom"
    cp "$work/pages.bin" "$eeprom2"
    # shellcheck disable=SC2086
    with_two $options -- "$cli" devices
    expect_status 0
    [[ $(wc -l <"$work/out") -eq 2 ]] || fail "not two lines: $(cat "$work/out")"
    # Which site each line is, by the fingerprint of the files (eeprom holds before,
    # eeprom2 pages); the order is the system's.
    first='' second=''
    for line in 1 2; do
      for site in before pages; do
        sed -n "${line}p" "$work/out" | grep -qF "fingerprint $(fingerprint_of "$work/$site.bin")" || continue
        [[ $line == 1 ]] && first=$site || second=$site
      done
    done
    [[ -n $first && -n $second && $first != "$second" ]] || fail "the fingerprints are not the sites': $(cat "$work/out")"
    first_path=$(sed -n '1s/\t.*//p' "$work/out")
    second_port=$(sed -n '2s/^[^\t]*\tport \([^\t]*\).*/\1/p' "$work/out")
    if [[ $name_by == port ]]; then
      [[ $second_port != unknown && $second_port != "$(sed -n '1s/^[^\t]*\tport \([^\t]*\).*/\1/p' "$work/out")" ]] ||
        fail "the ports are not told apart: $(cat "$work/out")"
      second_name=$second_port
    else
      second_name=$(sed -n '2s/\t.*//p' "$work/out")
    fi
    local -A file_of=([before]=$eeprom [pages]=$eeprom2) log_of=([before]=$log [pages]=$log2)

    # shellcheck disable=SC2086
    with_two $options -- "$cli" verify --device "$second_name" "$work/$first.conf"
    expect_status 1
    expect_in out "Item[01]: changed"
    expect_in out "Item[02]: changed"
    # shellcheck disable=SC2086
    with_two $options -- "$cli" verify --device "$first_path" "$work/$first.conf"
    expect_status 0
    expect_in out "as in $work/$first.conf"

    # shellcheck disable=SC2086
    with_two $options -- "$cli" write --device "$second_name" "$work/$first.conf"
    expect_status 0
    same_bytes "${file_of[$first]}" "$work/$first.bin"
    cmp -s -n 34 "${file_of[$second]}" "$work/$first.bin" || fail "the second transmitter was not written"
    # shellcheck disable=SC2086
    with_two $options -- "$cli" verify --device "$second_name" "$work/$first.conf"
    expect_status 0

    cp "$work/$second.bin" "${file_of[$second]}"
    # shellcheck disable=SC2086
    with_two $options -- "$cli" read --image "$work/read.bin"
    expect_status 0
    same_bytes "$work/read.bin" "${file_of[$first]}"
    # Not "open": wine's HID bus opens every node itself.
    [[ $(requests "${log_of[$second]}") -eq 0 ]] || fail "the second transmitter received reports"
  done
}

# Table: SECOND_FAKE_OPTIONS|USER (a user ID for setpriv; empty: as root)|TEXT. The
# second transmitter cannot be read (TEXT says why, on its line); the first is still
# listed with what it holds, and devices exits 1.
case_one_unreadable() {
  local options user text as_user
  while IFS='|' read -r options user text; do
    cp "$work/before.bin" "$eeprom"
    cp "$work/pages.bin" "$eeprom2"
    as_user=()
    [[ -z $user ]] || as_user=(setpriv --reuid="$user" --regid="$user" --clear-groups)
    # shellcheck disable=SC2086
    with_two + $options -- "${as_user[@]}" "$cli" devices
    expect_status 1
    sed -n 1p "$work/out" | grep -qF "fingerprint $(fingerprint_of "$work/before.bin")" || fail "first line: $(cat "$work/out")"
    sed -n 2p "$work/out" | grep -qF "$text" || fail "second line lacks '$text': $(cat "$work/out")"
    expect_not_in out "fingerprint $(fingerprint_of "$work/pages.bin")"
  done
}

# Table: FAKE_OPTIONS|READS (read-word reports each transmitter gets). The installer's
# loop programs and checks both transmitters without replugging: each costs its Write
# (the backup read and the words sent) and the verify's one Read; devices --paths reads
# neither.
case_batch() {
  local options expected_reads
  while IFS='|' read -r options expected_reads; do
    cp "$work/before.bin" "$eeprom"
    cp "$work/before.bin" "$eeprom2"
    # shellcheck disable=SC2016,SC2086
    with_two $options + $options -- bash -c '
      for d in $("$1" devices --paths); do "$1" write --device "$d" "$2" && "$1" verify --device "$d" "$2" || exit; done' \
      batch "$cli" "$work/pages.conf"
    expect_status 0
    [[ $(grep -c "^Settings and 2 rows as in" "$work/out") -eq 2 ]] || fail "not two verified: $(cat "$work/out")"
    local file reads writes
    for file in "$eeprom" "$eeprom2"; do
      cmp -s -n 34 "$file" "$work/pages.bin" || fail "$file was not programmed"
    done
    for file in "$log" "$log2"; do
      reads=$(requests_of 02 "$file") writes=$(requests_of 03 "$file")
      [[ $reads -eq $expected_reads && $writes -gt 0 && $(requests "$file") -eq $((reads + writes)) ]] ||
        fail "$file: $reads read and $writes write reports, not $expected_reads read reports"
      echo "batch: $(basename "$file"): $reads read-word and $writes write-word reports"
    done
  done
}

# The line of `devices` output (in $work/out) for the transmitter on port $1.
line_of_port() { grep -P "\tport \Q$1\E\t" "$work/out" || fail "no line for port $1: $(cat "$work/out")"; }

# Table: one line, not read. Two transmitters named by port: name, devices, verify, write and
# backups show the names; a backup is named after its transmitter. Plugged into each
# other's port (the first on 1-1.3, so /dev/hidraw0 is on 1-1.3 now), each goes by the
# name of the port it is in, and a backup of the transmitter on 1-1.3 is still named
# after that port's name, not after its hidraw node.
case_names() {
  local line backup
  while IFS='|' read -r _; do
    rm -rf "$(backup_folder)" "$XDG_CONFIG_HOME"
    cp "$work/before.bin" "$eeprom"
    cp "$work/pages.bin" "$eeprom2"
    with_two -- "$cli" name Erdgeschoss
    expect_status 2
    expect_in err "several transmitters are attached"
    with_two -- "$cli" name --device 1-1.2 Erdgeschoss
    expect_status 0
    expect_in out "The transmitter at port 1-1.2 is named Erdgeschoss"
    with_two -- "$cli" name --device 1-1.3 "1. OG"
    expect_status 0

    with_two -- "$cli" devices
    expect_status 0
    line=$(line_of_port 1-1.2)
    [[ $line == *$'	name Erdgeschoss	'*"fingerprint $(fingerprint_of "$work/before.bin")"* ]] || fail "1-1.2: $line"
    line=$(line_of_port 1-1.3)
    [[ $line == *$'	name 1. OG	'*"fingerprint $(fingerprint_of "$work/pages.bin")"* ]] || fail "1-1.3: $line"
    with_two -- "$cli" devices --json
    expect_in out '"port": "1-1.3", "name": "1. OG"'

    with_two -- "$cli" verify --device erdgeschoss "$work/before.conf"
    expect_status 0
    expect_in out "on Erdgeschoss (port 1-1.2)"
    with_two -- "$cli" write --device "1. OG" "$work/before.conf"
    expect_status 0
    expect_in out "Transmitter: 1. OG (port 1-1.3)"
    same_bytes "$eeprom" "$work/before.bin"
    backup=("$(backup_folder)"/*-1-OG.bin)
    [[ ${#backup[@]} -eq 1 && -f ${backup[0]} ]] || fail "no backup named after 1. OG: $(ls "$(backup_folder)")"
    same_bytes "${backup[0]}" "$work/pages.bin"
    with_two -- "$cli" backups
    expect_status 0
    expect_in out $'	1. OG (port 1-1.3)	2 rows	fingerprint '"$(fingerprint_of "$work/pages.bin")"$'	'"${backup[0]}"

    # Swapped: the first transmitter (before.bin) on 1-1.3, the second on 1-1.2.
    cp "$work/pages.bin" "$eeprom2"
    with_two --port 1-1.3 + --port 1-1.2 -- "$cli" devices
    expect_status 0
    line=$(line_of_port 1-1.2)
    [[ $line == $'/dev/hidraw1	port 1-1.2	name Erdgeschoss	'*"fingerprint $(fingerprint_of "$work/pages.bin")"* ]] ||
      fail "Erdgeschoss did not stay with port 1-1.2: $line"
    line=$(line_of_port 1-1.3)
    [[ $line == $'/dev/hidraw0	port 1-1.3	name 1. OG	'*"fingerprint $(fingerprint_of "$work/before.bin")"* ]] ||
      fail "1. OG did not stay with port 1-1.3: $line"
    with_two --port 1-1.3 + --port 1-1.2 -- "$cli" write --device "1. OG" "$work/pages.conf"
    expect_status 0
    expect_in out "Transmitter: 1. OG (port 1-1.3)"
    cmp -s -n 34 "$eeprom" "$work/pages.bin" || fail "the transmitter on 1-1.3 (hidraw0) was not written"
    [[ $(find "$(backup_folder)" -name '*-1-OG.bin' | wc -l) -eq 2 ]] || fail "backups: $(ls "$(backup_folder)")"
    ! ls "$(backup_folder)" | grep -q hidraw || fail "a backup named after a hidraw node: $(ls "$(backup_folder)")"
    with_two -- "$cli" backups --device "1. OG"
    [[ $(grep -c $'	1. OG (port 1-1.3)	' "$work/out") -eq 2 ]] || fail "backups of 1. OG: $(cat "$work/out")"
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
