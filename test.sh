#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# Installs what is missing, builds, and runs every test: the plain build, the same
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, the Windows build under
# wine, and a short run of each fuzz target. FUZZ_SECONDS sets the fuzzing time per
# target (default 20).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/scripts/packages.sh"
"$here/scripts/install-packages.sh" "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
jobs=$(nproc)

run_suite() {  # name, build dir, extra cmake arguments...
  local name=$1 dir=$2; shift 2
  echo "== $name =="
  cmake -S "$here" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

run_suite "tests" "$here/build/test" -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite "tests under ASan+UBSan" "$here/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DVOSTREL_SANITIZE=ON

echo "== Windows build, tests under wine =="
"$here/scripts/windows-tests.sh"

echo "== fuzzing, ${FUZZ_SECONDS:-20} s per target =="
"$here/scripts/fuzz.sh" "${FUZZ_SECONDS:-20}"
