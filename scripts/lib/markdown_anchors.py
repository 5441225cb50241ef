# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
"""The anchors the repository's web view gives Markdown headings, so that a link to
`file.md#heading` means the same heading there, to the link check and in the HTML
user guide."""

import re
import unicodedata


def heading_text(markdown):
    """A heading as it reads: links as their text, emphasis and code marks gone."""
    text = re.sub(r"!?\[([^\]]*)\]\([^)]*\)", r"\1", markdown)
    return re.sub(r"[*_`]", "", text)


def slug(text):
    """Lower case; letters, digits, marks, blanks, '-' and '_' kept; blanks turned
    into '-'."""
    kept = "".join(c for c in text.lower()
                   if c in " -" or unicodedata.category(c) == "Pc" or unicodedata.category(c)[0] in "LNM")
    return kept.replace(" ", "-")


class Anchors:
    """Hands out each heading's anchor in the order of the headings: a repeated one
    gets -1, -2, ... as the web view numbers them."""

    def __init__(self):
        self._seen = {}

    def next(self, text):
        base = slug(text)
        count = self._seen.get(base, 0)
        self._seen[base] = count + 1
        return base if count == 0 else f"{base}-{count}"
