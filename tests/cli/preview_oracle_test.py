#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
"""What `vostrel-cli preview` says each pager shows, row by row for every pager
alphabet, against an independent decoder: multimon-ng's decode of what
`vostrel-cli audio` sends, for the alphabets multimon-ng knows; `vostrel-cli decode
--alphabet` of the built image for the others.

Arguments: the command that runs vostrel-cli (an emulator and the program, or the
program alone)."""
import json
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

CLI = sys.argv[1:]

# name, multimon-ng's charset (None where it has none), and the characters the
# alphabet shows at its twelve national codes 0x23 0x24 0x40 0x5B-0x5E 0x60 0x7B-0x7E.
ALPHABETS = [
    ("US", "US", "#$@[\\]^`{|}~"),
    ("DE", "DE", "#$§ÄÖÜ^`äöüß"),
    ("DK", None, "#$@ÆØÅ^`æøå~"),
    ("NO", None, "#$@ÆØÅ^`æøå‾"),
    ("SE", "SE", "#¤@ÄÖÅ^`äöå‾"),
    ("FR", "FR", "£$à°ç§^µéùè¨"),
    ("ES", None, "£$§¡Ñ¿^`°ñç~"),
    ("IT", None, "£$§°çé^ùàòèì"),
    ("YU", "SI", "#$ŽŠĐĆČžšđćč"),
]

# Where multimon-ng's tables differ from the standards: it keeps @ $ ~ \ | where
# ISO 646 has § ¤ ‾ Đ đ, its French table has # at 0x23 and £ at 0x24, and on
# numeric pagers it shows code 0xA as '.' where this system shows 'S'.
MULTIMON_ALPHA = {
    "US": {},
    "DE": {"§": "@"},
    "SE": {"¤": "$", "‾": "~"},
    "FR": {"£": "#", "$": "£"},
    "SI": {"Đ": "\\", "đ": "|"},
}
MULTIMON_NUMERIC = {"S": "."}

# Every row is typed the same on every alphabet, with transliteration on; NATIONAL
# stands for the alphabet's own twelve national characters.
NATIONAL = object()
ROWS = [
    # capcode, tone, type, message
    (8000, "A", "Numeric", "123"),  # arrives padded to five: "123  "
    (1234567, "A", "Numeric", "0123456789SU -[]"),  # every numeric character, frame 7
    (16001, "D", "Alphanumeric", NATIONAL),  # each national code, as the alphabet shows it
    (24002, "D", "Alphanumeric", "Grüße aus Köln, Ærø, Voilà, Čaj, Señor"),  # kept or transliterated
    (32003, "D", "Alphanumeric", "Ring\a, \x1b(0 end\x7f"),  # control codes, shown by name
    (40004, "B", "Numeric", ""),  # tone only: nothing to show
    (2097151, "D", "Alphanumeric", "Forty characters cross into batch two!!!"),  # frame 7, two batches
]

CONTROL_NAMES = {0x07: "<BEL>", 0x1B: "<ESC>", 0x7F: "<DEL>"}


def config_text(alphabet, national):
    def quoted(text):
        out = ""
        for c in text:
            if c in '"\\':
                out += "\\" + c
            elif ord(c) < 0x20 or ord(c) == 0x7F:
                out += "\\x%02X" % ord(c)
            else:
                out += c
        return '"' + out + '"'

    lines = ["[Settings]", "Repeat = 1", "Alphabet = " + alphabet, "Transliterate = yes"]
    for row, (capcode, tone, kind, message) in enumerate(ROWS, start=1):
        text = national if message is NATIONAL else message
        lines += ["[Item%02d]" % row, "CapCode = %d" % capcode, "Tone = " + tone, "Type = " + kind,
                  "Message = " + quoted(text)]
    return "\n".join(lines) + "\n"


def cli(*arguments):
    return subprocess.run(CLI + list(arguments), check=True, capture_output=True, text=True).stdout


def previewed(config):
    return [(row["capcode"], row["type"], row["shows"]) for row in json.loads(cli("preview", "--json", config))["rows"]]


def received_by_multimon(config, charset, work):
    wav = work / "calls.wav"
    cli("audio", config, str(wav))
    raw = wav.read_bytes()[44:]
    out = subprocess.run(["multimon-ng", "-q", "-t", "raw", "-a", "POCSAG1200", "-C", charset, "-"],
                         input=raw, check=True, capture_output=True).stdout.decode("utf-8")
    calls = []
    for line in out.splitlines():
        match = re.match(r"POCSAG1200: Address: +(\d+) +Function: \d(.*)$", line)
        if not match:
            raise AssertionError("unexpected multimon-ng line: " + line)
        rest = match.group(2)
        if rest.startswith("  Numeric: "):
            text = rest[len("  Numeric: "):]
        elif rest.startswith("  Alpha:   "):
            text = re.sub(r"(<NUL>)+$", "", rest[len("  Alpha:   "):])  # the zero fill
        else:
            text = ""
        calls.append((int(match.group(1)), text))
    return calls


def as_multimon_shows(rows, charset):
    table = str.maketrans(MULTIMON_ALPHA[charset])
    numeric = str.maketrans(MULTIMON_NUMERIC)
    return [(capcode, shows.translate(numeric if kind == "Numeric" else table)) for capcode, kind, shows in rows]


def decoded(config, alphabet, work):
    image = work / "calls.bin"
    cli("build", config, str(image))
    calls = []
    for section in cli("decode", "--alphabet", alphabet, str(image)).split("\n\n")[1:]:
        capcode = int(re.search(r"^CapCode = (\d+)$", section, re.M).group(1))
        message = re.search(r'^Message = "(.*)"$', section, re.M).group(1)
        text = re.sub(r'\\x([0-9A-F]{2})|\\(["\\])',
                      lambda m: chr(int(m.group(1), 16)) if m.group(1) else m.group(2), message)
        calls.append((capcode, "".join(CONTROL_NAMES.get(ord(c), c) for c in text)))
    return calls


def main():
    if shutil.which("multimon-ng") is None:
        print("multimon-ng is not installed (./test.sh installs it)")
        return 1
    failed = False
    with tempfile.TemporaryDirectory() as directory:
        work = Path(directory)
        config = str(work / "calls.conf")
        for alphabet, charset, national in ALPHABETS:
            Path(config).write_text(config_text(alphabet, national), encoding="utf-8")
            rows = previewed(config)
            if charset:
                oracle, expected = "multimon-ng -C " + charset, as_multimon_shows(rows, charset)
                received = received_by_multimon(config, charset, work)
            else:
                oracle, expected = "decode --alphabet " + alphabet, [(c, shows) for c, _, shows in rows]
                received = decoded(config, alphabet, work)
            if len(rows) != len(ROWS) or expected != received:
                failed = True
                print("%s: preview differs from %s (capcode, text)" % (alphabet, oracle))
                for want, got in zip(expected, received):
                    if want != got:
                        print("  preview  %r\n  received %r" % (want, got))
    if not failed:
        print("preview shows what %d alphabets' pagers receive, row for row" % len(ALPHABETS))
    return 1 if failed else 0


sys.exit(main())
