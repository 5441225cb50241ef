#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# The fake transmitter's harness, with the command run in a wine session of its own
# inside the namespace, so that wine's HID stack sees the fake:
#   wine_fake_harness.sh FAKE [FAKE_OPTIONS...] -- COMMAND [ARGS...]
# VOSTREL_FAKE_HARNESS names the harness (with_fake_transmitter.sh) and
# VOSTREL_WINE_FAKE_PREFIX the wine prefix kept for the namespace alone: a wine server
# started outside would serve the namespace's programs with the machine's own devices.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
fake_arguments=()
while [[ $# -gt 0 && $1 != -- ]]; do fake_arguments+=("$1"); shift; done
exec "$VOSTREL_FAKE_HARNESS" "${fake_arguments[@]}" -- "$here/wine_session.sh" "${@:2}"
