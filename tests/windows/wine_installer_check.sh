#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# The Windows installer under wine, as users meet it, in two rounds that each end with
# the uninstaller and the prefix as it was before:
#  1. German, as the system's language (LANG) chooses, through its pages with the
#     keyboard: the licence goes on with Next; a folder that holds other files is
#     refused with a German message; the desktop shortcut and the PATH entry chosen
#     (vostrel-cli then runs by its name in a new command prompt); Run on the last page
#     starts the window; Settings -> Apps gets the size; the Start-menu entries have
#     German names, and every shortcut starts in the user's folder. The German
#     uninstaller, through its pages, takes the PATH entry out again and leaves the
#     PATH as it was, and a file the user left in the install folder: its last page says
#     that the folder stays for it.
#  2. Silent (/S): the Start-menu entries; the emulated entry, started as the Start menu
#     starts it, writes a row into %LOCALAPPDATA%\vostrel-programmer\emulated-eeprom.bin,
#     and its Export PDF proposes the user's Documents folder, not the install folder;
#     a .vostrel file in a folder whose name has blanks and letters beyond ASCII, opened
#     as Explorer opens it, comes up in the window (which offers itself in "Open with");
#     the installed window finds a translation in %APPDATA% and carries its icon;
#     --help shows in a message box when there is no standard output. Uninstalling
#     removes every file it installed and the file type with "Open with", and leaves the
#     user's EEPROM file and a file the user saved in the install folder, with the folder.
# Neither round leaves anything in the home folder's menus, desktop entries and icons,
# where wine's menu builder would put the installer's shortcuts.
#   wine_installer_check.sh INSTALLER
# Run with DISPLAY set (xvfb-run), WINEPREFIX naming a prefix that no other program
# uses meanwhile, VOSTREL_WINE the wine loader, and WINEDLLOVERRIDES as the tests set it.
# VOSTREL_INSTALLER_SCREENSHOT=FILE.png also saves the German installer's first page
# (for the user guide, docs/user/images/installer-german.png; needs ImageMagick's import).
set -euo pipefail
installer=$1
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=scripts/lib/wine.sh
source "$here/../../scripts/lib/wine.sh"
export WINEDEBUG=-all
wine=$VOSTREL_WINE
fail() { echo "FAIL (installer): $*" >&2; exit 1; }
work=$(mktemp -d)

# The uninstaller hands over to a copy of itself and returns at once: wait for it.
wait_for_session() { timeout 300 "$wineserver" -w || fail "wine's programs did not end"; }
# A session started without this display must not serve the windows, and everything
# the installer and uninstaller start must have ended before the prefix is compared.
end_session
trap 'end_session; rm -rf "$work"' EXIT

folder_name='C:\Program Files\Vostrel programmer'
folder="$WINEPREFIX/drive_c/Program Files/Vostrel programmer"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vostrel programmer"
desktop_shortcut="$WINEPREFIX/drive_c/users/Public/Desktop/Vostrel programmer.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\vostrel-programmer'
environment_key='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'

# A registry value as text (empty when there is none).
registry_value() {  # key, name
  timeout 60 "$wine" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
# A key's default value as text (empty when there is none).
registry_default() {  # key
  timeout 60 "$wine" reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/^ *([^)]*) *REG_[A-Z_]* *//p'
}

# An earlier check that was cut short may have left the programs installed, and the
# files they and this check make for the user.
if [[ -f $folder/Uninstall.exe ]]; then
  timeout 300 "$wine" "$folder_name\\Uninstall.exe" /S && wait_for_session
fi
local_data="$(user_folder LOCALAPPDATA)/vostrel-programmer"
translation="$(user_folder APPDATA)/vostrel-programmer"
other="$WINEPREFIX/drive_c/vostrel-check-other-files"
rm -rf "$local_data" "$translation" "$other"

