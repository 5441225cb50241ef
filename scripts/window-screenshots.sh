#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# The user guide's pictures of the window (docs/user/images/), taken in Xvfb: window.png
# (English, 100 %), window-200.png (QT_SCALE_FACTOR=2) and window-german.png (a German
# locale, which the window takes its built-in German from), each with the same rows and labels, opened from a configuration
# by the keyboard (the German one imported with Alt+I from the same rows as a site list
# that German Excel saves: ';' and Windows-1252), airtime.png, one call over 5 s on air,
# preview.png and preview-german.png, a row's message box telling what its pager shows,
# and sheet-german.png and sheet.png, the site sheet the window exports as PDF (with the
# two transmitters a record of Writes says the site went to), drawn by pdftoppm, and
# what-fits-rows.png, what-fits-warning.png and what-fits-written.png (and each
# -german): a restaurant's sixteen guest pagers, the rows left out tinted with row 12's
# tooltip, the warning before the Write, and its result. With a build tree that has the
# fake transmitter (a test build) and as root, also chooser.png: the real programmer,
# holding the first one's rows, asking which of two named fake transmitters to read.
#   scripts/window-screenshots.sh [BUILD-DIR]      default build/release (./run.sh's)
#   SCREENSHOTS_ONLY=what_fits_both scripts/window-screenshots.sh   one group of pictures
# Needs xvfb, xauth, xdotool, imagemagick and poppler-utils.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
pictures="$here/docs/user/images"
build="$(realpath "${1:-$here/build/release}")"
programmer="$build/app/vostrel-programmer-emulated"
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
# A small site: a numeric pager's padding, German pagers, one US pager whose umlauts
# are sent transliterated, a tone-only call.
{
  printf '[Settings]\nPreamble = 576\nAlphabet = DE\nTransliterate = yes\nSite = "Gasthof Zur Post"\n'
  printf '[Item01]\nLabel = "Theke"\nCapCode = 1234560\nMessage = "123"\n'
  printf '[Item02]\nLabel = "Service Saal"\nCapCode = 1234568\nTone = D\nMessage = "K\xc3\xbcche: Tisch 4 ist fertig"\n'
  printf '[Item03]\nLabel = "Zimmerservice"\nCapCode = 1234576\nTone = D\nMessage = "Bitte zur Rezeption"\n'
  printf '[Item04]\nLabel = "Hausmeister"\nCapCode = 1234584\nTone = B\n'
  printf '[Item05]\nLabel = "Chef (alter Pager)"\nCapCode = 1234592\nTone = D\nAlphabet = US\n'
  printf 'Message = "Gr\xc3\xbc\xc3\x9fe an das B\xc3\xbcro"\n'
  printf '[Item06]\nLabel = "K\xc3\xbcche"\nCapCode = 1234600\nMessage = "-112"\n'
} >"$work/site.conf"
# A restaurant's sixteen guest pagers as the vendor delivers them, capcodes 100001 to
# 100016, the table numbers as messages: rows 12 to 16 do not fit.
{
  printf '[Settings]\nSite = "Restaurant am See"\n'
  for row in $(seq 16); do
    printf '[Item%02d]\nLabel = "Tisch %d"\nCapCode = %d\nMessage = "%d"\n' "$row" "$row" $((100000 + row)) "$row"
  done
} >"$work/restaurant.conf"
# Where the small site went, as the record of Writes beside the backups keeps it
# (files/write_history.h): the ground floor's and the first floor's transmitters.
site_fingerprint=$("$(dirname "$programmer")/../cli/vostrel-cli" fingerprint "$work/site.conf" | cut -f1 -d' ')
mkdir -p "$work/data/vostrel-programmer/backups"
printf '%s\t%s\t%s\t%s\t%s\t%s\n' \
  "2026-03-14 09:05:03" 1-1.2 Erdgeschoss 000041-20260314-090503-Erdgeschoss.bin "$site_fingerprint" "Gasthof Zur Post" \
  "2026-03-14 09:12:40" 1-1.3 "1. OG" 000042-20260314-091240-1-OG.bin "$site_fingerprint" "Gasthof Zur Post" \
  >"$work/data/vostrel-programmer/backups/writes.tsv"
