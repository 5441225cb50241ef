#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# The cost of one word exchange through the real USB stack (vostrel-cli, hidapi, libudev,
# the kernel's FUSE) against the fake transmitter, with a reply latency of 0 and 1 ms.
#   scripts/real_usb_bench.sh [BUILD_DIR] [REPETITIONS]    (as root; default build/test, 7)
# Each run times a Write of a full image with --verify (its write-word exchanges and 256
# read-word exchanges) and a Write of an empty configuration (17 exchanges) in the same
# fake; their difference over the exchanges between them leaves out what both pay once:
# starting the program, finding the device, opening it. Medians are printed.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build=$(realpath "${1:-$here/build/test}")
repetitions=${2:-7}
cli=$build/cli/vostrel-cli
fake=$build/tests/fake_transmitter/fake_transmitter
harness=$here/tests/fake_transmitter/with_fake_transmitter.sh
[[ -x $cli && -x $fake ]] || { echo "build vostrel-cli and fake_transmitter in $build first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "[Settings]" >"$work/empty.conf"
{
  echo "[Settings]"
  for row in $(seq 16); do
    printf '[Item%02d]\nCapCode = %d\nTone = D\nType = Alphanumeric\nMessage = "%s"\n' "$row" "$row" "$(printf 'W%.0s' $(seq 40))"
  done
} >"$work/full.conf"
"$cli" write --emulator "$work/count.bin" --verify "$work/full.conf" >"$work/count" 2>/dev/null
exchanges=$(($(sed -n 's/^Verified words 0 to //p' "$work/count") + 1 + 256 - 17))

# Runs inside the fake: prints "full-µs empty-µs" per repetition.
cat >"$work/measure.sh" <<'EOF'
cli=$1 work=$2 repetitions=$3
microseconds() { local start=$(date +%s%N); "$@" >/dev/null 2>&1 || exit 1; echo $(( ($(date +%s%N) - start) / 1000 )); }
for _ in $(seq "$repetitions"); do
  full=$(microseconds "$cli" write --no-backup --verify "$work/full.conf")
  echo "$full $(microseconds "$cli" write --no-backup "$work/empty.conf")"
done
EOF

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-14s %16s %16s %18s\n' "reply latency" "full --verify" "empty (17)" "per exchange"
for latency in 0 1; do
  "$harness" "$fake" --eeprom "$work/eeprom.bin" --latency-ms "$latency" -- \
    bash "$work/measure.sh" "$cli" "$work" "$repetitions" >"$work/times"
  full_us=$(cut -d' ' -f1 "$work/times" | median)
  empty_us=$(cut -d' ' -f2 "$work/times" | median)
  awk -v l="$latency ms" -v f="$full_us" -v e="$empty_us" -v n="$exchanges" \
    'BEGIN { printf "%-14s %13.1f ms %13.1f ms %15.1f µs\n", l, f / 1000, e / 1000, (f - e) / n }'
done
echo "($exchanges exchanges between the two)"
