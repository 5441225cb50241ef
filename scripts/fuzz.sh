#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# Builds the libFuzzer targets with clang and runs each for the given number of
# seconds (default 20; ./test.sh gives 10), or for a number of runs with --runs N.
# Findings are kept in fuzz-corpus/<target>/ and fail the script. The long runs are
# made here, by hand:
#   scripts/fuzz.sh 600          ten minutes per target
#   scripts/fuzz.sh --runs 10000000
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/scripts/lib/summary.sh"
source "$here/scripts/lib/packages.sh"
release_clang
export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-$CLANG_VERSION/bin/llvm-symbolizer
limit=(-max_total_time="${1:-20}") each="${1:-20} s a target"
[ "${1:-}" = "--runs" ] && limit=(-runs="$2") each="$2 inputs a target"

build="$here/build/fuzz"
start=$(date +%s) status=0
CC=clang-$CLANG_VERSION CXX=clang++-$CLANG_VERSION cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVOSTREL_BUILD_FUZZERS=ON -DVOSTREL_BUILD_GUI=OFF -DVOSTREL_BUILD_TESTS=OFF >/dev/null &&
  cmake --build "$build" -j "$(nproc)" --target fuzzers || status=$?
summary_step build-fuzz $(($(date +%s) - start)) $status
((status == 0)) || exit $status
start=$(date +%s)

# Runs one target; its log is kept beside it in the build directory.
run_fuzzer() {
  local fuzzer=$1 name corpus seeds=()
  name=$(basename "$fuzzer")
  corpus="$here/fuzz-corpus/$name"
  mkdir -p "$corpus"
  [ -d "$here/fuzz/seeds/$name" ] && seeds=("$here/fuzz/seeds/$name")
  "$fuzzer" "${limit[@]}" -artifact_prefix="$corpus/" -print_final_stats=1 "$corpus" "${seeds[@]}" \
    >"$build/$name.log" 2>&1
}

# As many targets at a time as there are cores.
fuzzers=("$build"/fuzz/*_fuzzer)
failed=0
for ((first = 0; first < ${#fuzzers[@]}; first += $(nproc))); do
  pids=()
  for fuzzer in "${fuzzers[@]:first:$(nproc)}"; do
    run_fuzzer "$fuzzer" &
    pids+=($!)
  done
  for i in "${!pids[@]}"; do
    fuzzer=${fuzzers[first + i]}
    name=$(basename "$fuzzer")
    if wait "${pids[$i]}"; then
      echo "-- $name: $(grep -E '^stat::number_of_executed_units' "$build/$name.log" | awk '{print $2}') inputs, no finding"
    else
      tail -n 40 "$build/$name.log"
      echo "-- $name found a problem; the input is kept in $here/fuzz-corpus/$name" >&2
      failed=$((failed + 1))
    fi
  done
done
summary_suite fuzz $(($(date +%s) - start)) $((${#fuzzers[@]} - failed)) $failed 0 "$each"
((failed == 0))
