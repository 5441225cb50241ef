#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
"""The letters a base letter and a combining mark make (kCompositions in
image/pager_text.h) against Python's Unicode database: each entry is the canonical
composition (NFC) of its base and mark, and every letter the pager alphabets and the
transliteration tables know that Unicode writes as an ASCII letter and one mark is
there, so that it is taken however it was typed."""
import re
import sys
import unicodedata

source, alphabets = (open(path, encoding="utf-8").read() for path in sys.argv[1:3])
table = source[source.index("kCompositions"):]
table = table[:table.index("});")]
composed = {}
for mark, bases, letters in re.findall(r"\{U'\\u([0-9A-F]{4})', U\"([^\"]*)\", U\"([^\"]*)\"\}", table):
    if len(bases) != len(letters):
        sys.exit(f"U+{mark}: {len(bases)} base letters but {len(letters)} letters")
    for base, letter in zip(bases, letters):
        composed[base + chr(int(mark, 16))] = letter

failures = [f"{pair!r} makes {letter!r}, but NFC gives {unicodedata.normalize('NFC', pair)!r}"
            for pair, letter in composed.items() if unicodedata.normalize("NFC", pair) != letter]
tables = source[source.index("kTransliterations"):source.index("kCompositions")] + alphabets
known = {c for c in tables if ord(c) > 0x7F}
for letter in sorted(known):
    pair = unicodedata.normalize("NFD", letter)
    if len(pair) == 2 and pair[0].isascii() and pair not in composed:
        failures.append(f"{letter!r} (U+{ord(letter):04X}) typed as {pair!r} is not composed")
print(f"{len(composed)} compositions, {len(known)} letters known to the tables")
if failures:
    sys.exit("\n".join(failures))
