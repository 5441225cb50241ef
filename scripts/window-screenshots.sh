#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# The README's pictures of the window, taken in Xvfb: docs/window.png (English, 100 %),
# docs/window-200.png (QT_SCALE_FACTOR=2) and docs/window-german.png (the example
# translation), each with the same rows and labels, opened from a configuration by the
# keyboard (the German one imported with Alt+I from the same rows as a site list that
# German Excel saves: ';' and Windows-1252), and docs/airtime.png, one call over 5 s on
# air.
#   scripts/window-screenshots.sh [BUILD-DIR]      default build/release (./run.sh's)
# Needs xvfb, xauth, xdotool and imagemagick.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
programmer="$(realpath "${1:-$here/build/release}")/app/vostrel-programmer-emulated"
[ -x "$programmer" ] || { echo "no $programmer: build it first" >&2; exit 1; }
if [ -z "${SCREENSHOTS_IN_X:-}" ]; then
  exec env SCREENSHOTS_IN_X=1 xvfb-run -a -s "-screen 0 2560x1440x24" "$0" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
{
  echo "[Settings]"
  echo "Preamble = 576"
  for row in $(seq 11); do
    printf '[Item%02d]\nLabel = "Zimmer %d"\nCapCode = %d\nMessage = "12345"\n' "$row" "$row" $((1003 + 8 * row))
  done
  printf '[Item12]\nLabel = "Büro"\nCapCode = 4711\nTone = D\nType = Alphanumeric\nMessage = "Call the office, room 12"\n'
  printf '[Item13]\nLabel = "Küche"\nCapCode = 2097152\nMessage = "12a"\n'
} >"$work/rows.conf"
# The same rows as a site list from German Excel, but for row 13: its capcode is out of
# range, and an import refuses what Write would refuse.
"$(dirname "$programmer")/../cli/vostrel-cli" csv-export "$work/rows.conf" - | sed -e '1s/^\xEF\xBB\xBF//' -e '/^13;/d' |
  iconv -f UTF-8 -t WINDOWS-1252 >"$work/rows.csv"
# One call over 5 s on air: 40 characters at 512 bit/s, preamble 1023, repeat 4.
{
  printf '[Settings]\nDataRate = 512\nPreamble = 1023\nRepeat = 4\n'
  printf '[Item01]\nCapCode = 1234567\nTone = D\nType = Alphanumeric\nMessage = "%s"\n' \
    "Fire alarm in hall 3, leave the building"
} >"$work/airtime.conf"
mkdir -p "$work/german/vostrel-programmer"
cp "$here/docs/kdx20Lang.example.ini" "$work/german/vostrel-programmer/kdx20Lang.ini"
# The file dialogs start in the working directory.
cd "$work"

# shot PICTURE FILE [VARIABLE=VALUE...]: the window in that environment, the file
# opened (a configuration, Ctrl+O) or imported (a site list, Alt+I).
shot() {
  local picture=$1 configuration=$2 pid window dialog key=ctrl+o
  [[ $configuration == *.csv ]] && key=alt+i
  shift 2
  env XDG_CONFIG_HOME="$work/english" XDG_CONFIG_DIRS="$work/none" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=xcb "$@" \
    "$programmer" "$work/eeprom.bin" 2>/dev/null &
  pid=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1)
  xdotool windowfocus --sync "$window" && sleep 0.5
  xdotool key "$key"
  for _ in $(seq 100); do
    dialog=$(xdotool search --onlyvisible --pid "$pid" | grep -vx "$window" | head -n 1 || true)
    [ -n "$dialog" ] && break
    sleep 0.1
  done
  xdotool windowfocus --sync "$dialog" && sleep 0.5
  xdotool type --delay 30 "$configuration" && xdotool key Return && sleep 1
  xdotool windowfocus --sync "$window" && sleep 0.5
  import -window "$window" "$here/docs/$picture"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

shot window.png rows.conf
shot window-200.png rows.conf QT_SCALE_FACTOR=2
shot window-german.png rows.csv XDG_CONFIG_HOME="$work/german"
shot airtime.png airtime.conf
echo "docs/window.png, docs/window-200.png, docs/window-german.png and docs/airtime.png written"
