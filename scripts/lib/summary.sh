# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# shellcheck shell=bash
# The closing summary of ./test.sh. Each suite script, sourcing this file, appends its
# results to the file VOSTREL_SUMMARY names; ./test.sh prints them at the end. A script
# run on its own (VOSTREL_SUMMARY unset) records nothing and runs as before.
#
#   summary_ctest NAME CTEST_ARGUMENTS...   runs ctest, records its counts as suite NAME
#   summary_suite NAME SECONDS PASSED FAILED SKIPPED [NOTE [RETRIED]]
#   summary_skipped NAME REASON             suite NAME did not run at all, and why
#   summary_step NAME SECONDS STATUS        a step that is not a suite (a build): its
#                                           time, and a failure when STATUS is not 0
#
# One record a line: KIND (suite or step), NAME, SECONDS, PASSED, FAILED, SKIPPED, NOTE,
# RETRIED, separated by tabs. PASSED counts the tests that passed at the first try,
# RETRIED those that failed once and then passed (ctest --repeat until-pass:2): a
# retried test is shown as such, never as a plain pass. Records of one suite add up
# (the package suite has a Debian and a Windows part).

summary_record() {
  [[ -n ${VOSTREL_SUMMARY-} ]] || return 0
  local IFS=$'\t'
  echo "$*" >>"$VOSTREL_SUMMARY"
}
summary_suite() { summary_record suite "$1" "$2" "$3" "$4" "$5" "${6-}" "${7:-0}"; }
summary_skipped() {
  echo "$1: skipped, $2"
  summary_record suite "$1" 0 0 0 0 "skipped: $2"
}
summary_step() {
  if [[ $3 == 0 ]]; then summary_record step "$1" "$2" 0 0 0 ""
  else summary_record step "$1" "$2" 0 1 0 "failed (status $3)"; fi
}

# Counts come from ctest's JUnit report: a test that exits with its SKIP_RETURN_CODE, or
# a GoogleTest case that calls GTEST_SKIP, counts as skipped; the reasons the tests gave
# on a line "SKIPPED: REASON" (in any case) become the note. The report shows a test
# that passed at its second try as passed; ctest's log tells it apart, as its final
# line there has no "N/TOTAL" count in front. Returns ctest's status.
summary_ctest() {
  local name=$1 report log start status=0 tests failures disabled skipped reasons retried
  shift
  report=$(mktemp) log=$(mktemp)
  start=$(date +%s)
  ctest --output-junit "$report" --output-log "$log" "$@" || status=$?
  attribute() { grep -o -m1 "[[:space:]]$1=\"[0-9]*\"" "$report" | tr -dc '0-9'; }
  tests=$(attribute tests) failures=$(attribute failures)
  disabled=$(attribute disabled) skipped=$(attribute skipped)
  reasons=$(sed -n 's/^.*skipped: //Ip' "$report" | sort -u | head -3 | paste -sd ';' | sed 's/;/; /g')
  retried=$(($(grep -E '^ +Test +#[0-9]+: .*[[:space:]]Passed[[:space:]]' "$log" | grep -oE '#[0-9]+' | sort -u | wc -l)))
  rm -f "$report" "$log"
  if [[ -z $tests ]]; then
    summary_suite "$name" $(($(date +%s) - start)) 0 1 0 "ctest gave no report (status $status)"
    return $((status == 0 ? 1 : status))
  fi
  skipped=$((skipped + disabled))
  summary_suite "$name" $(($(date +%s) - start)) $((tests - failures - skipped - retried)) "$failures" "$skipped" \
    "${reasons:+skipped: $reasons}" "$retried"
  return $status
}

summary_has() {  # NAME LIST...: whether NAME is in the list
  local name=$1 item
  shift
  for item; do [[ $item == "$name" ]] && return 0; done
  return 1
}

# summary_print FILE TOTAL_SECONDS SUITE...: the table, the suites in the order given
# (+NAME for one that must run), then any others, then the steps. Returns 1 when a
# test, suite or step failed, or when a suite that must run was skipped in part or
# whole or did not report, unless VOSTREL_ALLOW_SKIP=1 says this machine cannot hold
# it (which CI never says).
summary_print() {
  local file=$1 total=$2 verdict=0 name kind seconds passed failed skipped note retried line
  shift 2
  local -a order=() required=() steps=()
  for name; do
    order+=("${name#+}")
    [[ $name == +* ]] && required+=("${name#+}")
  done
  while IFS=$'\t' read -r kind name _; do
    if [[ $kind == step ]]; then summary_has "$name" "${steps[@]}" || steps+=("$name")
    else summary_has "$name" "${order[@]}" || order+=("$name"); fi
  done <"$file"

  local all_passed=0 all_failed=0 all_skipped=0 all_retried=0 format='%-32s %7s %7s %7s %7s  %s\n'
  printf "\n== Summary ==\n$format" suite seconds passed failed skipped ""
  for name in "${order[@]}" "${steps[@]}"; do
    line=$(awk -F'\t' -v name="$name" '
      $2 == name { found = 1; kind = $1; s += $3; p += $4; f += $5; k += $6; r += $8
                   if ($7 != "") n = n (n == "" ? "" : "; ") $7 }
      END { if (found) printf "%s\t%d\t%d\t%d\t%d\t%d\t%s", kind, s, p, f, k, r, n }' "$file")
    if [[ -z $line ]]; then
      note="did not report"
      if summary_has "$name" "${required[@]}"; then
        if [[ ${VOSTREL_ALLOW_SKIP-} == 1 ]]; then note+=" (allowed: VOSTREL_ALLOW_SKIP=1)"
        else note+="; FAILED: it must run"; verdict=1; fi
      fi
      printf "$format" "$name" - - - - "$note"
      continue
    fi
    IFS=$'\t' read -r kind seconds passed failed skipped retried note <<<"$line"
    ((failed == 0)) || verdict=1
    if [[ $kind == step ]]; then
      printf "$format" "$name" "$seconds" "" "" "" "$note"
      continue
    fi
    ((all_passed += passed, all_failed += failed, all_skipped += skipped, all_retried += retried)) || true
    ((retried == 0)) || note="$retried passed on second try${note:+; $note}"
    if summary_has "$name" "${required[@]}" && ((skipped > 0 || passed + retried == 0)); then
      if [[ ${VOSTREL_ALLOW_SKIP-} == 1 ]]; then
        note="${note:+$note; }allowed: VOSTREL_ALLOW_SKIP=1"
      else
        note="${note:+$note; }FAILED: it must run (VOSTREL_ALLOW_SKIP=1 where the machine cannot hold it)"
        verdict=1
      fi
    fi
    printf "$format" "$name" "$seconds" "$passed" "$failed" "$skipped" "$note"
  done
  note=$( ((verdict == 0)) && echo passed || echo FAILED)
  ((all_retried == 0)) || note+="; $all_retried passed on second try"
  printf "$format" total "$total" "$all_passed" "$all_failed" "$all_skipped" "$note"
  return $verdict
}
