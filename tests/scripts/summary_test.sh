#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# ./test.sh's closing summary (scripts/lib/summary.sh): ctest's counts as recorded, and the
# verdict, which fails a run whose fake-transmitter or wine suite was skipped unless
# VOSTREL_ALLOW_SKIP=1.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/summary.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# ctest's own counting, through a test directory written by hand: a skip by exit status
# 77 (the fake's rig on a machine that cannot hold it) and one by GoogleTest's marker,
# and, with a second try as the wine suite gives its fake-transmitter cases, a test
# that passes only at its second try besides one that fails both.
mkdir "$work/tree"
cat >"$work/tree/CTestTestfile.cmake" <<'EOF'
add_test(passes "true")
add_test(fails "false")
add_test(cannot_hold_the_rig "sh" "-c" "echo SKIPPED: no /dev/fuse; exit 77")
set_tests_properties(cannot_hold_the_rig PROPERTIES SKIP_RETURN_CODE 77)
add_test(skipped_case "sh" "-c" "echo '[  SKIPPED ] Case'")
set_tests_properties(skipped_case PROPERTIES SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
add_test(second_try "sh" "-c" "[ -e tried ] || { touch tried; exit 1; }")
EOF
export VOSTREL_SUMMARY=$work/summary.tsv
status=0
summary_ctest counted --test-dir "$work/tree" --repeat until-pass:2 >/dev/null 2>&1 || status=$?
[[ $status -ne 0 ]] || fail "summary_ctest hid ctest's failure"
[[ $(cut -f1-2,4- "$VOSTREL_SUMMARY") == "$(printf 'suite\tcounted\t1\t1\t2\tskipped: no /dev/fuse\t1')" ]] ||
  fail "ctest's counts recorded as: $(cat "$VOSTREL_SUMMARY")"

# Each line: ALLOW_SKIP|EXPECTED_STATUS|EXPECTED_TEXT (spaces squeezed)|RECORDS (";" between records, ","
# between fields: KIND,NAME,SECONDS,PASSED,FAILED,SKIPPED,NOTE[,RETRIED]). The suites
# given to summary_print are those ./test.sh gives: fake and wine must run.
all_ran="suite,fake,5,10,0,0,;suite,wine,5,170,0,0,"
while IFS='|' read -r allow expected text records; do
  tr ';,' '\n\t' <<<"$records" >"$VOSTREL_SUMMARY"
  status=0
  VOSTREL_ALLOW_SKIP=$allow summary_print "$VOSTREL_SUMMARY" 99 unit +fake +wine window >"$work/table" || status=$?
  tr -s ' ' <"$work/table" >"$work/out"  # the columns' widths are no matter here
  [[ $status -eq $expected ]] || fail "status $status, not $expected, for '$records' (allow '$allow'): $(cat "$work/out")"
  grep -qF -- "$text" "$work/out" || fail "no '$text' for '$records': $(cat "$work/out")"
done <<EOF
|0|total 99 180 0 0 passed|$all_ran
|1|FAILED: it must run|suite,fake,5,0,0,10,;suite,wine,5,170,0,0,
1|0|allowed: VOSTREL_ALLOW_SKIP=1|suite,fake,5,0,0,10,;suite,wine,5,170,0,0,
|1|FAILED: it must run|suite,fake,5,10,0,0,;suite,wine,5,165,0,5,
|1|FAILED: it must run|suite,fake,5,10,0,0,;suite,wine,0,0,0,0,skipped: no wine
|1|did not report; FAILED: it must run|suite,fake,5,10,0,0,
1|0|did not report (allowed: VOSTREL_ALLOW_SKIP=1)|suite,fake,5,10,0,0,
|1|total 99 189 1 0 FAILED|$all_ran;suite,unit,3,9,1,0,
|0|skipped: no Qt for Windows|$all_ran;suite,window,0,0,0,0,skipped: no Qt for Windows
|0|package 9 2 0 0|$all_ran;suite,package,4,1,0,0,;suite,package,5,1,0,0,
|1|failed (status 2)|$all_ran;step,build-windows,30,0,1,0,failed (status 2)
|0|build-sanitize 80|$all_ran;step,build-sanitize,80,0,0,0,
|0|wine 10 168 0 0 2 passed on second try|suite,fake,5,10,0,0,;suite,wine,5,160,0,0,,0;suite,wine,5,8,0,0,,2
|0|total 99 178 0 0 passed; 2 passed on second try|suite,fake,5,10,0,0,;suite,wine,5,168,0,0,,2
|0|wine 5 0 0 0 170 passed on second try|suite,fake,5,10,0,0,;suite,wine,5,0,0,0,,170
EOF
echo "ok: summary"
