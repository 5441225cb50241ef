#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# Runs COMMAND in a wine session of its own (VOSTREL_WINE_FAKE_PREFIX) inside the fake
# transmitter's namespace, and ends the session before the namespace goes: wine's
# device host keeps the device open, and the namespace could not be torn down.
set -euo pipefail
export WINEPREFIX=$VOSTREL_WINE_FAKE_PREFIX WINEDEBUG=-all
# shellcheck source=scripts/lib/wine.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/wine.sh"
trap end_session EXIT
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  timeout 300 "$VOSTREL_WINE" wineboot --init >/dev/null 2>&1
  # Without SDL installed, wine's HID bus driver would never start its hidraw backend.
  timeout 60 "$VOSTREL_WINE" reg add 'HKLM\System\CurrentControlSet\Services\winebus' \
    /v 'Enable SDL' /t REG_DWORD /d 0 /f >/dev/null
  end_session
fi
# wine's HID bus finds the fakes a moment after the session starts; a program that looks
# before then is told the device is not there (seen about once in fifteen sessions on a
# busy machine). Listing the paths sends the devices nothing.
if [[ -n ${VOSTREL_FAKE_TRANSMITTERS:-} && -n ${VOSTREL_WINDOWS_CLI:-} ]]; then
  read -r -a nodes <<<"$VOSTREL_FAKE_TRANSMITTERS"
  for _ in $(seq 50); do
    found=$("$VOSTREL_WINE" "$VOSTREL_WINDOWS_CLI" devices --paths 2>/dev/null | grep -ci 'vid_0925&pid_1234') || true
    [[ $found -ge ${#nodes[@]} ]] && break
    sleep 0.2
  done
fi
"$@"
