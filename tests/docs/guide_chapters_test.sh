#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# Every chapter of the user guide is there in English and in German under the same
# name, and each language's index.md links every chapter of its folder.
#   guide_chapters_test.sh GUIDE-FOLDER
set -euo pipefail
guide=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
chapters() { (cd "$guide/$1" && ls -- *.md); }

missing=$(comm -3 <(chapters en) <(chapters de) | tr -d '\t')
[ -z "$missing" ] || fail "a chapter in one language only: $missing (en/ and de/ hold the same file names)"
for language in en de; do
  for chapter in $(chapters "$language"); do
    [ "$chapter" = index.md ] && continue
    grep -qE "\]\($chapter(#[^)]*)?\)" "$guide/$language/index.md" || fail "$language/index.md does not list $chapter"
  done
done
echo "$(chapters en | wc -l) chapters in English and German, each listed by its index.md"
