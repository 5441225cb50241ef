#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# The Windows ZIP as a portable copy, as on an installer's USB stick: unpacked into a
# folder whose name has blanks and letters beyond ASCII, with portable.ini beside the
# programs. The emulated window writes a row (its EEPROM file and the Write's backup go
# beside the programs) and saves the rows (the settings file with the recent files goes
# there too); the translation beside the programs is read, not the one in the user's
# %APPDATA%. Afterwards the prefix's files and registry are as before: nothing of the
# tool is in them.
#   wine_portable_check.sh UNPACKED-ZIP-FOLDER
# Run with DISPLAY set (xvfb-run), WINEPREFIX naming a prefix of this check's own,
# VOSTREL_WINE the wine loader and WINEDLLOVERRIDES as the tests set it.
set -euo pipefail
unpacked=$1
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=scripts/lib/wine.sh
source "$here/../../scripts/lib/wine.sh"
export WINEDEBUG=-all
wine=$VOSTREL_WINE
fail() { echo "FAIL (portable): $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'end_session; rm -rf "$work"' EXIT
[[ -f $WINEPREFIX/system.reg ]] || timeout 300 "$wine" wineboot --init >/dev/null 2>&1
end_session

# A translation in the user's own folder, which a portable copy must not read.
appdata=$(user_folder APPDATA)
mkdir -p "$appdata/vostrel-programmer"
printf '[Message]\nData write completed=from APPDATA\n' >"$appdata/vostrel-programmer/kdx20Lang.ini"

settle_prefix
prefix_before=$(prefix_snapshot)

stick="$work/USB Stick Jürgen/Vostrel"
mkdir -p "$stick"
cp -r "$unpacked"/. "$stick/"
: >"$stick/portable.ini"
# A message text only: the driver presses the buttons by their English Alt letters and
# knows the message boxes by their English titles.
printf '[Message]\nData write completed=Daten geschrieben\n' >"$stick/kdx20Lang.ini"

# Saved outside the stick: xdotool types no letter beyond ASCII into a wine window (the
# "ü" of the stick's folder would be lost from the name typed).
bash "$here/wine_window_driver.sh" "$stick/vostrel-programmer-emulated.exe" \
  -- row 1 1234567 A 0123456789 write save "$work/site.vostrel" exit >"$work/out" ||
  fail "the portable window: $(cat "$work/out")"
# The result's first line; the transmitter and the backup follow it.
grep -q '^message: Success: Daten geschrieben / ' "$work/out" ||
  fail "the Write did not end in the message of the translation beside the programs: $(cat "$work/out")"
end_session

[[ -f $stick/emulated-eeprom.bin ]] || fail "no emulated-eeprom.bin beside the programs"
backups=("$stick"/backups/*.bin)
[[ ${#backups[@]} -eq 1 && -f ${backups[0]} ]] || fail "not one backup beside the programs: ${backups[*]}"
settings=$stick/vostrel-programmer.ini
[[ -f $settings ]] || fail "no settings file beside the programs"
grep -F 'site.vostrel' "$settings" >/dev/null || fail "the settings beside the programs lack the file saved: $(cat "$settings")"
[[ -f $work/site.vostrel ]] || fail "the rows were not saved"
left=$(diff <(echo "$prefix_before") <(prefix_snapshot)) || fail "the portable copy changed the prefix:
$left"
echo "portable copy: EEPROM, backup, settings (recent files) and translation beside the programs; the prefix's files and registry as before"
