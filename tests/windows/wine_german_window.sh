#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# The window under wine in a German Windows (wine takes the language from the locale it
# starts in, LANG and LOCPATH): its title and its buttons are German with no language
# file, and so are its Open dialog (Windows' own) and its Save dialog (Qt's own, with
# Qt's translation built into the program), found by their German titles.
#   wine_german_window.sh EXE [ARGS...]
# Run in a wine session with DISPLAY set; VOSTREL_WINE names the wine loader. With
# VOSTREL_GERMAN_SCREENSHOTS naming a folder, the window and each dialog over it are
# saved there as window.png, open.png and save.png.
set -euo pipefail
# shellcheck source=scripts/lib/wine.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/wine.sh"
die() { echo "German window: $*" >&2; exit 1; }
xdo() { timeout 60 xdotool "$@" || die "xdotool $* failed or timed out"; }

"$VOSTREL_WINE" "$@" &
program=$!
window=$(find_window '^Vostrel Programmiergerät V2\.01 – emulierter Sender, EEPROM in ' 120) || die "no window with the German title"
focus() { xdo windowfocus --sync "$1"; sleep 0.5; }
# The screen where the window and its dialog are, as the user sees them.
picture() {  # name
  [[ -n ${VOSTREL_GERMAN_SCREENSHOTS:-} ]] || return 0
  sleep 1
  import -window root "$VOSTREL_GERMAN_SCREENSHOTS/$1"
}

focus "$window"
picture window.png
# Ctrl+O and Ctrl+S: the dialogs are titled by the German captions of Open and Save.
for dialog in 'ctrl+o|^Öffnen\.\.\.$|open.png' 'ctrl+s|^Speichern\.\.\.$|save.png'; do
  IFS='|' read -r key title name <<<"$dialog"
  focus "$window"
  xdo key "$key"
  shown=$(find_window "$title" 60 "$window") || die "no dialog titled '$title' after $key"
  picture "$name"
  focus "$shown"
  xdo key Escape
  for _ in $(seq 50); do xdotool search --onlyvisible --name "$title" >/dev/null 2>&1 || continue 2; sleep 0.2; done
  die "the dialog '$title' did not close on Escape"
done
# Alt+B: "&Beenden", Exit in German.
focus "$window"
xdo key alt+b
timeout 60 tail --pid="$program" -f /dev/null || die "Alt+B (Beenden) did not end the program"
wait "$program" || die "the program ended with status $?"
echo "German window: title, Open and Save dialogs and Beenden"
