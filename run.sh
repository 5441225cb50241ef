#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# Installs what is missing, builds, and starts the programmer window.
#   ./run.sh             the real programmer (USB transmitter)
#   ./run.sh --emulated  the same window against an emulated transmitter
#                        (EEPROM kept in emulated-eeprom.bin in the working directory)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/scripts/lib/packages.sh"
"$here/scripts/install-packages.sh" "${BUILD_PACKAGES[@]}"

build="$here/build/release"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVOSTREL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target vostrel-programmer vostrel-programmer-emulated vostrel-cli

case "${1:-}" in
  # The working directory's file, not the program's own default in the user's data
  # folder: a developer's emulated transmitter stays with the checkout.
  --emulated) shift; exec "$build/app/vostrel-programmer-emulated" "${@:-emulated-eeprom.bin}" ;;
  "") exec "$build/app/vostrel-programmer" ;;
  *) echo "usage: ./run.sh [--emulated [EEPROM-FILE]]" >&2; exit 2 ;;
esac
