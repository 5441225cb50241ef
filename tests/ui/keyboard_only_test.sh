#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# The programmer window used with the keyboard alone, in a real X server: two rows
# typed in, written to the emulated transmitter with Alt+W, a row changed, a Read over
# it undone with Ctrl+Z, the window saved with Ctrl+S and closed with Alt+E. Only keys
# are sent (and the input focus given to the window a key goes to), no mouse event.
#   keyboard_only_test.sh PROGRAMMER-EMULATED VOSTREL-CLI
set -euo pipefail
programmer=$1 cli=$2
for tool in xvfb-run xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
if [ -z "${KEYBOARD_ONLY_IN_X:-}" ]; then
  exec env KEYBOARD_ONLY_IN_X=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*" >&2
  cat "$work/stderr" >&2 2>/dev/null || true
  exit 1
}

# The built-in texts, whatever language files the machine holds; settings and backups
# in the test's own folders.
export XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS="$work/none" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=xcb
# In the sanitizer build: what D-Bus's own library keeps at exit is not the program's.
echo "leak:libdbus-1.so" >"$work/leaks.supp"
# Qt 6.8 asks the desktop portal over D-Bus, as it starts, whether it can pick colours
# (the window never does); with no session bus beside this X server no answer comes, and
# Qt leaves the call's watcher at exit, which the sanitizer build reports as a leak.
export QT_NO_XDG_DESKTOP_PORTAL=1
export LSAN_OPTIONS="suppressions=$work/leaks.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# The file dialog starts in the working directory.
cd "$work"
"$programmer" "$work/eeprom.bin" 2>"$work/stderr" &
pid=$!

# The window (or box) named $1, given the input focus.
focus() {
  local window
  window=$(timeout 20 xdotool search --sync --all --onlyvisible --pid "$pid" --name "$1" | head -n 1)
  [ -n "$window" ] || fail "no window named $1"
  xdotool windowfocus --sync "$window"
  # Qt takes the focus change in before the next key.
  sleep 0.5
}
keys() { xdotool key --delay 40 "$@"; }
typed() { xdotool type --delay 40 "$1"; }

focus '^Vostrel programmer'
# The focus starts in row 1's capcode box.
typed 1234; keys Tab Tab Tab
# Past row 1's label.
typed 0123; keys Tab Tab
typed 8; keys Tab d Tab Tab
typed HELLO
keys alt+w
focus '^Success$'
keys Return

focus '^Vostrel programmer'
typed ' AGAIN'
keys alt+r
# A button pressed by its letter shows itself pressed for a moment before it acts.
sleep 1
keys ctrl+z ctrl+s
focus '^Save\.\.\.$'
typed rows.conf
keys Return
for _ in $(seq 50); do [ -s "$work/rows.conf" ] && break; sleep 0.1; done

focus '^Vostrel programmer'
keys alt+e
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "Alt+E did not end the program"
wait "$pid" || fail "the program ended with status $?"
pid=

# The transmitter holds the two rows as written; the file the rows as they were
# before the Read: row 2's change back and row 1's message unpadded.
"$cli" decode "$work/eeprom.bin" >"$work/eeprom.conf" || fail "the transmitter's image does not decode"
expect() { grep -qxF -- "$2" "$1" || { cat "$1" >&2; fail "$1 lacks: $2"; }; }
expect "$work/eeprom.conf" 'CapCode = 1234'
expect "$work/eeprom.conf" 'Message = "0123 "'
expect "$work/eeprom.conf" 'Message = "HELLO"'
expect "$work/rows.conf" 'Message = "0123"'
expect "$work/rows.conf" 'Message = "HELLO AGAIN"'
expect "$work/rows.conf" 'Tone = D'
echo "keyboard only: two rows written, a Read undone, the window saved and closed"
