#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
"""Every relative link and picture in the project's Markdown files names a file that is
there, and a link to a heading (file.md#heading) names a heading of that file, as the
repository's web view makes the anchors.

    scripts/check-doc-links.py [FOLDER]     default: the checkout this script is in

Lists each broken link as FILE:LINE: TARGET (reason) and exits 1 when there is one."""

import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent / "lib"))
from markdown_anchors import Anchors, heading_text  # noqa: E402

# [text](target) and ![alt](target), the target up to a blank or the closing bracket.
LINK = re.compile(r"!?\[(?:[^\[\]]|\[[^\]]*\])*\]\(\s*<?([^)\s>]+)>?(?:\s+\"[^\"]*\")?\s*\)")
FENCE = re.compile(r"^\s*(```|~~~)")
HEADING = re.compile(r"^#{1,6}\s+(.*?)\s*#*\s*$")
SKIPPED_FOLDERS = {".git", "build", "fuzz-corpus"}


def markdown_files(root):
    for path in sorted(root.rglob("*.md")):
        if not SKIPPED_FOLDERS.intersection(path.relative_to(root).parts):
            yield path


def prose_lines(path):
    """The lines outside fenced code, numbered from 1, inline code spans blanked."""
    in_fence = False
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if FENCE.match(line):
            in_fence = not in_fence
            continue
        if not in_fence:
            yield number, re.sub(r"`[^`]*`", "", line)


def anchors(path):
    numbered = Anchors()
    found = set()
    in_fence = False
    for line in path.read_text(encoding="utf-8").splitlines():
        if FENCE.match(line):
            in_fence = not in_fence
            continue
        match = None if in_fence else HEADING.match(line)
        if match:
            found.add(numbered.next(heading_text(match.group(1))))
    return found


def broken_links(root):
    cache = {}
    for path in markdown_files(root):
        for number, line in prose_lines(path):
            for target in LINK.findall(line):
                if re.match(r"^[a-z][a-z0-9+.-]*:", target, re.IGNORECASE):
                    continue  # an address on the web or mail: not checked here
                name, _, fragment = target.partition("#")
                linked = (path.parent / name).resolve() if name else path
                where = f"{path.relative_to(root)}:{number}: {target}"
                if not linked.exists():
                    yield f"{where} (no such file)"
                elif fragment and linked.suffix == ".md":
                    if linked not in cache:
                        cache[linked] = anchors(linked)
                    if fragment not in cache[linked]:
                        yield f"{where} (no such heading)"


def main():
    root = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent).resolve()
    broken = list(broken_links(root))
    for line in broken:
        print(line)
    if broken:
        print(f"{len(broken)} broken links", file=sys.stderr)
        return 1
    print(f"every relative link of {sum(1 for _ in markdown_files(root))} Markdown files resolves")
    return 0


if __name__ == "__main__":
    sys.exit(main())