# Where wine's menu builder would turn shortcuts into the host's menus and icons: every
# entry with its time, so that a new, changed or removed one shows.
home_snapshot() {
  local data=${XDG_DATA_HOME:-$HOME/.local/share} config=${XDG_CONFIG_HOME:-$HOME/.config}
  find "$data/applications" "$data/desktop-directories" "$data/icons" "$data/mime" "$config/menus" \
       -printf '%p %T@\n' 2>/dev/null | sort || true
}
expect_as_before() {  # what, before, after
  local left
  left=$(diff <(echo "$2") <(echo "$3")) || fail "$1:
$left"
}
settle_prefix
home_before=$(home_snapshot)
prefix_before=$(prefix_snapshot)
path_before=$(registry_value "$environment_key" Path)

# Whether the given window has gone, within the given seconds.
window_gone() {  # window, seconds
  local until=$((SECONDS + $2))
  while ((SECONDS < until)); do
    xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1" || return 0
    sleep 0.2
  done
  return 1
}
# Keys for the installer's pages, each given time to show the next page.
keys() {  # window, key...
  local window=$1 key
  shift
  for key in "$@"; do
    timeout 30 xdotool windowfocus --sync "$window"
    timeout 30 xdotool key "$key"
    sleep 1
  done
}
# The texts of the message boxes a program showed, from wine's trace of them: the
# characters beyond ASCII written as \XXXX, and a long text cut (and "..." put after it).
box_texts() {  # trace file
  perl -CS -ne 'print "$1\n" if /trace:msgbox:MSGBOX_OnInit L"(.*)"(\.\.\.)?$/' "$1" |
    perl -CS -pe 's/\\([0-9a-f]{4})/chr(hex($1))/ge; s/\\\\/\\/g'
}
registered_size() { echo $(($(registry_value "$uninstall_key" EstimatedSize))); }
# The folder a shortcut starts its program in ("Start in"), as the .lnk file holds it
# (Microsoft's Shell Link format: the header, the item list and the link information
# skipped, then the strings that the flags say are there, the working folder third).
start_folder() {  # .lnk file
  python3 - "$1" <<'EOF'
import struct, sys
data = open(sys.argv[1], "rb").read()
flags = struct.unpack_from("<I", data, 0x14)[0]
at = 0x4C
if flags & 0x01:
    at += 2 + struct.unpack_from("<H", data, at)[0]
if flags & 0x02:
    at += struct.unpack_from("<I", data, at)[0]
width = 2 if flags & 0x80 else 1
for present in (0x04, 0x08, 0x10):  # its name, relative path, working folder
    if flags & present:
        count = struct.unpack_from("<H", data, at)[0]
        text = data[at + 2:at + 2 + count * width]
        at += 2 + count * width
        if present == 0x10:
            # wine counts the terminating NUL with the characters; Windows does not.
            print(text.decode("utf-16-le" if width == 2 else "latin-1").rstrip("\0"))
EOF
}
# Every shortcut given starts in the user's own folder, never in the install folder.
expect_user_start_folder() {  # .lnk file...
  local link
  for link in "$@"; do
    [[ $(start_folder "$link") == '%USERPROFILE%' ]] ||
      fail "$(basename "$link") starts in '$(start_folder "$link")', not in the user's folder"
  done
}

# Round 1: German, through the pages ---------------------------------------------------
# wine takes the system's language from the C library's locale, which needs the
# German one made (into a folder of this check's own, LOCPATH).
localedef -i de_DE -f UTF-8 "$work/de_DE.UTF-8" 2>"$work/localedef.err" ||
  fail "no German locale for wine (Debian's package locales): $(cat "$work/localedef.err")"
