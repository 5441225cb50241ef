#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# Renders configurations as audio with vostrel-cli and checks that an independent
# POCSAG decoder (multimon-ng) receives every item with the address, function and
# text that was configured, at all three rates.
# Arguments: the command that runs vostrel-cli (an emulator and the program, or the program alone).
set -euo pipefail
cli=("$@")
command -v multimon-ng >/dev/null || { echo "multimon-ng is not installed (./test.sh installs it)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

item() {  # row capcode tone type message
  printf '[Item%02d]\nCapCode = %s\nTone = %s\nType = %s\nMessage = "%s"\n' "$@"
}

# Every frame 0-7, alternating numeric and alphanumeric rows.
{
  echo "[Settings]"; echo "Repeat = 1"
  item 1 8000 A Numeric "12345"
  item 2 16001 D Alphanumeric "Frame 1"
  item 3 24002 A Numeric "222"
  item 4 32003 D Alphanumeric "Frame 3"
  item 5 40004 A Numeric "4444"
  item 6 48005 D Alphanumeric "Frame 5"
  item 7 56006 A Numeric "6"
  item 8 2097151 D Alphanumeric "Frame 7"
} >"$work/frames.conf"
frames_expected="8000|0|12345
16001|3|Frame 1
24002|0|222
32003|3|Frame 3
40004|0|4444
48005|3|Frame 5
56006|0|6
2097151|3|Frame 7"

# Every numeric character, 40 alphanumeric characters across the batch boundary,
# tone-only calls and a 20-character numeric message.
{
  echo "[Settings]"; echo "Repeat = 1"
  item 1 1234567 A Numeric "0123456789SU -[]"
  item 2 1234575 D Alphanumeric "Forty characters cross into batch two!!!"
  item 3 77 B Numeric ""
  item 4 78 C Numeric ""
  item 5 2000001 A Numeric "12345678901234567890"
  item 9 9 D Alphanumeric "abc"
} >"$work/content.conf"
# The decoder shows numeric code 0xA as '.', where this system shows 'S'.
content_expected="1234567|0|0123456789.U -[]
1234575|3|Forty characters cross into batch two!!!
77|1|
78|2|
2000001|0|12345678901234567890
9|3|abc"

# One line per call: address|function|text, without the numeric blank fill and the
# alphanumeric zero fill.
received() {
  sed -E -e 's/^POCSAG[0-9]+: Address: +([0-9]+) +Function: ([0-3]) *((Numeric|Alpha): +)?/\1|\2|/' \
         -e 's/(<NUL>)+$//' -e 's/ +$//' "$1"
}

failed=0
for rate in 512 1200 2400; do
  for case in frames content; do
    "${cli[@]}" audio --rate "$rate" "$work/$case.conf" "$work/$case.wav"
    tail -c +45 "$work/$case.wav" >"$work/$case.raw"
    multimon-ng -q -t raw -a POCSAG512 -a POCSAG1200 -a POCSAG2400 "$work/$case.raw" >"$work/$case.out" 2>/dev/null
    if grep -v "^POCSAG$rate:" "$work/$case.out" | grep -q .; then
      echo "$case at $rate bps was also decoded at another rate:"; cat "$work/$case.out"; failed=1
    fi
    expected_var="${case}_expected"
    if ! diff <(printf '%s\n' "${!expected_var}") <(received "$work/$case.out"); then
      echo "$case at $rate bps: decoded calls differ (< configured, > received)"; failed=1
    fi
  done
done

# Repeat sends each transmission again behind its own preamble.
"${cli[@]}" audio --rate 1200 --repeat 3 "$work/content.conf" "$work/repeat.wav"
tail -c +45 "$work/repeat.wav" >"$work/repeat.raw"
multimon-ng -q -t raw -a POCSAG1200 "$work/repeat.raw" >"$work/repeat.out" 2>/dev/null
calls=$(grep -c "Address: *1234575 " "$work/repeat.out" || true)
[ "$calls" -eq 3 ] || { echo "--repeat 3 gave $calls calls"; failed=1; }

# National pager alphabets: the text typed for a row of that alphabet is what a pager
# showing it receives. multimon-ng's charsets stand for such pagers (its name for the
# Slovenian/Croatian/Serbian alphabet is SI); it has no Danish one, so Danish goes
# through the project's own decode instead.
for case in "DE|DE|Grüße aus Köln" "SE|SE|Hej på dig, Åsa" "FR|FR|Voilà, c'est réglé" "YU|SI|Čaj, šećer, žito"; do
  IFS='|' read -r alphabet charset message <<<"$case"
  { echo "[Settings]"; echo "Repeat = 1"; echo "Alphabet = $alphabet"; item 1 8 D Alphanumeric "$message"; } >"$work/national.conf"
  "${cli[@]}" audio "$work/national.conf" "$work/national.wav"
  tail -c +45 "$work/national.wav" >"$work/national.raw"
  multimon-ng -q -t raw -a POCSAG1200 -C "$charset" "$work/national.raw" >"$work/national.out" 2>/dev/null
  if ! diff <(printf '8|3|%s\n' "$message") <(received "$work/national.out"); then
    echo "$alphabet through multimon-ng -C $charset: decoded call differs (< configured, > received)"; failed=1
  fi
done
{ echo "[Settings]"; echo "Alphabet = DK"; item 1 8 D Alphanumeric "Blåbærgrød på Ærø"; } >"$work/danish.conf"
"${cli[@]}" build "$work/danish.conf" "$work/danish.bin"
shows() {  # alphabet message: decoding the Danish image with the alphabet shows the message
  "${cli[@]}" decode --alphabet "$1" "$work/danish.bin" | tr -d '\r' | grep -xF "Message = \"$2\"" >/dev/null ||
    { echo "Danish image decoded with $1 does not show '$2'"; failed=1; }
}
shows DK "Blåbærgrød på Ærø"
shows US "Bl}b{rgr|d p} [r|"

# A row whose words hold a further address after its message (another program's, or
# damage): the pagers multimon-ng hears called are the row's and those decode names.
{ echo "[Settings]"; echo "Repeat = 1"; item 1 8 D Alphanumeric "HI"; } >"$work/hidden.conf"
"${cli[@]}" build "$work/hidden.conf" "$work/hidden.bin"
further=$("${cli[@]}" encode --capcode 9 --tone A --numeric | tr -d '\r' | sed -n 4p)
python3 - "$work/hidden.bin" "$further" <<'PYTHON'
import sys
path, address = sys.argv[1], int(sys.argv[2], 16)
image = bytearray(open(path, "rb").read())
start, end = image[2], image[3]  # row 1: sync, address of 8, "HI", closing idle
idle = int.from_bytes(image[2 * end - 4:2 * end - 2], "little") << 16 | int.from_bytes(image[2 * end - 2:2 * end], "little")
for at, codeword in ((end - 2, address), (end, idle)):  # frame 1 is the batch's fourth codeword
    for half, word in enumerate((codeword >> 16, codeword & 0xFFFF)):
        image[2 * (at + half):2 * (at + half) + 2] = word.to_bytes(2, "little")
image[3] = end + 2
open(path, "wb").write(image)
PYTHON
"${cli[@]}" audio "$work/hidden.bin" "$work/hidden.wav" 2>/dev/null
tail -c +45 "$work/hidden.wav" >"$work/hidden.raw"
multimon-ng -q -t raw -a POCSAG1200 "$work/hidden.raw" >"$work/hidden.out" 2>/dev/null
heard=$(received "$work/hidden.out" | cut -d'|' -f1 | sort -n | paste -sd' ')
named=$("${cli[@]}" decode "$work/hidden.bin" 2>&1 >/dev/null | tr -d '\r' |
        sed -nE 's/^Item\[01\] also holds an address for capcode ([0-9]+),.*/\1/p')
[ "$heard" = "8 $named" ] && [ "$named" = 9 ] ||
  { echo "multimon-ng heard capcodes '$heard'; decode named the further address '$named'"; failed=1; }

[ $failed -eq 0 ] && echo "multimon-ng received every call as configured"
exit $failed
