#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# The Windows installer under wine, as a user meets it: a silent install (/S) into
# Program Files with its Start-menu entries; the installed window starts with its icon
# and the translation from %APPDATA%\vostrel-programmer\, and Exit ends it; the
# uninstaller leaves the prefix as it was.
#   wine_installer_check.sh INSTALLER
# Run with DISPLAY set (xvfb-run), WINEPREFIX naming a prefix that no other program
# uses meanwhile, and VOSTREL_WINE the wine loader.
set -euo pipefail
installer=$1
export WINEDEBUG=-all
wine=$VOSTREL_WINE
wineserver="$(dirname "$wine")/wineserver"
[[ -x $wineserver ]] || wineserver=wineserver
fail() { echo "FAIL (installer): $*" >&2; exit 1; }

# A session started without this display must not serve the window, and everything
# the installer and uninstaller start must have ended before the prefix is compared.
end_session() { timeout 30 "$wineserver" -k 2>/dev/null || true; timeout 60 "$wineserver" -w 2>/dev/null || true; }
# The uninstaller hands over to a copy of itself and returns at once: wait for it.
wait_for_session() { timeout 300 "$wineserver" -w || fail "wine's programs did not end"; }
end_session
trap end_session EXIT

# An earlier check that was cut short may have left the programs installed.
uninstaller='C:\Program Files\Vostrel programmer\Uninstall.exe'
if [[ -f "$WINEPREFIX/drive_c/Program Files/Vostrel programmer/Uninstall.exe" ]]; then
  timeout 300 "$wine" "$uninstaller" /S && wait_for_session
fi

# Every file and registry key of the prefix. The user's temporary folder is left out:
# the uninstaller runs from a copy of itself there, which Windows deletes at the next
# restart.
snapshot() {
  (cd "$WINEPREFIX" && find drive_c -not -path '*/Temp/*' | sort
   grep -h '^\[' system.reg user.reg | sed 's/ [0-9]*$//' | sort)
}
before=$(snapshot)

timeout 300 "$wine" "$installer" /S || fail "the installer failed"
wait_for_session
folder="$WINEPREFIX/drive_c/Program Files/Vostrel programmer"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vostrel programmer"
for file in vostrel-programmer.exe vostrel-programmer-emulated.exe vostrel-cli.exe kdx20Lang.example.ini \
            README.txt LICENSE.txt Uninstall.exe; do
  [[ -f $folder/$file ]] || fail "not installed: $file"
done
for link in "Vostrel programmer" "Vostrel programmer (emulated transmitter)" Uninstall; do
  [[ -f $menu/$link.lnk ]] || fail "no Start-menu entry '$link'"
done
timeout 60 "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\vostrel-programmer' \
  /v DisplayName | tr -d '\r' | grep -q 'Vostrel programmer [0-9]' || fail "not listed among the installed programs"

# The installed window with the example translation in the user's %APPDATA%: its German
# title shows it was found there. Its icon is the .exe's when it holds the pager's blue
# of packaging/vostrel-programmer.svg (wine would show its own default icon instead).
appdata=$(timeout 60 "$wine" cmd /c echo %APPDATA% | tr -d '\r')
translation="$(timeout 60 "$wine" winepath -u "$appdata" | tr -d '\r')/vostrel-programmer"
mkdir -p "$translation"
cp "$folder/kdx20Lang.example.ini" "$translation/kdx20Lang.ini"
"$wine" 'C:\Program Files\Vostrel programmer\vostrel-programmer.exe' & program=$!
# Not xdotool's --sync, which gives up with BadWindow when one of wine's windows goes.
window=
for _ in $(seq 600); do
  window=$(xdotool search --onlyvisible --name '^Vostrel Programmierger' 2>/dev/null | head -1) || true
  [[ -n $window ]] && break
  sleep 0.2
done
[[ -n $window ]] || fail "the installed window did not appear with the title from %APPDATA%"
xprop -id "$window" -f _NET_WM_ICON 32x _NET_WM_ICON | grep -q 0xff2f4f6f || fail "the window lacks the program's icon"
timeout 30 xdotool windowfocus --sync "$window"
sleep 0.3
timeout 30 xdotool key alt+b  # "&Beenden", Exit in the example translation
timeout 60 tail --pid="$program" -f /dev/null || fail "the installed window did not end on Exit"
wait "$program" || fail "the installed window ended with status $?"
rm -r "$translation"
end_session

timeout 300 "$wine" "$uninstaller" /S || fail "the uninstaller failed"
wait_for_session
left=$(diff <(echo "$before") <(snapshot)) || fail "the uninstall left the prefix changed:
$left"
echo "installer: installs, the installed window runs with its icon and a translation from %APPDATA%, uninstalls leaving nothing"