# wine writes the locale's settings (code pages, time zone names, number and date
# formats) into the prefix when it starts in another: the German round is compared
# with the prefix as a German start leaves it.
(export LOCPATH=$work LANG=de_DE.UTF-8 LC_ALL= LC_MESSAGES=; settle_prefix) 2>/dev/null
prefix_before_german=$(prefix_snapshot)
# A folder with someone's files in it, offered as the install folder.
mkdir -p "$other" && echo "not the installer's" >"$other/notes.txt"
LOCPATH=$work LANG=de_DE.UTF-8 LC_ALL= LC_MESSAGES= WINEDEBUG=-all,+msgbox \
  "$wine" "$installer" '/D=C:\vostrel-check-other-files' 2>"$work/installer.trace" &
install=$!
window=$(find_window '^Installation von Vostrel programmer' 300) ||
  fail "no installer window with the German title 'Installation von Vostrel programmer'"
sleep 1
if [[ -n ${VOSTREL_INSTALLER_SCREENSHOT:-} ]]; then
  import -window "$window" "$VOSTREL_INSTALLER_SCREENSHOT"
fi
# Welcome, licence (Next goes on), the components (desktop shortcut and PATH ticked),
# the folder holding other files.
keys "$window" Return Return Down space Down space Return Return
box=$(find_window '^Installation von Vostrel programmer' 30 "$window") ||
  fail "no message box for a folder that holds other files"
box_texts "$work/installer.trace" | grep -F 'Der Ordner C:\vostrel-check-other-files enthält bereits andere Dateien.' >/dev/null ||
  fail "the message on the other files was not the German one: $(box_texts "$work/installer.trace")"
# Dismissed; back and forth shows the folder page with its name selected, then the
# program's own folder is typed, and it installs.
keys "$box" Return
window_gone "$box" 30 || fail "the message box did not go"
keys "$window" alt+z Return
timeout 30 xdotool type --delay 20 "$folder_name"
keys "$window" Return
for _ in $(seq 120); do [[ -n $(registry_value "$uninstall_key" EstimatedSize) ]] && break; sleep 0.5; done
[[ -n $(registry_value "$uninstall_key" EstimatedSize) ]] || fail "the German install did not finish"
[[ $(cat "$other/notes.txt") == "not the installer's" && $(ls "$other") == notes.txt ]] ||
  fail "the folder that holds other files was changed"
rm -r "$other"
# The last page: Run is ticked, Finish starts the window (as the logged-on user), in
# German where wine's locale is, else in English.
sleep 2
keys "$window" Return
program=$(find_window '^Vostrel (programmer|Programmiergerät)' 120) || fail "Run on the last page did not start the window"
timeout 60 tail --pid="$install" -f /dev/null || fail "the installer did not end"
wait "$install" || fail "the installer ended with status $?"
# Exit's letter in the window's language: "&Beenden" in German, "&Exit" in English.
exit_key=alt+e
[[ $(xdotool getwindowname "$program") == "Vostrel Programmiergerät"* ]] && exit_key=alt+b
timeout 30 xdotool windowfocus --sync "$program" && sleep 0.3 && timeout 30 xdotool key "$exit_key"
window_gone "$program" 60 || fail "the window started from the last page did not end on Exit"
end_session

[[ -f $desktop_shortcut ]] || fail "no desktop shortcut, though chosen"
for link in "Vostrel programmer" "Vostrel programmer (emulierter Sender)" "Vostrel programmer deinstallieren"; do
  [[ -f $menu/$link.lnk ]] || fail "no German Start-menu entry '$link': $(ls "$menu")"
