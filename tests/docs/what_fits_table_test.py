#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
"""The guide's table of what a capcode's frame costs (docs/user/en/what-fits.md) against
what `vostrel-cli fit --json` says of sites made for each frame: a tone-only call, a
call with 5 numeric characters, and sixteen tone-only calls of that frame.

Arguments: the chapter, then the command that runs vostrel-cli."""
import json
import pathlib
import re
import subprocess
import sys
import tempfile

CHAPTER = pathlib.Path(sys.argv[1])
CLI = sys.argv[2:]


def table_rows():
    """The frame table's rows: frame, idle codewords, words tone-only, words with 5
    numeric characters, tone-only calls that fit ("all 16" as 16)."""
    rows = []
    for line in CHAPTER.read_text(encoding="utf-8").splitlines():
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        if len(cells) == 5 and re.fullmatch(r"[0-7]", cells[0]):
            rows.append([int(re.sub(r"\D", "", cell)) for cell in cells])
    return rows


def fit(work, rows):
    """fit --json of a configuration of (capcode, tone, message) rows."""
    config = work / "site.conf"
    text = ""
    for number, (capcode, tone, message) in enumerate(rows, 1):
        text += f'[Item{number:02d}]\nCapCode = {capcode}\nTone = {tone}\nMessage = "{message}"\n'
    config.write_text(text, encoding="utf-8")
    done = subprocess.run(CLI + ["fit", "--json", str(config)], capture_output=True, text=True)
    return json.loads(done.stdout)


def main():
    rows = table_rows()
    failures = [] if [row[0] for row in rows] == list(range(8)) else [f"the table's frames: {rows}"]
    with tempfile.TemporaryDirectory() as directory:
        work = pathlib.Path(directory)
        for frame, idle, tone_only, numeric, fitting in rows:
            capcode = 8 + frame
            said = [
                fit(work, [(capcode, "B", "")])["rows"][0]["idle_words"] // 2,
                fit(work, [(capcode, "B", "")])["rows"][0]["words"],
                fit(work, [(capcode, "A", "12345")])["rows"][0]["words"],
                sum(row["stored"] for row in fit(work, [(capcode + 8 * n, "B", "") for n in range(16)])["rows"]),
            ]
            if said != [idle, tone_only, numeric, fitting]:
                failures.append(f"frame {frame}: the guide says {[idle, tone_only, numeric, fitting]}, fit says {said}")
    for failure in failures:
        print(failure)
    print(f"{len(rows)} frames, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
