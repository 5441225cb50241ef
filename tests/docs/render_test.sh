#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# The user guide's renderer turns links to chapters into links to their pages with the
# headings' anchors, copies the pictures shown, links each page to its twin in the
# other language, and refuses a guide whose links leave it or miss their target.
#   render_test.sh PYTHON RENDERER
set -euo pipefail
python=$1
renderer=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/guide/en" "$work/guide/de" "$work/guide/images"
printf 'PNG' >"$work/guide/images/window.png"
printf 'PNG' >"$work/guide/images/unused.png"
cat >"$work/guide/en/index.md" <<'MD'
# Guide

[The sender](sender.md#über-den-sender), [notes](sender.md#notes-1), [web](https://example.invalid/x.md)

![The window](../images/window.png)
MD
printf '# Über den Sender\n\n## Notes\n\n## Notes\n\n| a | `\\|` |\n|---|---|\n' >"$work/guide/en/sender.md"
printf '# Inhalt\n\n[Sender](sender.md)\n' >"$work/guide/de/index.md"
printf '# Sender\n' >"$work/guide/de/sender.md"
"$python" "$renderer" "$work/guide" "$work/html" || fail "a sound guide was refused"

page=$work/html/en/index.html
for expected in '<html lang="en">' 'href="sender.html#über-den-sender"' 'href="sender.html#notes-1"' \
                'href="https://example.invalid/x.md"' 'src="../images/window.png"' \
                'href="../de/index.html" hreflang="de"' '<title>Vostrel programmer user guide</title>'; do
  grep -qF "$expected" "$page" || fail "en/index.html lacks $expected"
done
for expected in 'id="über-den-sender"' 'id="notes"' 'id="notes-1"' '<code>|</code>'; do
  grep -qF "$expected" "$work/html/en/sender.html" || fail "en/sender.html lacks $expected"
done
grep -qF '<html lang="de">' "$work/html/de/sender.html" || fail "the German page is not marked German"
[ -f "$work/html/images/window.png" ] || fail "the picture shown was not copied"
[ ! -e "$work/html/images/unused.png" ] || fail "a picture no page shows was copied"

spoil() {  # FILE LINE EXPECTED: the guide with LINE added to FILE is refused, naming EXPECTED
  rm -rf "$work/spoilt" "$work/out"
  cp -r "$work/guide" "$work/spoilt"
  printf '\n%s\n' "$2" >>"$work/spoilt/$1"
  if "$python" "$renderer" "$work/spoilt" "$work/out" 2>"$work/said"; then fail "rendered despite $2"; fi
  grep -qxF "$3" "$work/said" || fail "not named: $3; the renderer said: $(cat "$work/said")"
}
spoil en/index.md '[source](../../README.md)' 'en/index.md: ../../README.md (leaves the user guide)'
spoil en/index.md '[gone](gone.md)' 'en/index.html: gone.html (no such file)'
spoil de/index.md '[heading](sender.md#no-such-heading)' 'de/index.html: sender.html#no-such-heading (no such anchor)'
spoil de/sender.md '![picture](../images/gone.png)' 'de/sender.html: ../images/gone.png (no such file)'
echo "renderer: anchors, pictures and language links, and four kinds of broken guide refused"
