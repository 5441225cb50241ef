#!/usr/bin/env bash
# vostrel-cli.exe through wine's own HID stack (SetupAPI, the HID class library, wine's
# hidraw bus driver) against the fake transmitter.
#   wine_usb_test.sh CASE FAKE
# CASE is one of the functions below named case_*. The environment names the rest (see
# wine_cli.sh and wine_fake_harness.sh). Exits 77 (skipped) when the machine cannot
# hold the fake; any other failure is a failure.
set -euo pipefail
case_name=$1 fake=$2
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cli=$here/wine_cli.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
eeprom=$work/eeprom.bin log=$work/log

fail() { echo "FAIL ($case_name): $*" >&2; exit 1; }

# with_fake [FAKE_OPTIONS...] -- COMMAND...: stdout and stderr (without the CR of
# Windows line ends) and the status land in $work.
with_fake() {
  local status=0
  : >"$log"
  "$here/wine_fake_harness.sh" "$fake" --eeprom "$eeprom" --log "$log" "$@" >"$work/out.raw" 2>"$work/err.raw" ||
    status=$?
  tr -d '\r' <"$work/out.raw" >"$work/out"
  tr -d '\r' <"$work/err.raw" >"$work/err"
  [[ $status -eq 77 ]] && { cat "$work/err" >&2; exit 77; }
  [[ $status -eq 70 ]] && fail "the rig did not come up: $(cat "$work/err")"
  echo "$status" >"$work/status"
}

expect_status() { [[ $(cat "$work/status") == "$1" ]] || fail "exit status $(cat "$work/status"), not $1; stdout: $(cat "$work/out"); stderr: $(cat "$work/err")"; }
expect_in() { grep -qF -- "$2" "$work/$1" || fail "$1 lacks '$2': $(cat "$work/$1")"; }
expect_not_in() { ! grep -qF -- "$2" "$work/$1" || fail "$1 has '$2'"; }
same_bytes() { cmp -s "$1" "$2" || fail "$1 and $2 differ"; }
requests() { grep -c '^out ' "$log" || true; }

item() { printf '[Item%02d]\nCapCode = %s\nTone = %s\nType = %s\nMessage = "%s"\n' "$@"; }
{ echo "[Settings]"; echo "DataRate = 512"
  item 1 1234567 A Numeric "0123456789"
  item 2 8 D Alphanumeric "Call the office"
} >"$work/pages.conf"
# What the transmitter holds before (longer) and what is written over it (shorter).
{ echo "[Settings]"; echo "DataRate = 2400"
  for row in 1 2 3 4; do item "$row" $((row * 1000 + 7)) D Alphanumeric "Previous contents of row $row"; done
} >"$work/before.conf"
"$cli" build "$work/before.conf" "$work/before.bin" >/dev/null

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
    local bad
    bad=$(grep '^out ' "$log" | awk -v id="$id" -v n=$((bytes * 2)) 'length($2) != n || substr($2, 1, length(id)) != id' | head -1)
    [[ -z $bad ]] || fail "report not as the device expects ($bytes bytes, ID '$id'): $bad"

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
# never a success.
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
    # The rig and wine's start take their own seconds on top.
    (( elapsed >= least && elapsed <= most )) || fail "'$options' '$command' took $elapsed ms, not $least..$most"
  done <<EOF
--no-reply-from 5|read|2000|15000
--no-reply-from 5|write --no-backup $work/pages.conf|2000|15000
--unplug-at-reply 5|read|0|15000
--unplug-before 5|write --no-backup $work/pages.conf|0|15000
EOF
}

# One program at a time: a second Read while the first runs is told the device is
# busy and sends nothing; the first gets every word right.
case_busy() {
  cp "$work/before.bin" "$eeprom"
  with_fake --latency-ms 10 -- bash -c '
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
}

"case_$case_name"
echo "ok: $case_name"
