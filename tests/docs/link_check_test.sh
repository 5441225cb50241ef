#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# The link check passes a sound tree of its own, names each broken link of a spoilt
# one (a file, a picture, a heading) and fails it, and passes the project's Markdown.
#   link_check_test.sh CHECKER PROJECT-ROOT
set -euo pipefail
checker=$1
project=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/sound/guide" "$work/sound/images"
touch "$work/sound/images/window.png"
printf '# Über den Sender\n\n## Site lists in spreadsheets (CSV)\n\n## `vostrel-cli` and **files**\n\n## Notes\n\n## Notes\n' \
  >"$work/sound/guide/target.md"
cat >"$work/sound/guide/index.md" <<'MD'
# Index
[a](target.md#über-den-sender), [b](target.md#site-lists-in-spreadsheets-csv),
[c](target.md#vostrel-cli-and-files), [d](target.md#notes-1), [e](#index),
![window](../images/window.png), [web](https://example.invalid/missing.md),
`[code](missing.md)` is code, not a link.
```
[fenced](missing.md)
```
MD
"$checker" "$work/sound" >"$work/out" || fail "a sound tree was refused: $(cat "$work/out")"

cp -r "$work/sound" "$work/spoilt"
printf '[gone](gone.md) ![picture](../images/gone.png) [heading](target.md#no-such-heading)\n' \
  >>"$work/spoilt/guide/index.md"
if "$checker" "$work/spoilt" >"$work/out" 2>&1; then fail "a spoilt tree passed"; fi
for expected in "guide/index.md:9: gone.md (no such file)" \
                "guide/index.md:9: ../images/gone.png (no such file)" \
                "guide/index.md:9: target.md#no-such-heading (no such heading)"; do
  grep -qxF "$expected" "$work/out" || fail "not named: $expected; the check said: $(cat "$work/out")"
done
[ "$(grep -c '(no such' "$work/out")" -eq 3 ] || fail "more than the three broken links named: $(cat "$work/out")"

"$checker" "$project"
