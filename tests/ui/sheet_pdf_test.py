#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
"""The site sheet the window exports as PDF (and prints, where it can), read back
with poppler's pdfinfo and pdftotext: for a full German site, one A4 page with the
German headings, the contents fingerprint `vostrel-cli fingerprint` gives and, row by
row in order, each row's label, capcode, tone and what its pager shows (as
`vostrel-cli preview` gives them), umlauts intact; below them the transmitters the
record of Writes says the site went to (and not those of another site), and the
installer's date, name and signature fields.

Arguments: the command that runs vostrel-cli, "--", the command that runs the
window's export program (tests/ui/sheet_pdf_export.cpp)."""
import json
import os
import re
import subprocess
import sys
import tempfile
from pathlib import Path

SEPARATOR = sys.argv.index("--")
CLI, WINDOW = sys.argv[1:SEPARATOR], sys.argv[SEPARATOR + 1:]
SITE = "Gasthof „Zur Post“ Köln"
HEADINGS = ["Anlagenblatt", "Anlage", "Datum", "Datenrate", "Präambel", "Wiederholung", "Pager-Alphabet",
            "Zeile", "Bezeichnung", "Rufnummer", "Ton", "Typ", "Pager zeigt", "In diese Sender geschrieben", "Sender",
            "Anschluss", "Eingerichtet von", "Name", "Unterschrift"]
# The record of Writes beside the backups: two of this site (an older version with another
# fingerprint on the second), one of another site. Fields as files/write_history.h has them.
WRITES = [("2026-03-13 16:20:00", "1-1.3", "1. OG Süd", "", "0BADF00D", SITE),
          ("2026-03-14 09:05:03", "1-1.2", "Erdgeschoss", "000042-20260314-090503-Erdgeschoss.bin", None, SITE),
          ("2026-03-14 09:30:00", "1-1.4", "Keller", "", "DEADBEEF", "Another site")]


def writes_text(fingerprint):
    return "".join("\t".join(fingerprint if field is None else field for field in write) + "\n" for write in WRITES)


def written_to_problems(text, fingerprint):
    # Each of this site's Writes on a line of its own: name, port, day, fingerprint.
    problems = []
    for name, port, day, held in (("Erdgeschoss", "1-1.2", "2026-03-14", fingerprint),
                                  ("1. OG Süd", "1-1.3", "2026-03-13", "0BADF00D")):
        if not re.search(r"^\s*%s\s+%s\s+%s\s+%s\s*$" % tuple(map(re.escape, (name, port, day, held))), text, re.M):
            problems.append("no line for %s: %s %s %s" % (name, port, day, held))
    if "Keller" in text:
        problems.append("another site's transmitter is listed")
    return problems


def config_text():
    # As much as sixteen rows can store: each at frame 0, a quarter of them numeric.
    lines = ["[Settings]", "DataRate = 512", "Preamble = 576", "Repeat = 3", "Alphabet = DE", 'Site = "%s"' % SITE]
    for row in range(1, 17):
        numeric = row % 4 == 0
        message = "%d" % (row * 111) if numeric else "Grüße Tür %02d" % row
        lines += ["[Item%02d]" % row, "Label = \"Tür %02d Küche\"" % row, "CapCode = %d" % (8 * (150000 + row)),
                  "Tone = " + ("A" if numeric else "D"), 'Message = "%s"' % message]
    return "\n".join(lines) + "\n"


def problems_of(pdf, rows, fingerprint):
    if not pdf.is_file():
        return ["%s was not written" % pdf.name]
    info = subprocess.run(["pdfinfo", str(pdf)], check=True, capture_output=True, text=True).stdout
    problems = []
    if not re.search(r"^Pages:\s+1$", info, re.M):
        problems.append("not one page: " + re.search(r"^Pages:.*$", info, re.M).group(0))
    if not re.search(r"^Page size:.*\(A4\)$", info, re.M):
        problems.append("not A4: " + re.search(r"^Page size:.*$", info, re.M).group(0))
    text = subprocess.run(["pdftotext", "-layout", str(pdf), "-"], check=True, capture_output=True).stdout.decode("utf-8")
    problems += ["no heading %r" % heading for heading in HEADINGS if heading not in text]
    for what, wanted in (("site name", SITE), ("fingerprint", fingerprint)):
        if wanted not in text:
            problems.append("no %s %r" % (what, wanted))
    at = 0
    for row in rows:
        # Row by row, in order: the label, the capcode, the tone, what the pager shows.
        for cell in (row["label"], str(row["capcode"]), " %s " % row["tone"], row["shows"].strip()):
            found = text.find(cell, at)
            if found < 0:
                problems.append("row %d: %r not found after the rows before it" % (row["row"], cell))
                break
            at = found + len(cell)
    if len(re.findall(r"\d+,\d\d s", text)) != len(rows) + 1:
        problems.append("not every time on air (16 rows and the total) with a decimal comma")
    return problems + written_to_problems(text, fingerprint)


def main():
    with tempfile.TemporaryDirectory() as directory:
        work = Path(directory)
        config = work / "site.conf"
        config.write_text(config_text(), encoding="utf-8")
        rows = json.loads(subprocess.run(CLI + ["preview", "--json", str(config)], check=True,
                                         capture_output=True).stdout.decode("utf-8"))["rows"]
        fingerprint = subprocess.run(CLI + ["fingerprint", str(config)], check=True, capture_output=True,
                                     text=True).stdout.split()[0]
        exported, printed = work / "exported.pdf", work / "printed.pdf"
        writes = work / "writes.tsv"
        writes.write_text(writes_text(fingerprint), encoding="utf-8")
        environment = dict(os.environ, VOSTREL_SHEET_CONFIG=str(config), VOSTREL_SHEET_PDF=str(exported),
                           VOSTREL_SHEET_PRINTED=str(printed), VOSTREL_SHEET_WRITES=str(writes))
        window = subprocess.run(WINDOW, env=environment, capture_output=True, text=True)
        if window.returncode != 0:
            print(window.stdout + window.stderr)
            return 1
        problems = [] if len(rows) == 16 else ["preview lists %d rows, not 16" % len(rows)]
        problems += ["exported: " + p for p in problems_of(exported, rows, fingerprint)]
        # Print... exists where Qt has print support; the export program prints then.
        was_printed = printed.exists()
        if was_printed:
            problems += ["printed: " + p for p in problems_of(printed, rows, fingerprint)]
    for problem in problems:
        print(problem)
    if not problems:
        print("the window's site sheet is one A4 page with every row in order, in German, exported%s" %
              (" and printed" if was_printed else " (this Qt cannot print)"))
    return 1 if problems else 0


sys.exit(main())