# The file dialogs start in the working directory.
cd "$work"

# dialog: the window the program opened beside its main one, focused; sets other.
dialog() {
  for _ in $(seq 100); do
    other=$(xdotool search --onlyvisible --pid "$pid" | grep -vx "$window" | head -n 1 || true)
    [ -n "$other" ] && break
    sleep 0.1
  done
  xdotool windowfocus --sync "$other" && sleep 0.5
}

# start FILE [VARIABLE=VALUE...]: the window in that environment (English unless it
# names a locale), the file opened (a configuration, Ctrl+O) or imported (a site list,
# Alt+I) by the keyboard; sets pid and window.
start() {
  local configuration=$1 key=ctrl+o
  [[ $configuration == *.csv ]] && key=alt+i
  shift
  env XDG_CONFIG_HOME="$work/english" XDG_CONFIG_DIRS="$work/none" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=xcb \
    LANG=C.UTF-8 LANGUAGE= LC_ALL= LC_MESSAGES= VOSTREL_LANGUAGE= "$@" "$programmer" "$work/eeprom.bin" 2>/dev/null &
  pid=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1)
  xdotool windowfocus --sync "$window" && sleep 0.5
  xdotool key "$key"
  dialog
  xdotool type --delay 30 "$work/$configuration" && xdotool key Return && sleep 1
  xdotool windowfocus --sync "$window" && sleep 0.5
}