done
expect_user_start_folder "$desktop_shortcut" "$menu"/*.lnk
path=$(registry_value "$environment_key" Path)
[[ $path == "$path_before;$folder_name" ]] || fail "PATH is not the one before with the install folder added: $path"
# A new command prompt finds vostrel-cli by its name.
timeout 60 "$wine" cmd /c "vostrel-cli --version" | tr -d '\r' | grep -x 'vostrel-cli [0-9.]*' >/dev/null ||
  fail "vostrel-cli is not found through PATH"
for file in README.txt LICENSE.txt; do
  [[ -f $folder/$file ]] || fail "not installed: $file"
done
# Settings -> Apps: the size of what was installed, in KiB, within one per cent.
files_size=$((($(find "$folder" -type f -printf '%s\n' | paste -sd+)) / 1024))
size=$(registered_size)
((size * 100 >= files_size * 99 && size * 100 <= files_size * 101)) ||
  fail "EstimatedSize $size KiB, but the files take $files_size KiB"
echo "German installer: its texts, Next on the licence, a folder with other files refused, desktop shortcut and PATH, Run on the last page, EstimatedSize $size KiB, German Start-menu names, shortcuts starting in %USERPROFILE%"

# The German uninstaller through its pages, with a file of the user's in the install
# folder. Its pages' texts come from wine's trace of the windows made (+win).
echo "the user's" >"$folder/Notizen.txt"
LOCPATH=$work LANG=de_DE.UTF-8 LC_ALL= LC_MESSAGES= WINEDEBUG=-all,+win \
  "$wine" "$folder_name\\Uninstall.exe" 2>"$work/uninstaller.trace" &
window=$(find_window '^Deinstallation von Vostrel programmer' 120) || fail "no German uninstaller window"
sleep 1
keys "$window" Return  # Deinstallieren
for _ in $(seq 120); do
  grep -F 'Der Ordner C:\\Program Files\\Vostrel programmer bleibt' "$work/uninstaller.trace" >/dev/null && break
  sleep 0.5
done
grep -F 'Der Ordner C:\\Program Files\\Vostrel programmer bleibt' "$work/uninstaller.trace" >/dev/null ||
  fail "the uninstaller's last page does not say that the folder stays for the user's file"
keys "$window" Return  # Fertig stellen
wait_for_session
[[ $(ls -A "$folder") == Notizen.txt && $(cat "$folder/Notizen.txt") == "the user's" ]] ||
  fail "uninstalling did not leave just the user's file in the install folder: $(ls -A "$folder")"
rm -r "$folder"
[[ $(registry_value "$environment_key" Path) == "$path_before" ]] || fail "uninstalling left the PATH changed: $(registry_value "$environment_key" Path)"
expect_as_before "the German round's uninstall left the prefix changed" "$prefix_before_german" "$(prefix_snapshot)"

# Round 2: silent ----------------------------------------------------------------------
timeout 300 "$wine" "$installer" /S || fail "the silent installer failed"
wait_for_session
for file in vostrel-programmer.exe vostrel-programmer-emulated.exe vostrel-cli.exe kdx20Lang.example.ini \
            kdx20Lang.example.fr.ini README.txt LICENSE.txt Uninstall.exe user-guide/en/index.html user-guide/de/index.html; do
  [[ -f $folder/$file ]] || fail "not installed: $file"
done
for link in "Vostrel programmer" "Vostrel programmer (emulated transmitter)" "Uninstall Vostrel programmer"; do
  [[ -f $menu/$link.lnk ]] || fail "no Start-menu entry '$link'"
done
expect_user_start_folder "$menu"/*.lnk
[[ ! -e $desktop_shortcut ]] || fail "a desktop shortcut, though not chosen"
[[ $(registry_value "$environment_key" Path) == "$path_before" ]] || fail "PATH changed, though not chosen"
registry_value "$uninstall_key" DisplayName | grep -x 'Vostrel programmer [0-9.]*' >/dev/null ||
  fail "not listed among the installed programs"

# The emulated entry as the Start menu starts it, in the install folder: a row written
# goes into the user's local application data, which a standard user may write.
bash "$here/wine_window_driver.sh" start /wait /unix "$menu/Vostrel programmer (emulated transmitter).lnk" \
  -- row 1 1234567 A 0123456789 write exit >"$work/emulated.out" || fail "the emulated entry's window: $(cat "$work/emulated.out")"
# The result's first line; the transmitter and the backup follow it.
grep -q '^message: Success: Data write completed / ' "$work/emulated.out" || fail "the emulated Write: $(cat "$work/emulated.out")"
eeprom=$local_data/emulated-eeprom.bin
[[ -f $eeprom && ! -e $folder/emulated-eeprom.bin ]] || fail "the emulated EEPROM is not (only) in %LOCALAPPDATA%\\vostrel-programmer"
timeout 60 "$wine" "$folder/vostrel-cli.exe" decode "$(windows_path "$eeprom")" | tr -d '\r' | grep -qx 'CapCode = 1234567' ||
  fail "the emulated EEPROM lacks the row written"
end_session

# Export PDF from the Start-menu entry, with nothing remembered yet: its dialog
# proposes the user's Documents folder, where a name typed alone puts the file.
documents="$(user_folder USERPROFILE)/Documents"
sheet="vostrel-check-$$.pdf"
bash "$here/wine_window_driver.sh" start /wait /unix "$menu/Vostrel programmer (emulated transmitter).lnk" \
  -- row 1 1234567 A 0123456789 export-pdf "$sheet" exit >"$work/export.out" || fail "Export PDF: $(cat "$work/export.out")"
# Exit asks about the rows typed and not saved, and the driver discards them; nothing else.
! grep -v '^question: Warn: unsaved rows discarded$' "$work/export.out" >/dev/null ||
  fail "Export PDF showed a message: $(cat "$work/export.out")"
[[ -f $documents/$sheet && ! -e $folder/$sheet ]] ||
  fail "Export PDF did not propose the Documents folder ($documents): the PDF is not there"
head -c 5 "$documents/$sheet" | grep -qx '%PDF-' || fail "the file exported is no PDF"
rm "$documents/$sheet"
end_session

# The configurations' file type. A .vostrel file opened as Explorer opens it (wine's
# start does the same) comes up in the installed window: saved from there, it builds the
# same image. Its folder's name has blanks and letters beyond ASCII.
classes='HKLM\Software\Classes'
[[ $(registry_default "$classes\.vostrel") == VostrelProgrammer.Configuration ]] ||
  fail ".vostrel is not the configurations' type: '$(registry_default "$classes\.vostrel")'"
opener="\"$folder_name\\vostrel-programmer.exe\" \"%1\""
for key in "$classes\VostrelProgrammer.Configuration" "$classes\Applications\vostrel-programmer.exe"; do
  [[ $(registry_default "$key\shell\open\command") == "$opener" ]] ||
    fail "$key does not open with the window: '$(registry_default "$key\shell\open\command")'"
done
site="$work/Gasthaus Süd Ærø"
mkdir -p "$site"
printf '[Settings]\nDataRate = 2400\n[Item01]\nCapCode = 1234567\nTone = D\nType = Alphanumeric\nMessage = "Kitchen"\n[Item02]\nCapCode = 8\nMessage = "112"\n' \
  >"$site/Küche 1.vostrel"
bash "$here/wine_window_driver.sh" start /wait /unix "$site/Küche 1.vostrel" -- save "$work/saved.vostrel" exit \
  >"$work/opened.out" || fail "the window of a .vostrel file opened as Explorer opens it: $(cat "$work/opened.out")"
[[ ! -s $work/opened.out ]] || fail "the window opened with a message: $(cat "$work/opened.out")"
for configuration in "$site/Küche 1.vostrel" "$work/saved.vostrel"; do
  timeout 60 "$wine" "$folder/vostrel-cli.exe" build "$(windows_path "$configuration")" "$(windows_path "$configuration.bin")" >/dev/null ||
    fail "vostrel-cli build $configuration"
done
cmp -s "$site/Küche 1.vostrel.bin" "$work/saved.vostrel.bin" || fail "the window did not show the .vostrel file opened"
end_session

# The installed window with the example translation in the user's %APPDATA%: its title,
# changed in the copy (the built-in German has the example's), shows it was found there. Its icon is the .exe's when it holds the pager's blue
# of packaging/vostrel-programmer.svg (wine would show its own default icon instead).
mkdir -p "$translation"
sed 's/^ProgramTitle=.*/ProgramTitle=Programmiergerät aus APPDATA/' "$folder/kdx20Lang.example.ini" >"$translation/kdx20Lang.ini"
"$wine" "$folder_name\\vostrel-programmer.exe" & program=$!
window=$(find_window '^Programmiergerät aus APPDATA$' 120) || fail "the installed window did not appear with the title from %APPDATA%"
xprop -id "$window" -f _NET_WM_ICON 32x _NET_WM_ICON | grep -q 0xff2f4f6f || fail "the window lacks the program's icon"
timeout 30 xdotool windowfocus --sync "$window"
sleep 0.3
timeout 30 xdotool key alt+b  # "&Beenden", Exit in the example translation
timeout 60 tail --pid="$program" -f /dev/null || fail "the installed window did not end on Exit"
wait "$program" || fail "the installed window ended with status $?"
rm -r "$translation"

