# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# The helpers the command-line tests against the fake transmitter share, natively and
# under wine. Sourced after setting:
#   case_name   the case being run          cli   how to run vostrel-cli
#   rig         how to run a command with the fake up (FAKE [FAKE_OPTIONS...] -- COMMAND...)
#   fake        the fake transmitter
# It makes $work (removed on exit) with the EEPROM file, the fake's log and two
# configurations: before.conf (what the transmitter held) and pages.conf (written over
# it, shorter), with their images before.bin and pages.bin.
work=$(mktemp -d)
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT
eeprom=$work/eeprom.bin log=$work/log

fail() { echo "FAIL ($case_name): $*" >&2; exit 1; }

# with_fake [FAKE_OPTIONS...] -- COMMAND...: stdout and stderr (without the CR of
# Windows line ends) and the status land in $work.
with_fake() {
  local status=0
  : >"$log"
  "$rig" "$fake" --eeprom "$eeprom" --log "$log" "$@" >"$work/out.raw" 2>"$work/err.raw" || status=$?
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

# Every output report the device received has its report ID and length, and none was refused.
expect_framing() {  # report-ID byte (hex, empty when unnumbered), bytes per report
  local id=$1 bytes=$2
  [[ $(requests) -gt 0 ]] || fail "the device received nothing"
  ! grep -q '^ignored' "$log" || fail "the device ignored a report: $(grep -B1 '^ignored' "$log" | head -2)"
  local bad
  bad=$(grep '^out ' "$log" | awk -v id="$id" -v n=$((bytes * 2)) 'length($2) != n || substr($2, 1, length(id)) != id' | head -1)
  [[ -z $bad ]] || fail "report not as the device expects ($bytes bytes, ID '$id'): $bad"
}

# Each line of standard input: FAKE_OPTIONS|COMMAND|LEAST_MS|MOST_MS. A transmitter that
# stops answering or goes away mid-transfer gives "USB Command fail", never a success,
# after LEAST_MS to MOST_MS.
expect_transfer_fails() {
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
