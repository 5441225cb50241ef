#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# Writes PROGRAM's gzipped manual page from its own --help, adding the sections of
# INCLUDE (help2man's format). For vostrel-cli, its description is kept as printed
# and each command's --help becomes a subsection of COMMANDS, so the page lists
# every option.
#   make-manual-page.sh PROGRAM DESCRIPTION INCLUDE OUTPUT.gz
set -euo pipefail
program=$1 description=$2 include=$3 output=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# roff reads a backslash as an escape and a leading dot or quote as a request.
as_roff() { sed -e 's/\\/\\e/g' -e "s/^[.']/\\\\\&&/"; }

# Text as it stands, in a preformatted block.
preformatted() { echo '.nf'; as_roff; echo '.fi'; }

cp "$include" "$work/include"
if [[ $(basename "$program") == vostrel-cli ]]; then
  {
    # help2man would run the command list and the configuration example together.
    echo '[=DESCRIPTION]'
    "$program" --help | tail -n +2 | preformatted
    echo '[COMMANDS]'
    for command in $("$program" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z]\+\) .*/\1/p'); do
      echo ".SS $command"
      "$program" "$command" --help | preformatted
    done
  } >>"$work/include"
fi
help2man --no-info --section=1 --name="$description" \
         --include="$work/include" --output="$work/page" "$program"
gzip -9n <"$work/page" >"$output"