# --help of a window program: written where there is a standard output (a pipe here),
# in a message box where there is none, as when Explorer starts it (wine's start does
# the same; a closed descriptor would not do: wine takes the next file opened for it).
backups='%LOCALAPPDATA%\vostrel-programmer\backups'
timeout 60 "$wine" "$folder_name\\vostrel-programmer.exe" --help | tr -d '\r' | grep -F "$backups" >/dev/null ||
  fail "--help into a pipe does not name $backups"
WINEDEBUG=-all,+msgbox "$wine" start /wait /unix "$folder/vostrel-programmer.exe" --help 2>"$work/help.trace" & program=$!
window=$(find_window '^vostrel-programmer$' 60) || fail "--help without a standard output showed no message box"
box_texts "$work/help.trace" | grep -F 'Usage: vostrel-programmer [--language de|en|fr] [FILE]' >/dev/null ||
  fail "the message box does not show the help: $(box_texts "$work/help.trace")"
timeout 30 xdotool windowfocus --sync "$window" && sleep 0.3 && timeout 30 xdotool key Return
timeout 60 tail --pid="$program" -f /dev/null || fail "the --help box did not end the program"
wait "$program" || fail "--help ended with status $?"
end_session

# A file the user saved into the install folder outlives the uninstall, and the folder
# with it; every file installed goes.
echo "the user's" >"$folder/sheet.pdf"
timeout 300 "$wine" "$folder_name\\Uninstall.exe" /S || fail "the uninstaller failed"
wait_for_session
[[ $(ls -A "$folder") == sheet.pdf && $(cat "$folder/sheet.pdf") == "the user's" ]] ||
  fail "uninstalling did not leave just the user's file in the install folder: $(ls -A "$folder")"
rm -r "$folder"
for key in "$classes\.vostrel" "$classes\VostrelProgrammer.Configuration" "$classes\Applications\vostrel-programmer.exe"; do
  ! timeout 60 "$wine" reg query "$key" >/dev/null 2>&1 || fail "uninstalling left $key"
done
[[ -f $eeprom ]] || fail "uninstalling removed the user's emulated EEPROM"
rm -r "$local_data"
expect_as_before "the silent round's uninstall left the prefix changed" "$prefix_before" "$(prefix_snapshot)"
expect_as_before "wine put menus, desktop entries or icons into the home folder (is WINEDLLOVERRIDES=winemenubuilder.exe=d set?)" \
  "$home_before" "$(home_snapshot)"
echo "installer: silent install, the emulated entry's EEPROM in %LOCALAPPDATA%, its Export PDF into Documents, a .vostrel file opened as Explorer opens it, a translation from %APPDATA%, the icon, --help in a box; uninstalled by name, leaving the user's file, the prefix (no file type) and the home folder as they were"