stop() {
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

# point X Y: the mouse to that place of the design (780 x 484: Unit1.ui's 632 and the
# label column's 148), in proportion to the window, whose columns widen to fit its
# texts: the points used lie well inside their controls, where it still lands.
point() {
  local WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove --window "$window" $(($1 * WIDTH / 780)) $(($2 * HEIGHT / 484))
}

# shot PICTURE CONFIGURATION [VARIABLE=VALUE...]: the window with the configuration.
shot() {
  local picture=$1
  shift
  start "$@"
  import -window "$window" "$pictures/$picture"
  stop
}

# preview PICTURE [VARIABLE=VALUE...]: the site, the mouse resting on row 5's message
# box, and the tooltip below it in the picture.
preview() {
  local picture=$1 X Y WIDTH HEIGHT
  shift
  start site.conf "$@"
  point 330 140 && sleep 2
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$pictures/$picture"
  stop
}

# sheet PICTURE [VARIABLE=VALUE...]: the site's sheet, exported by the window's Site
# sheet button: its menu's first command, the site's name as the file gives it, then
# the file's name; drawn by pdftoppm.
sheet() {
  local picture=$1
  shift
  rm -f "$work/site.pdf"
  start site.conf "$@"
  point 728 469 && xdotool click 1 && sleep 1
  xdotool key Down Return
  dialog
  xdotool key Return
  dialog
  xdotool type --delay 30 "$work/site.pdf" && xdotool key Return
  for _ in $(seq 100); do [ -s "$work/site.pdf" ] && break; sleep 0.1; done
  stop
  pdftoppm -r 70 -png -singlefile "$work/site.pdf" "$pictures/${picture%.png}"
}

# what_fits [-german VARIABLE=VALUE...]: the restaurant, the rows left out with the
# mouse resting on row 12's capcode box and its tooltip over the rows; then Write's
# warning and, answered with Write (Alt+W, or Alt+S in German), its result.
what_fits() {
  local suffix=${1:-} write=alt+w X Y WIDTH HEIGHT
  shift || true
  [ "$suffix" = -german ] && write=alt+s
  start restaurant.conf "$@"
  point 76 308 && sleep 2
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$pictures/what-fits-rows$suffix.png"
  xdotool mousemove 0 0
  xdotool key "$write"
  dialog
  import -window "$other" "$pictures/what-fits-warning$suffix.png"
  xdotool key "$write"
  dialog
  import -window "$other" "$pictures/what-fits-written$suffix.png"
  stop
  rm -f "$work/eeprom.bin"
}

sheets() {
  sheet sheet.png
  sheet sheet-german.png LANG=de_DE.UTF-8
}

what_fits_both() {
  what_fits
  what_fits -german LANG=de_DE.UTF-8
}

# The real programmer against two fake transmitters holding two sites, its Read asking
# which one; run inside the fake's namespace (see tests/fake_transmitter/).
# The real programmer against two named fake transmitters holding two sites, the window
# holding the first one's (CHOOSER_SITE), its Read asking which one; run inside the
# fake's namespace (see tests/fake_transmitter/).
chooser_shot() {
  local pid window
  XDG_CONFIG_HOME="$work/english" "$build/cli/vostrel-cli" name --device 1-1.2 Erdgeschoss >/dev/null
  XDG_CONFIG_HOME="$work/english" "$build/cli/vostrel-cli" name --device 1-1.3 "1. OG" >/dev/null
  env XDG_CONFIG_HOME="$work/english" XDG_CONFIG_DIRS="$work/none" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=xcb \
    LANG=C.UTF-8 LANGUAGE= LC_ALL= LC_MESSAGES= VOSTREL_LANGUAGE= "$build/app/vostrel-programmer" "$CHOOSER_SITE" 2>/dev/null &
  pid=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1)
  xdotool windowfocus --sync "$window" && sleep 0.5
  xdotool key alt+r
  dialog
  xdotool key Down && sleep 0.5
  # The dialog over the window, as the user sees them.
  import -window root -crop "$(xwininfo -id "$window" | awk '/Width/ {w=$2} /Height/ {h=$2} /Absolute upper-left X/ {x=$4}
    /Absolute upper-left Y/ {y=$4} END {printf "%dx%d+%d+%d", w, h, x, y}')" "$pictures/chooser.png"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

if [ -n "${CHOOSER_SHOT:-}" ]; then
  chooser_shot
  exit
fi
if [ -n "${SCREENSHOTS_ONLY:-}" ]; then
  "$SCREENSHOTS_ONLY"
  exit
fi
shot window.png rows.conf
shot window-200.png rows.conf QT_SCALE_FACTOR=2
shot window-german.png rows.csv LANG=de_DE.UTF-8
shot airtime.png airtime.conf
preview preview.png
preview preview-german.png LANG=de_DE.UTF-8
sheets
what_fits_both
echo "window.png, window-200.png, window-german.png, airtime.png, preview.png, preview-german.png," \
     "sheet.png, sheet-german.png and what-fits-*.png written to docs/user/images/"
fake="$build/tests/fake_transmitter/fake_transmitter"
if [ -x "$fake" ] && [ "$(id -u)" -eq 0 ]; then
  printf '[Item01]\nCapCode = 8\nTone = D\nMessage = "Kitchen"\n[Item02]\nCapCode = 16\nMessage = "112"\n' \
    >"$work/first.conf"
  printf '[Settings]\nDataRate = 512\n[Item01]\nCapCode = 1234\nTone = D\nMessage = "Workshop"\n' >"$work/second.conf"
  "$build/cli/vostrel-cli" build "$work/first.conf" "$work/first.bin" >/dev/null
  "$build/cli/vostrel-cli" build "$work/second.conf" "$work/second.bin" >/dev/null
  "$here/tests/fake_transmitter/with_fake_transmitter.sh" "$fake" --eeprom "$work/first.bin" \
    --also --eeprom "$work/second.bin" -- env CHOOSER_SHOT=1 CHOOSER_SITE="$work/first.conf" "$here/scripts/window-screenshots.sh" "$build"
  echo "docs/user/images/chooser.png written"
fi
