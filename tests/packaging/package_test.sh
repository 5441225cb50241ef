#!/usr/bin/env bash
# Builds the Debian package from a finished build, unpacks it into a scratch root and
# runs the installed tools from there.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G DEB -B "$scratch/out" >/dev/null)
deb=$(ls "$scratch"/out/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in libqt6widgets6 libhidapi-hidraw0; do
  [[ "$depends" == *"$needed"* ]] || { echo "missing runtime dependency $needed" >&2; exit 1; }
done

dpkg -x "$deb" "$scratch/root"
for file in usr/bin/vostrel-cli usr/bin/vostrel-programmer usr/bin/vostrel-programmer-emulated \
            usr/share/applications/vostrel-programmer.desktop \
            usr/share/icons/hicolor/scalable/apps/vostrel-programmer.svg; do
  [ -e "$scratch/root/$file" ] || { echo "not installed: $file" >&2; exit 1; }
done
ls "$scratch"/root/usr/lib/udev/rules.d/*.rules >/dev/null

"$scratch/root/usr/bin/vostrel-cli" --help | grep -q encode
echo "package installs and runs"
