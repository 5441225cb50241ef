#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# A harness killed outright (as a test runner's time-out or a Ctrl-C on the runner does)
# leaves nothing running: not the command, not the fake, not its mount.
#   rig_lifetime_test.sh HARNESS FAKE
# Exits 77 (skipped) when the machine cannot hold the fake.
set -euo pipefail
harness=$1 fake=$2
work=$(mktemp -d)
harness_pid=
# Everything still running that was started for this test: its command lines name $work.
left_running() {
  local pid
  for pid in $(pgrep -f -- "$work" || true); do
    [[ $pid == "$$" || $pid == "$BASHPID" ]] || echo "$pid"
  done
}
cleanup() {
  local pid
  for pid in $(left_running); do kill -KILL "$pid" 2>/dev/null || true; done
  [[ -z $harness_pid ]] || kill -KILL "$harness_pid" 2>/dev/null || true
  sleep 0.2
  rm -rf "$work"
}
trap cleanup EXIT

"$harness" "$fake" --eeprom "$work/eeprom.bin" -- \
  bash -c 'touch "$1/up"; while :; do sleep 0.1; done' command-of "$work" 2>"$work/err" &
harness_pid=$!
for _ in $(seq 300); do
  [[ -e $work/up ]] && break
  if ! kill -0 "$harness_pid" 2>/dev/null; then
    status=0; wait "$harness_pid" || status=$?
    harness_pid=
    [[ $status -eq 77 ]] && { cat "$work/err" >&2; exit 77; }
    echo "FAIL: the harness ended ($status) before the command started: $(cat "$work/err")" >&2; exit 1
  fi
  sleep 0.1
done
[[ -e $work/up ]] || { echo "FAIL: the command did not start" >&2; exit 1; }
[[ -n $(left_running) ]] || { echo "FAIL: nothing of the rig found to watch" >&2; exit 1; }

kill -KILL "$harness_pid"
wait "$harness_pid" 2>/dev/null || true
harness_pid=
for _ in $(seq 50); do
  [[ -z $(left_running) ]] && { echo "ok: nothing left running"; exit 0; }
  sleep 0.1
done
echo "FAIL: still running 5 s after the harness was killed:" >&2
for pid in $(left_running); do echo "  $pid $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)" >&2; done
exit 1
