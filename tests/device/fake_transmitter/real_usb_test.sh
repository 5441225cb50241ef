#!/usr/bin/env bash
# vostrel-cli through the real hidapi and libudev against the fake transmitter.
#   real_usb_test.sh CASE CLI FAKE HARNESS
# CASE is one of the functions below named case_*. Exits 77 (skipped) when the
# machine cannot hold the fake; any other failure is a failure.
set -euo pipefail
case_name=$1 cli=$2 fake=$3 harness=$4
work=$(mktemp -d)
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT
eeprom=$work/eeprom.bin log=$work/log

fail() { echo "FAIL ($case_name): $*" >&2; exit 1; }

# with_fake [FAKE_OPTIONS...] -- COMMAND...: stdout, stderr and status land in $work.
with_fake() {
  local status=0
  : >"$log"
  "$harness" "$fake" --eeprom "$eeprom" --log "$log" "$@" >"$work/out" 2>"$work/err" || status=$?
  [[ $status -eq 77 ]] && { cat "$work/err" >&2; exit 77; }
  [[ $status -eq 70 ]] && fail "the rig did not come up: $(cat "$work/err")"
  echo "$status" >"$work/status"
}

expect_status() { [[ $(cat "$work/status") == "$1" ]] || fail "exit status $(cat "$work/status"), not $1; stderr: $(cat "$work/err")"; }
expect_in() { grep -qF -- "$2" "$work/$1" || fail "$1 lacks '$2': $(cat "$work/$1")"; }
expect_not_in() { ! grep -qF -- "$2" "$work/$1" || fail "$1 has '$2'"; }
same_bytes() { cmp -s "$1" "$2" || fail "$1 and $2 differ"; }
requests() { grep -c '^out ' "$log" || true; }

item() { printf '[Item%02d]\nCapCode = %s\nTone = %s\nType = %s\nMessage = "%s"\n' "$@"; }
# What the transmitter held before (longer) and what is written over it (shorter).
{ echo "[Settings]"; echo "DataRate = 2400"
  for row in 1 2 3 4 5 6; do item "$row" $((row * 1000 + 7)) D Alphanumeric "Previous contents of row $row"; done
} >"$work/before.conf"
{ echo "[Settings]"; echo "DataRate = 512"
  item 1 1234567 A Numeric "0123456789"
  item 2 8 D Alphanumeric "Call the office"
} >"$work/pages.conf"
"$cli" build "$work/before.conf" "$work/before.bin" >/dev/null
"$cli" build "$work/pages.conf" "$work/pages.bin" >/dev/null

# Every output report the device received has its report ID and length, and none was refused.
expect_framing() {  # report-ID byte (hex, empty when unnumbered), bytes per report
  local id=$1 bytes=$2
  [[ $(requests) -gt 0 ]] || fail "the device received nothing"
  ! grep -q '^ignored' "$log" || fail "the device ignored a report: $(grep -B1 '^ignored' "$log" | head -2)"
  local bad
  bad=$(grep '^out ' "$log" | awk -v id="$id" -v n=$((bytes * 2)) 'length($2) != n || substr($2, 1, length(id)) != id' | head -1)
  [[ -z $bad ]] || fail "report not as the device expects ($bytes bytes, ID '$id'): $bad"
}

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
    local used=$(( $(sed -n 's/^Verified words 0 to //p' "$work/out") + 1 ))
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
  done <<EOF
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

# One program at a time: a second Read while the first runs is told the device is
# busy and sends nothing; the first gets every word right.
case_busy() {
  cp "$work/before.bin" "$eeprom"
  with_fake --latency-ms 10 -- bash -c '
    "$1" read --image "$2/first.bin" >"$2/first.out" 2>&1 & first=$!
    for _ in $(seq 500); do grep -q "^out " "$3" && break; sleep 0.01; done  # the first one has it
    status=0; "$1" read --image "$2/second.bin" || status=$?
    wait $first || { echo "the first Read failed: $(cat "$2/first.out")"; exit 3; }
    exit $status' busy "$cli" "$work" "$log"
  expect_status 1
  expect_in err "USB Device busy"
  same_bytes "$work/first.bin" "$work/before.bin"
  [[ ! -e $work/second.bin ]] || fail "the second Read wrote an image"
  [[ $(requests) -eq 256 ]] || fail "the device received $(requests) reports, not the first Read's 256"
}

"case_$case_name"
echo "ok: $case_name"
