#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# Builds the Debian package from a finished build, checks it as Debian's tools do
# (lintian, desktop-file-validate, appstreamcli), unpacks it into a scratch root and
# runs the installed tools, manual pages and bash completion from there.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "$*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$scratch/out" >/dev/null)
deb=$(ls "$scratch"/out/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in libqt6widgets6 libhidapi-hidraw0 qt6-translations-l10n; do
  [[ "$depends" == *"$needed"* ]] || fail "missing runtime dependency $needed"
done

# Every file of the source tree states its licence and copyright.
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
reuse --root "$source_dir" lint >"$scratch/reuse.txt" ||
  { tail -20 "$scratch/reuse.txt" >&2; fail "reuse lint: files without licence or copyright information"; }

# Errors and warnings fail; informational tags are shown.
lintian --fail-on error,warning --display-info "$deb" 2> >(grep -v 'running with root privileges' >&2)

dpkg -x "$deb" "$scratch/root"
root=$scratch/root
for file in usr/bin/vostrel-cli usr/bin/vostrel-programmer usr/bin/vostrel-programmer-emulated \
            usr/share/applications/vostrel-programmer.desktop \
            usr/share/applications/vostrel-programmer-emulated.desktop \
            usr/share/icons/hicolor/scalable/apps/vostrel-programmer.svg \
            usr/share/icons/hicolor/scalable/mimetypes/application-x-vostrel-configuration.svg \
            usr/share/mime/packages/vostrel-programmer.xml \
            usr/share/metainfo/example.vostrel.programmer.metainfo.xml \
            usr/share/bash-completion/completions/vostrel-cli \
            usr/share/doc/vostrel-programmer/copyright usr/share/doc/vostrel-programmer/changelog.gz \
            usr/share/doc/vostrel-programmer/NEWS.md.gz \
            usr/share/doc/vostrel-programmer/user-guide/en/index.html \
            usr/share/doc/vostrel-programmer/user-guide/de/index.html \
            usr/share/doc-base/vostrel-programmer-guide usr/share/doc-base/vostrel-programmer-guide-de; do
  [ -e "$root/$file" ] || fail "not installed: $file"
done
# The user guide whole: every page's pictures and links to other pages are in the package.
guide=$root/usr/share/doc/vostrel-programmer/user-guide
[ "$(ls "$guide"/en/*.html | wc -l)" = "$(ls "$guide"/de/*.html | wc -l)" ] || fail "the guide's languages differ in chapters"
while IFS=: read -r page target; do
  [ -f "$(dirname "$page")/$target" ] || fail "${page#"$guide"/}: $target is not in the package"
done < <(grep -o -E '(src|href)="[^"#:]+' "$guide"/*/*.html | sed -E 's/:(src|href)="/:/')
ls "$root"/usr/lib/udev/rules.d/*.rules >/dev/null

desktop-file-validate "$root/usr/share/applications/vostrel-programmer.desktop" \
                      "$root/usr/share/applications/vostrel-programmer-emulated.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/example.vostrel.programmer.metainfo.xml"

# grep reads all it is given (no -q after a pipe): a grep that stops early would make
# the writer fail under pipefail.
"$root/usr/bin/vostrel-cli" --help | grep encode >/dev/null
for program in vostrel-cli vostrel-programmer vostrel-programmer-emulated; do
  # Answered without a display.
  DISPLAY= QT_QPA_PLATFORM= "$root/usr/bin/$program" --version | grep -x "$program [0-9.]*" >/dev/null || fail "$program --version"
done
for program in vostrel-cli vostrel-programmer vostrel-programmer-emulated; do
  page=$(MANWIDTH=80 man --manpath="$root/usr/share/man" "$program" 2>/dev/null) || fail "no manual page for $program"
  grep -q "^NAME" <<<"$page" || fail "manual page of $program has no NAME"
done
man --manpath="$root/usr/share/man" vostrel-programmer | grep 'XDG_CONFIG_HOME/vostrel-programmer/kdx20Lang.ini' >/dev/null ||
  fail "manual page does not say where the language file goes"
man --manpath="$root/usr/share/man" vostrel-cli | grep -- '--verify' >/dev/null || fail "manual page lacks the command options"
for program in vostrel-cli vostrel-programmer vostrel-programmer-emulated; do
  MANWIDTH=200 man --manpath="$root/usr/share/man" "$program" |
    grep -F /usr/share/doc/vostrel-programmer/user-guide/en/index.html >/dev/null ||
    fail "manual page of $program does not say where the user guide is"
done
for program in vostrel-programmer vostrel-programmer-emulated; do
  MANWIDTH=200 man --manpath="$root/usr/share/man" "$program" | tr -s ' \n' '  ' |
    grep 'Open.*Save.*dropped on the window' >/dev/null ||
    fail "manual page of $program does not tell Open, Save and drag and drop"
done

man --manpath="$root/usr/share/man" vostrel-programmer | tr -s ' \n' '  ' |
  grep 'FILE, and a file dropped on the window, are opened' >/dev/null ||
  fail "manual page of vostrel-programmer does not say that it opens FILE"

# The configurations' file type, with the MIME database and the desktop entries' cache
# made from the unpacked package alone, as its triggers make them on a system.
as_installed() {
  env XDG_DATA_DIRS="$root/usr/share" XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config" \
      XDG_CONFIG_DIRS="$scratch/none" XDG_CURRENT_DESKTOP= PATH="$root/usr/bin:$PATH" "$@"
}
# Any complaint about the file type's XML is a failure.
mime_errors=$(as_installed update-mime-database "$root/usr/share/mime" 2>&1) || fail "update-mime-database: $mime_errors"
[ -z "$mime_errors" ] || fail "update-mime-database: $mime_errors"
update-desktop-database "$root/usr/share/applications"
mkdir "$scratch/sites"
printf '[Item01]\nCapCode = 1234567\n' >"$scratch/sites/Gasthaus Süd.vostrel"
cp "$scratch/sites/Gasthaus Süd.vostrel" "$scratch/sites/site.conf"
type=$(as_installed xdg-mime query filetype "$scratch/sites/Gasthaus Süd.vostrel")
[ "$type" = application/x-vostrel-configuration ] || fail "a .vostrel file is of type '$type'"
type=$(as_installed xdg-mime query filetype "$scratch/sites/site.conf")
[ "$type" != application/x-vostrel-configuration ] || fail "a .conf file is taken for the programmer's"
opener=$(as_installed xdg-mime query default application/x-vostrel-configuration)
[ "$opener" = vostrel-programmer.desktop ] || fail "a .vostrel file opens with '$opener'"
# Opened by the desktop, the window shows the file: having opened it, it lists it
# among its recent files.
# Where no desktop runs, xdg-open waits for the program it started.
as_installed xvfb-run -a bash -c '
  xdg-open "$1" &
  for _ in $(seq 200); do grep -qF "$1" "$2" 2>/dev/null && break; sleep 0.1; done
  window=$(xdotool search --onlyvisible --name "^Vostrel programmer" | head -n 1)
  [ -n "$window" ] && kill "$(xdotool getwindowpid "$window")"
  grep -qF "$1" "$2"' _ "$scratch/sites/Gasthaus Süd.vostrel" "$scratch/config/vostrel-programmer/vostrel-programmer.ini" ||
  fail "xdg-open of a .vostrel file did not open it in the window"

# Completion: where bash-completion loads it, and what it offers for partial lines.
[ "$(pkg-config --variable=completionsdir bash-completion)" = /usr/share/bash-completion/completions ] ||
  fail "bash-completion looks elsewhere"
touch "$scratch/pages.conf" "$scratch/pages.bin"
complete_line() {  # the words bash would offer after the line typed so far
  (cd "$scratch" && PATH="$root/usr/bin:$PATH" bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1/usr/share/bash-completion/completions/vostrel-cli"
    COMP_LINE=$2 COMP_POINT=${#2}
    read -ra COMP_WORDS <<<"$2"
    [[ $2 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _vostrel_cli vostrel-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    echo "${COMPREPLY[*]}"' _ "$root" "$1")
}
while IFS='|' read -r line expected; do
  got=$(complete_line "$line")
  [ "$got" = "$expected" ] || fail "completing '$line': got '$got', expected '$expected'"
done <<'CASES'
vostrel-cli wr|write
vostrel-cli de|decode devices
vostrel-cli write --|--emulator --device --image --verify --no-backup --force --transliterate --allow-partial --help
vostrel-cli read --device |
vostrel-cli decode --alphabet d|DE DK
vostrel-cli write --emulator pages.b|pages.bin
vostrel-cli build pages.c|pages.conf
vostrel-cli encode --tone |A B C D
vostrel-cli encode --capcode 1 --numeric pa|
vostrel-cli csv|csv-export csv-import
vostrel-cli csv-import --labels pages.c|pages.conf
CASES
echo "package installs and runs"
