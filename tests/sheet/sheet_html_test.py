#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
"""The site sheet `vostrel-cli sheet` writes for a full German site: HTML in which
Python's html.parser finds every element closed, self-contained, lang="de", its words
German (decimal comma included), today's date as German writes it (by Python's
datetime), the fingerprint `fingerprint` prints, and row for row the cells `preview`
prints, labels included.

Arguments: the language (de, or a language file), then the command that runs
vostrel-cli."""
import datetime
import json
import os
import re
import subprocess
import sys
import tempfile
from html.parser import HTMLParser
from pathlib import Path

LANGUAGE = sys.argv[1]
CLI = sys.argv[2:]
VOID = {"meta", "br", "hr", "img", "link", "input", "col", "wbr"}
SITE = 'Gasthof <Zur Post> & Söhne "Nord"'


class Sheet(HTMLParser):
    """The page's structure and cells; `problems` lists what is not well-formed."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.open, self.problems, self.tags = [], [], set()
        self.text = {"h1": "", "title": ""}
        self.tables = {}  # class -> rows of cell texts
        self.cell = None

    def handle_starttag(self, tag, attributes):
        self.tags.add(tag)
        if tag == "html":
            self.language = dict(attributes).get("lang")
        if tag == "meta" and ("charset", "utf-8") not in attributes:
            self.problems.append("a meta element that is not charset utf-8")
        if any(name in ("src", "href") for name, _ in attributes):
            self.problems.append("<%s> fetches something" % tag)
        if tag in VOID:
            return
        self.open.append((tag, dict(attributes)))
        if tag == "table":
            self.tables[self.open[-1][1].get("class")] = []
        elif tag == "tr":
            self.current_table().append([])
        elif tag in ("td", "th"):
            self.cell = ""

    def handle_endtag(self, tag):
        if not self.open or self.open[-1][0] != tag:
            self.problems.append("</%s> closes %s" % (tag, self.open[-1][0] if self.open else "nothing"))
            return
        self.open.pop()
        if tag in ("td", "th"):
            self.current_table()[-1].append(self.cell)
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data
        elif self.open and self.open[-1][0] in self.text:
            self.text[self.open[-1][0]] += data

    def current_table(self):
        return self.tables[next(a.get("class") for t, a in reversed(self.open) if t == "table")]


def cli(*arguments):
    return subprocess.run(CLI + list(arguments), check=True, capture_output=True).stdout.decode("utf-8")


def config_text():
    lines = ["[Settings]", "DataRate = 512", "Preamble = 576", "Repeat = 3", "Alphabet = DE",
             'Site = "%s"' % SITE.replace('"', '\\"')]
    # As much as sixteen rows can store: each at frame 0, a quarter of them numeric.
    for row in range(1, 17):
        numeric = row % 4 == 0
        message = "%d" % (row * 111) if numeric else "Grüße Tür %02d" % row
        lines += ["[Item%02d]" % row, "CapCode = %d" % (8 * (150000 + row)), "Tone = " + ("A" if numeric else "D"),
                  'Message = "%s"' % message]
        if row != 16:  # a row without a label leaves its cell empty
            lines.append('Label = "Küche & Saal <%02d>"' % row)
    return "\n".join(lines) + "\n"


def main():
    problems = []
    with tempfile.TemporaryDirectory() as directory:
        config, page = Path(directory) / "site.conf", Path(directory) / "site.html"
        config.write_text(config_text(), encoding="utf-8")
        preview = json.loads(cli("preview", "--json", str(config)))["rows"]
        version = cli("--version").split()[-1]
        fingerprint = cli("fingerprint", str(config)).split()[0]
        # The record of Writes beside the backups (files/write_history.h): the site on a
        # named transmitter, another site on another.
        backups = Path(directory) / "data" / "vostrel-programmer" / "backups"
        backups.mkdir(parents=True)
        (backups / "writes.tsv").write_text(
            "2026-03-14 09:05:03\t1-1.2\tErdgeschoss\t\t%s\t%s\n2026-03-14 09:30:00\t1-1.4\tKeller\t\t0BADF00D\tB\n"
            % (fingerprint, SITE), encoding="utf-8")
        os.environ["XDG_DATA_HOME"] = str(Path(directory) / "data")
        days = [datetime.date.today()]
        cli("sheet", "--language", LANGUAGE, str(config), str(page))
        days.append(datetime.date.today())  # the sheet may have been made either side of midnight
        html = page.read_bytes().decode("utf-8")  # UTF-8 or an exception

    sheet = Sheet()
    sheet.feed(html)
    sheet.close()
    problems += sheet.problems
    problems += ["<%s> is never closed" % tag for tag, _ in sheet.open]
    problems += ["a <%s> element" % tag for tag in sheet.tags & {"script", "iframe", "object", "embed"}]

    expect = lambda what, actual, wanted: actual == wanted or problems.append("%s: %r, not %r" % (what, actual, wanted))
    expect("page heading", sheet.text["h1"], "Anlagenblatt")
    expect("language", getattr(sheet, "language", None), "de")
    expect("title", sheet.text["title"], "Anlagenblatt \u2013 " + SITE)
    settings = {line[i]: line[i + 1] for line in sheet.tables.get("settings", []) for i in range(0, len(line), 2)
                if line[i]}  # a last line of one setting ends in empty cells
    expect("settings", settings, {"Anlage": SITE, "Datum": settings.get("Datum"), "Datenrate": "512 Bit/s",
                                  "Präambel": "576 Bit", "Wiederholung": "3 mal",
                                  "Pager-Alphabet": "Deutsch (DIN 66003)",
                                  "Fingerabdruck des Inhalts": fingerprint,
                                  "Sendezeit je Auslösung, alle Zeilen": settings.get(
                                      "Sendezeit je Auslösung, alle Zeilen")})
    expect("date", settings.get("Datum") in [day.strftime("%d.%m.%Y") for day in days], True)
    rows = sheet.tables.get("rows", [[]])
    expect("row headings", rows[0],
           ["Zeile", "Bezeichnung", "Rufnummer", "Ton", "Typ", "Pager zeigt", "Sendezeit je Auslösung"])
    german_type = {"Numeric": "Numerisch", "Alphanumeric": "Alphanumerisch"}
    expect("rows (number, label, capcode, tone, type, what the pager shows)", [line[:6] for line in rows[1:]],
           [[str(r["row"]), r.get("label", ""), str(r["capcode"]), r["tone"], german_type[r["type"]], r["shows"]]
            for r in preview])
    expect("rows", len(preview), 16)
    expect("labels", sum(1 for r in preview if "label" in r), 15)
    seconds = [line[6] for line in rows[1:]] + [settings.get("Sendezeit je Auslösung, alle Zeilen", "")]
    expect("seconds with a decimal comma", [s for s in seconds if not re.fullmatch(r"\d+,\d\d s", s)], [])
    # Natively, where XDG_DATA_HOME is the data folder (wine keeps its own).
    if len(CLI) == 1:
        expect("written to", sheet.tables.get("written"),
               [["Sender", "Anschluss", "Datum", "Fingerabdruck des Inhalts"],
                ["Erdgeschoss", "1-1.2", "2026-03-14", fingerprint]])
    expect("installer's fields", sheet.tables.get("signature", [[]])[0], ["Datum", "", "Name", "", "Unterschrift", ""])
    expect("footer", re.search(r'<p class="footer">([^<]*)</p>', html).group(1),
           "Erstellt mit Vostrel programmer " + version)

    for problem in problems:
        print(problem)
    if not problems:
        print("the sheet is well-formed HTML with the German words and preview's cells for all 16 rows")
    return 1 if problems else 0


sys.exit(main())
