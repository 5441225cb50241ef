#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# vostrel-cli.exe under wine, called like vostrel-cli. Inside the fake transmitter's
# namespace it runs in that namespace's own wine session (wine_session.sh); outside
# it, in the prefix the other Windows tests use.
#   VOSTREL_WINDOWS_CLI   the .exe    VOSTREL_WINE   the wine loader
set -euo pipefail
exec "$VOSTREL_WINE" "$VOSTREL_WINDOWS_CLI" "$@"
