# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# shellcheck shell=bash
# What the scripts that run Windows programs under wine share (tests/windows/*.sh,
# scripts/windows-tests.sh), sourced by them: wine's session, its windows, its paths and
# what a program leaves in a prefix. VOSTREL_WINE names the wine loader and WINEPREFIX
# the prefix; the windows are looked for on the X display in DISPLAY.

# wine's server stands beside the loader (Debian's wine64), or else on the PATH.
wineserver="$(dirname "$VOSTREL_WINE")/wineserver"
[[ -x $wineserver ]] || wineserver=wineserver

# Ends the prefix's session: every program in it and the server are gone when this
# returns (or it gives up after a minute and a half), so that the next program starts a
# session with what it is given (its display, its namespace's devices) and the prefix's
# registry is written out.
end_session() {
  timeout 30 "$wineserver" -k 2>/dev/null || true
  timeout 60 "$wineserver" -w 2>/dev/null || true
}

# The first shown window whose title matches, within the given seconds; with a window
# given, another one than that (a program's message box beside its main window).
# xdotool's own --sync gives up with BadWindow when a window goes while it looks, and
# wine makes and drops windows all the time.
find_window() {  # title pattern, seconds[, window passed over]
  local until=$((SECONDS + $2)) found
  while ((SECONDS < until)); do
    # With no window given the pattern is empty, which passes over empty lines only.
    found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -vxF -e "${3:-}" | head -1) || true
    [[ -n $found ]] && { echo "$found"; return 0; }
    sleep 0.2
  done
  return 1
}

# A path of this machine as a Windows program names it (wine maps / to Z:).
windows_path() { local path; path=$(realpath -m "$1"); echo "Z:${path//\//\\}"; }

# A folder of the Windows user (APPDATA, LOCALAPPDATA) as this machine names it.
user_folder() {  # variable
  local windows
  windows=$(timeout 60 "$VOSTREL_WINE" cmd /c echo "%$1%" | tr -d '\r')
  timeout 60 "$VOSTREL_WINE" winepath -u "$windows" | tr -d '\r'
}

# What a program leaves in the prefix (a trace) is what differs between two of these
# snapshots: every file and folder under drive_c, and every registry key with its
# values. Not counted, being wine's or every Windows' own:
#  - the user's temporary folder: an uninstaller runs from a copy of itself there,
#    which Windows deletes at the next restart (the value that asks for it,
#    PendingFileRenameOperations, is left out too);
#  - the times wine notes for each key, and the date it gives its display driver anew
#    whenever a session starts on another display;
#  - Explorer's own settings key, which Windows' file dialog makes the first time it
#    shows in a prefix;
#  - the keys wine's debugger makes the first time one of wine's own processes crashes
#    (seen: its driver host, in ntoskrnl.exe); a crash of the tool's programs fails a
#    check by their exit status.
# Take the first snapshot after settle_prefix, and both with the session ended.
prefix_snapshot() {
  local -r wines_own=('[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced]'
                      '[Console]' '[Software\\Wine\\WineDbg]')
  (cd "$WINEPREFIX" && find drive_c -not -path '*/Temp/*' | sort
   awk 'NR == FNR { own[$0]; next }
        /^\[/ { sub(/ [0-9]+$/, ""); skipped = ($0 in own) }
        # Device instance names are case-blind; wine 10 rewrites the display device name in capitals.
        /^"DeviceInstance"=/ { $0 = tolower($0) }
        !skipped && !/^#time=/ && !/^"DriverDateData"=/ && !/^"PendingFileRenameOperations"=/' \
     <(printf '%s\n' "${wines_own[@]}") system.reg user.reg userdef.reg)
}

# A new prefix changes itself when a window first shows in it (wine rewrites its
# display's keys and drops an empty NetworkCards key): a window of wine's own does that
# before the first snapshot, so that only the traces of the programs checked show.
settle_prefix() {
  "$VOSTREL_WINE" notepad >/dev/null 2>&1 &
  find_window Notepad 60 >/dev/null || true
  sleep 1
  end_session
}
