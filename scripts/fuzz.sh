#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of
# seconds (default 20), or for a number of runs with --runs N. Findings are kept in
# fuzz-corpus/<target>/ and fail the script.
#   scripts/fuzz.sh 600          ten minutes per target
#   scripts/fuzz.sh --runs 10000000
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
limit=(-max_total_time="${1:-20}")
[ "${1:-}" = "--runs" ] && limit=(-runs="$2")

build="$here/build/fuzz"
CC=clang-14 CXX=clang++-14 cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVOSTREL_BUILD_FUZZERS=ON -DVOSTREL_BUILD_GUI=OFF -DVOSTREL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"

for fuzzer in "$build"/fuzz/*_fuzzer; do
  name=$(basename "$fuzzer")
  corpus="$here/fuzz-corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "$here/fuzz/seeds/$name" ] && seeds=("$here/fuzz/seeds/$name")
  echo "-- $name"
  log="$build/$name.log"
  if ! "$fuzzer" "${limit[@]}" -artifact_prefix="$corpus/" -print_final_stats=1 "$corpus" "${seeds[@]}" \
      >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$name found a problem; the input is kept in $corpus" >&2
    exit 1
  fi
  grep -E "^(Done|stat::number_of_executed_units)" "$log" || true
done
