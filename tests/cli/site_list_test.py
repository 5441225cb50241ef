#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
"""Three sites (tests/cli/sites/*.conf) between configuration and spreadsheet, with
Python's csv and configparser modules as the independent reader and writer:

- csv-export's file, read by Python's csv module, holds exactly the cells the
  configuration (read by configparser) gives;
- the same cells written by Python's csv module in every dialect a spreadsheet saves
  (';' ',' tab x UTF-8, UTF-8 with BOM, Windows-1252 x LF, CRLF, plus sep=; first lines
  with capcodes in the 1234567A form), headings in English or German in another column
  order each time, read back by csv-import give the site's image, and csv-export of
  what was imported gives the site's file byte for byte (labels and all).

Arguments: the command that runs vostrel-cli."""
import configparser
import csv
import pathlib
import subprocess
import sys
import tempfile

CLI = sys.argv[1:]
SITES = sorted((pathlib.Path(__file__).parent / "sites").glob("*.conf"))
ENGLISH = ["Row", "Label", "CapCode", "Tone", "Type", "Message", "Alphabet"]
GERMAN = ["Zeile", "Bezeichnung", "Rufnummer", "Ton", "Typ", "Nachricht", "Alphabet"]
failures = []


def vostrel(*arguments):
    done = subprocess.run(CLI + [str(a) for a in arguments], capture_output=True)
    if done.returncode != 0:
        raise RuntimeError(f"vostrel-cli {' '.join(map(str, arguments))}: {done.stderr.decode(errors='replace')}")
    return done


def unquoted(value):
    """A quoted configuration value with its \\" and \\\\ escapes undone."""
    value = value.strip()[1:-1]
    out, i = "", 0
    while i < len(value):
        if value[i] == "\\":
            i += 1
        out += value[i]
        i += 1
    return out


def expected_cells(site):
    """The site's rows as csv-export must write them: English headings, the Alphabet
    column only when a row's alphabet is not US."""
    parser = configparser.ConfigParser(interpolation=None)
    parser.read_string(site.read_text(encoding="utf-8"))
    shared = parser.get("Settings", "alphabet", fallback="US")
    rows = []
    for section in sorted(s for s in parser.sections() if s.startswith("Item")):
        item = parser[section]
        rows.append([str(int(section[4:])), unquoted(item.get("label", '""')), item.get("capcode", ""),
                     item.get("tone", "A"), item.get("type", "Numeric"), unquoted(item.get("message", '""')),
                     item.get("alphabet", shared)])
    if all(row[6] == "US" for row in rows):
        return [ENGLISH[:6]] + [row[:6] for row in rows]
    return [ENGLISH] + rows


def read_csv(path, delimiter):
    with open(path, encoding="utf-8-sig", newline="") as file:
        return list(csv.reader(file, delimiter=delimiter))


def check(condition, what):
    if not condition:
        failures.append(what)


def check_export(site, work):
    cells = expected_cells(site)
    for delimiter, option in ((";", []), (",", ["--separator", ","]), ("\t", ["--separator", "tab"])):
        out = work / "export.csv"
        vostrel("csv-export", *option, site, out)
        raw = out.read_bytes()
        check(raw.startswith(b"\xef\xbb\xbf") and raw.endswith(b"\r\n"), f"{site.name}: export is not UTF-8 with BOM and CRLF")
        got = read_csv(out, delimiter)
        check(got == cells, f"{site.name} exported with {delimiter!r}: Python reads\n{got}\nexpected\n{cells}")
    return cells


def variants(cells):
    """(name, delimiter, encoding, line end, sep= line, cells) in every dialect; the
    columns rotated and the headings alternately German, so that no order is assumed."""
    number = 0
    for delimiter in (";", ",", "\t"):
        for encoding in ("utf-8", "utf-8-sig", "cp1252"):
            for end in ("\n", "\r\n"):
                yield f"{delimiter!r} {encoding} {end!r}", delimiter, encoding, end, False, arranged(cells, number)
                number += 1
    for encoding in ("utf-8", "utf-8-sig", "cp1252"):
        for end in ("\n", "\r\n"):
            yield f"sep=; {encoding} {end!r}", ";", encoding, end, True, arranged(lettered(cells), number)
            number += 1


def arranged(cells, number):
    width = len(cells[0])
    order = [(i + number) % width for i in range(width)]
    headings = GERMAN if number % 2 else ENGLISH
    header = [headings[ENGLISH.index(cells[0][i])] for i in order]
    return [header] + [[row[i] for i in order] for row in cells[1:]]


def lettered(cells):
    """Capcodes in the fire-brigade form, the letter as the Tone column says."""
    out = [cells[0]]
    for number, row in enumerate(cells[1:]):
        row = list(row)
        if row[2]:
            row[2] += (" " if number % 2 else "") + (row[3].lower() if number % 3 == 0 else row[3])
        out.append(row)
    return out


def check_imports(site, cells, work):
    image = work / "site.bin"
    vostrel("build", site, image)
    vostrel("csv-export", site, work / "site.csv")
    for name, delimiter, encoding, end, sep_line, arranged_cells in variants(cells):
        listed = work / "list.csv"
        with open(listed, "w", encoding=encoding, newline="") as file:
            if sep_line:
                file.write("sep=;" + end)
            csv.writer(file, delimiter=delimiter, lineterminator=end).writerows(arranged_cells)
        imported = work / "imported.conf"
        try:
            vostrel("csv-import", "--settings", site, listed, imported)
            vostrel("build", imported, work / "imported.bin")
            vostrel("csv-export", imported, work / "imported.csv")
        except RuntimeError as error:
            failures.append(f"{site.name} as {name}: {error}")
            continue
        check((work / "imported.bin").read_bytes() == image.read_bytes(), f"{site.name} as {name}: another image")
        check((work / "imported.csv").read_bytes() == (work / "site.csv").read_bytes(),
              f"{site.name} as {name}: exported again, another list")


def main():
    with tempfile.TemporaryDirectory() as directory:
        work = pathlib.Path(directory)
        for site in SITES:
            check_imports(site, check_export(site, work), work)
    for failure in failures:
        print(failure)
    print(f"{len(SITES)} sites, {len(failures)} failures")
    return 1 if failures or len(SITES) != 3 else 0


sys.exit(main())
