#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# Installs what is missing, builds, runs every test, and ends with one line per suite:
# its seconds and its passed, failed and skipped counts, and how many passed only at
# a second try (the cases under wine get one). Exits non-zero when
# anything failed, or when the fake-transmitter or wine suite was skipped.
#
# Four trees, each built once:
#   build/sanitize  Debug with AddressSanitizer and UndefinedBehaviorSanitizer, by clang
#                   (twice as fast as g++ at it): the unit, window and fake-transmitter
#                   suites run here, and only here
#   build/release   what ./run.sh builds and the Debian package ships; the package
#                   check runs on it (a sanitizer build is not one to ship)
#   build/windows   the Windows build under wine (scripts/windows-tests.sh)
#   build/fuzz      clang's libFuzzer targets (scripts/fuzz.sh)
# Two lanes run side by side, the Linux trees and the Windows ones, so that one compiles
# while the other waits on wine or a test's time-out; the lane that ends first then
# builds the release tree and checks the package. Each step's
# output goes to build/logs/STEP.log; the log of a failed step is printed at the end.
#
#   FUZZ_SECONDS=N        fuzzing time per target (default 10; long runs: scripts/fuzz.sh)
#   VOSTREL_ALLOW_SKIP=1  this machine cannot hold the fake transmitter (root, /dev/fuse,
#                         namespaces) or wine: their suites may be skipped. CI never sets it.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/scripts/lib/packages.sh"
add_release_clang || exit 1
"$here/scripts/install-packages.sh" "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" || exit 1
source "$here/scripts/lib/summary.sh"
jobs=$(nproc)
started=$(date +%s)
logs="$here/build/logs"
rm -rf "$logs" && mkdir -p "$logs"
export VOSTREL_SUMMARY="$logs/summary.tsv"
: >"$VOSTREL_SUMMARY"

# step NAME COMMAND...: runs the command with its output in build/logs/NAME.log and
# says when it is done.
step() {
  local name=$1 start status=0
  shift
  start=$(date +%s)
  echo "[$(date +%T)] $name ..."
  "$@" >"$logs/$name.log" 2>&1 || status=$?
  if ((status == 0)); then
    echo "[$(date +%T)] $name done ($(($(date +%s) - start)) s)"
  else
    echo "[$(date +%T)] $name FAILED ($(($(date +%s) - start)) s, status $status; build/logs/$name.log)"
    echo "$name" >>"$logs/failed-steps"
  fi
  return $status
}

# build_tree NAME DIR CMAKE_ARGUMENTS...: configures and builds a tree, timed as a step.
build_tree() {
  local name=$1 dir=$2 start status=0
  shift 2
  start=$(date +%s)
  step "$name" bash -c 'cmake -S "$1" -B "$2" -G Ninja "${@:4}" && cmake --build "$2" -j "$3"' \
    _ "$here" "$dir" "$jobs" "$@" || status=$?
  summary_step "$name" $(($(date +%s) - start)) $status
  return $status
}

linux_lane() {
  local tree="$here/build/sanitize"
  export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
  # The sanitizers find no llvm-symbolizer of the release's clang on the PATH.
  export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-$CLANG_VERSION/bin/llvm-symbolizer
  export CXX=clang++-$CLANG_VERSION  # taken when the tree is first configured
  if build_tree "build-sanitize" "$tree" -DCMAKE_BUILD_TYPE=Debug -DVOSTREL_SANITIZE=ON; then
    local run=(--test-dir "$tree" --output-on-failure -j "$jobs")
    step unit summary_ctest "unit (ASan+UBSan)" "${run[@]}" -LE "window|fake_transmitter"
    step window summary_ctest "window (ASan+UBSan)" "${run[@]}" -L window
    step fake-transmitter summary_ctest "fake transmitter (ASan+UBSan)" "${run[@]}" -L fake_transmitter
  fi
  step fuzz "$here/scripts/fuzz.sh" "${FUZZ_SECONDS:-10}"
  release_and_package
}

package_check() {
  local start status=0
  start=$(date +%s)
  bash "$here/tests/packaging/package_test.sh" "$here/build/release" || status=$?
  summary_suite package $(($(date +%s) - start)) $((status == 0)) $((status != 0)) 0 ""
  return $status
}

# The release tree, as ./run.sh configures it, and the package check on it: taken by
# whichever lane is free first (mkdir either makes the claim or finds it made).
release_and_package() {
  mkdir "$logs/release-claimed" 2>/dev/null || return 0
  unset CXX  # the compiler ./run.sh takes, not the sanitizer tree's
  if build_tree "build-release" "$here/build/release" -DCMAKE_BUILD_TYPE=Release -DVOSTREL_BUILD_TESTS=OFF; then
    step package package_check
  fi
}

# Windows first: its fake-transmitter cases wait on wine more than they compute, which
# leaves room for the Linux lane's builds and tests.
windows_lane() {
  step windows "$here/scripts/windows-tests.sh"
  release_and_package
}

linux_lane &
linux=$!
windows_lane &
others=$!
wait $linux $others

status=0
if [[ -f $logs/failed-steps ]]; then
  status=1
  while read -r name; do
    printf '\n==== build/logs/%s.log ====\n' "$name"
    cat "$logs/$name.log"
  done <"$logs/failed-steps"
fi
summary_print "$VOSTREL_SUMMARY" $(($(date +%s) - started)) \
  "unit (ASan+UBSan)" "window (ASan+UBSan)" "+fake transmitter (ASan+UBSan)" \
  "+Windows under wine" "Windows window" package fuzz || status=1
[[ -f $logs/failed-steps ]] && echo "Steps that failed: $(paste -sd' ' "$logs/failed-steps")"
exit $status
