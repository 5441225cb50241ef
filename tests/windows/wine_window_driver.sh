#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# Drives the programmer window (a Windows .exe under wine, on the X display in DISPLAY)
# with the keyboard alone, as a user would, and reads each message box through the
# Ctrl+C copy that Windows message boxes offer.
#   wine_window_driver.sh EXE [ARGS...] -- ACTION...
# The actions, in order (type rows and settings before pressing any button: a button
# takes the focus, and rows are reached by counting Tab presses from the first box):
#   row N CAPCODE TONE MESSAGE  types row N (TONE A to D; D makes the row alphanumeric)
#   settings RATE REPEAT        picks the data rate (512, 1200, 2400) and the repeat count
#   read                        presses Read, which shows no message when it succeeds (a
#                               box within 3 s is printed all the same)
#   read-choosing N             presses Read, and in the choice of a transmitter that must
#                               follow moves N lines down and goes on; its title is printed
#                               as "choice: TITLE"; then as read
#   read-message | write        presses the button; the message box that follows is printed
#   open FILE | save FILE       presses the button and names FILE (a path of this machine)
#                               in the file dialog; a message box, if any, is printed
#   export-pdf NAME             Site sheet, Export PDF..., the site's name kept, and NAME
#                               typed as it is into the file dialog: a name without a
#                               folder goes into the folder the dialog proposes
#   exit                        presses Exit (answering Discard when it asks about unsaved
#                               rows); the program must end, with status 0 (not known when
#                               a launcher started it and returned at once)
# Each message box is printed as "message: TITLE: TEXT" (the text's lines joined by
# " / ") and dismissed; a box that asks (Write before overwriting calls) is printed as
# "question: TITLE: TEXT", answered with its first button, and the box that follows is
# taken too. VOSTREL_WINE names the wine loader.
set -euo pipefail
exe=()
while [[ $# -gt 0 && $1 != -- ]]; do exe+=("$1"); shift; done
shift
readonly kBoxTitles='^(Success|Error|Warn)$'
# shellcheck source=scripts/lib/wine.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/wine.sh"

die() { echo "window driver: $*" >&2; exit 1; }
xdo() { timeout 60 xdotool "$@" || die "xdotool $* failed or timed out"; }

"$VOSTREL_WINE" "${exe[@]}" &
program=$!
# The title starts with the file opened, if any ("Küche 1.vostrel – Vostrel programmer …").
window=$(find_window 'Vostrel programmer rev' 120) || die "the window did not appear"
focus_window() { xdo windowfocus --sync "$window"; sleep 0.3; }
focus_window

# The focus starts in row 1's capcode box; `at` is the Tab stop it is in now.
at=0
go_to() {  # Tab stop
  (( $1 >= at )) || die "rows and settings must be typed in order"
  (( $1 == at )) || xdo key --delay 40 --repeat $(($1 - at)) Tab
  at=$1
}
# Each row has five stops (capcode, tone, type, message, label).
kRowStops=5 kDataRateStop=80 kRepeatStop=82

# The message box that must follow an action, read and dismissed.
take_message() {  # [seconds to wait for it]
  local box text=
  box=$(find_window "$kBoxTitles" "${1:-60}") || {
    [[ -n ${1:-} ]] && { focus_window; return 0; }
    die "no message box appeared"
  }
  printf '' | xclip -selection clipboard
  # A busy machine may let the keys reach wine before the box has the focus: try again.
  for _ in 1 2 3 4 5; do
    xdo windowfocus --sync "$box"
    sleep 0.3
    xdo key ctrl+c
    for _ in $(seq 20); do
      text=$(xclip -o -selection clipboard 2>/dev/null | tr -d '\r') || true
      [[ $text == -* ]] && break 2
      sleep 0.1
    done
  done
  [[ $text == -* ]] || die "the message box gave no text to copy"
  # ---- / title / ---- / text lines / ---- / buttons, three blanks apart / ----
  local buttons
  buttons=$(awk '/^-+$/ { part++; next } part == 3' <<<"$text")
  local kind=message answer=Return
  if [[ $buttons == *"   "*[^\ ]* ]]; then
    kind=question
    answer="alt+$(sed -n 's/^[^&]*&\(.\).*/\1/p' <<<"${buttons%%   *}" | tr '[:upper:]' '[:lower:]')"
    [[ $answer != alt+ ]] || die "the question's first button has no mnemonic: $buttons"
  fi
  awk -v kind="$kind" '/^-+$/ { part++; next } part == 1 { title = $0 }
       part == 2 { text = text (text == "" ? "" : " / ") $0 } END { printf "%s: %s: %s\n", kind, title, text }' <<<"$text"
  xdo key "$answer"
  for _ in $(seq 50); do
    [[ $(xdotool search --onlyvisible --name "$kBoxTitles" 2>/dev/null) != "$box" ]] && break
    sleep 0.1
  done
  if [[ $kind == question ]]; then take_message; else focus_window; fi
}

# The file dialog opens with the focus in its file name box.
name_file() {  # dialog title, path[, "as typed": the name as it is, no path of this machine]
  local dialog name=$2
  dialog=$(find_window "$1" 60) || die "no '$1' file dialog appeared"
  xdo windowfocus --sync "$dialog"
  sleep 0.5
  xdo key ctrl+a
  [[ ${3:-} == "as typed" ]] || name=$(windows_path "$2")
  xdo type --delay 20 "$name"
  xdo key Return
  for _ in $(seq 100); do
    [[ -z $(xdotool search --onlyvisible --name "$1" 2>/dev/null) ]] && break
    sleep 0.1
  done
  take_message 1  # opening or saving may have shown a box
}

while [[ $# -gt 0 ]]; do
  action=$1; shift
  case $action in
    row)
      row=$1 capcode=$2 tone=$3 message=$4; shift 4
      go_to $(( (row - 1) * kRowStops ))
      xdo type --delay 40 "$capcode"
      go_to $((at + 1))
      xdo type --delay 40 "$tone"
      go_to $((at + 2))  # the pager type follows from the tone
      [[ -z $message ]] || xdo type --delay 40 "$message"
      ;;
    settings)
      go_to $kDataRateStop
      xdo type --delay 40 "${1:0:1}"  # the first digit picks 512, 1200 or 2400
      go_to $kRepeatStop
      xdo type --delay 40 "$2"
      shift 2
      ;;
    read) xdo key alt+r; take_message 3 ;;
    read-choosing)
      xdo key alt+r
      choice=$(find_window '^(Transmitter|Sender)$' 60) || die "no choice of a transmitter appeared"
      xdo windowfocus --sync "$choice"
      sleep 0.3
      (( $1 == 0 )) || xdo key --delay 40 --repeat "$1" Down
      echo "choice: $(xdotool getwindowname "$choice")"
      xdo key Return
      shift
      take_message 3
      ;;
    read-message) xdo key alt+r; take_message ;;
    write) xdo key alt+w; take_message ;;
    open) xdo key alt+o; name_file Open "$1"; shift ;;
    save) xdo key alt+s; name_file Save "$1"; shift ;;
    export-pdf)
      xdo key alt+h
      sleep 0.5
      xdo key p  # Export &PDF... in the button's menu
      site=$(find_window '^Site sheet$' 60) || die "no question for the site's name appeared"
      xdo windowfocus --sync "$site"
      sleep 0.3
      xdo key Return
      name_file 'Export PDF' "$1" "as typed"
      shift
      ;;
    exit)
      # wine 10's start returns at once when it opens a shortcut, with no status of the
      # program it started: then the process that shows the window is waited for.
      shown_by=
      kill -0 "$program" 2>/dev/null || shown_by=$(xdo getwindowpid "$window")
      xdo key alt+e
      # Rows typed and not saved: the question before they go (Save, Discard, Cancel)
      # is answered Discard, and nothing follows it.
      if box=$(find_window "$kBoxTitles" 3); then
        xdo windowfocus --sync "$box"
        sleep 0.3
        xdo key alt+d
        echo "question: $(xdotool getwindowname "$box"): unsaved rows discarded"
      fi
      timeout 60 tail --pid="${shown_by:-$program}" -f /dev/null || die "the program did not end after Exit"
      if [[ -z $shown_by ]]; then
        status=0
        wait "$program" || status=$?
        [[ $status -eq 0 ]] || die "the program ended with status $status"
      fi
      program=
      ;;
    *) die "unknown action $action" ;;
  esac
done
[[ -z $program ]] || { kill "$program" 2>/dev/null || true; }
