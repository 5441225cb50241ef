#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# Builds the Qt for Windows that the window's Windows build links against: Debian's own
# qt6-base source (the version the machine's Qt is: 6.4.2 on Debian 12, 6.8.2 on
# Debian 13), the project's patches for that version from scripts/windows-qt/VERSION/,
# configured static and minimal for mingw-w64, installed into a cache folder named
# after everything that shapes it. Takes about half an hour on two
# cores, once; a second run finds the folder and does nothing.
#   scripts/windows-qt.sh           build the cache unless it is there
#   scripts/windows-qt.sh --path    print the cache folder (whether it exists or not)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
patches="$here/scripts/windows-qt"
root="${XDG_CACHE_HOME:-$HOME/.cache}/vostrel-programmer"
mingw=x86_64-w64-mingw32

refuse() { echo "windows-qt.sh: $*" >&2; exit 1; }
usage() { echo "usage: scripts/windows-qt.sh [--path]" >&2; exit 2; }
case "${1:-}" in --path|"") ;; *) usage ;; esac

# What the machine has, read without changing anything.
installed_version() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null || true; }
host_qt=$(installed_version qt6-base-dev)
source_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev 2>/dev/null || true)
compiler_package=$(installed_version g++-mingw-w64-x86-64-posix)
headers_package=$(installed_version mingw-w64-x86-64-dev)
[ -n "$host_qt" ] && [ -n "$compiler_package" ] && [ -n "$headers_package" ] ||
  refuse "needs qt6-base-dev, g++-mingw-w64-x86-64-posix and mingw-w64-x86-64-dev installed (./test.sh installs them)"
compiler_version=$("$mingw-g++-posix" -dumpfullversion 2>/dev/null) ||
  refuse "$mingw-g++-posix does not run"
qt_version=${source_version%%+*}    # 6.4.2 of 6.4.2+dfsg-10

# Qt's own build needs only the cross compilers; the rest of what the project's
# toolchain file does (static linking, wine) is for the project's programs.
toolchain="# Written by scripts/windows-qt.sh for building Qt for Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $mingw-gcc-posix)
set(CMAKE_CXX_COMPILER $mingw-g++-posix)
set(CMAKE_RC_COMPILER $mingw-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$mingw)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
"

# Core, Gui, Widgets and Test with the windows and offscreen platform plugins, every
# third-party library bundled, nothing that needs a Windows library Debian lacks.
# Tablet support stays off because Debian's tarball drops the library the windows
# plugin includes for it; FreeType stays on because the offscreen plugin needs it.
# PREFIX and TOOLCHAIN are filled in below: the folder name must not depend on itself.
configure_options=(
  -static -release -xplatform win32-g++ -device-option CROSS_COMPILE=$mingw-
  -qt-host-path /usr -nomake examples -nomake tests
  -no-opengl -no-dbus -no-icu -no-pkg-config -no-zstd
  -qt-zlib -qt-pcre -qt-libpng -no-libjpeg -qt-harfbuzz -qt-freetype
  -no-feature-sql -no-feature-network -no-feature-xml -no-feature-printsupport
  -no-feature-concurrent -no-feature-vulkan -no-feature-gif -no-feature-tabletevent
  -no-feature-androiddeployqt -no-feature-direct2d
)
cmake_options=(-G Ninja -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)

shopt -s nullglob
patch_files=("$patches/$qt_version"/*.patch)
shopt -u nullglob
key=$({
  echo "debian source qt6-base $source_version"
  echo "host qt $host_qt"
  echo "compiler $compiler_package $compiler_version"
  echo "headers $headers_package"
  echo "configure ${configure_options[*]} -- ${cmake_options[*]}"
  echo "toolchain $toolchain"
  for file in "${patch_files[@]}"; do echo "patch $(basename "$file")"; cat "$file"; done
} | sha256sum | cut -c1-12)
cache="$root/qt6-mingw-$qt_version-$key"

if [ "${1:-}" = --path ]; then echo "$cache"; exit 0; fi
if [ -f "$cache/lib/cmake/Qt6/Qt6Config.cmake" ]; then
  echo "Qt $qt_version for Windows is already built: $cache"
  exit 0
fi

for command in apt-get dpkg-source cmake ninja patch nice flock "$mingw-windres"; do
  command -v "$command" >/dev/null || refuse "needs $command (./test.sh installs what is missing)"
done
mkdir -p "$root" || refuse "cannot create $root"
# Two runs at once would build into the same folder.
exec 9>"$root/qt6-mingw-$key.lock"
flock -n 9 || { echo "windows-qt.sh: another run is building $cache; waiting for it"; flock 9; }
if [ -f "$cache/lib/cmake/Qt6/Qt6Config.cmake" ]; then
  echo "Qt $qt_version for Windows is already built: $cache"
  exit 0
fi

# Everything but the finished folder lives here (about 2.3 GB while building) and is
# removed at the end; an interrupted run goes on where it stopped.
work="$root/qt6-mingw-$key.work"
started=$(date +%s)
step() {  # description, command...
  local description=$1; shift
  echo "== $description =="
  "$@" || refuse "refusing to go on: $description failed (exit $?); the work folder $work is kept"
}

fetch_source() {
  local apt="$work/apt" dsc="$work/qt6-base_${source_version#*:}.dsc"
  [ -f "$dsc" ] && return 0
  # apt with a source list, lists and cache of its own: the machine's apt sources and
  # state stay as they are, and no root is needed.
  . /etc/os-release
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/parts" || return
  local keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  printf 'deb-src [signed-by=%s] http://deb.debian.org/debian %s main\n' "$keyring" "$VERSION_CODENAME" \
    "$keyring" "$VERSION_CODENAME-updates" > "$apt/sources.list"
  printf 'deb-src [signed-by=%s] http://deb.debian.org/debian-security %s-security main\n' \
    "$keyring" "$VERSION_CODENAME" >> "$apt/sources.list"
  local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/parts"
                 -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache")
  # As root apt would hand the download to its own user, who may not enter this folder.
  [ "$(id -u)" -ne 0 ] || options+=(-o APT::Sandbox::User=root)
  # A list that failed to download is an error, not a warning about old lists.
  apt-get -q "${options[@]}" --error-on=any update || return
  (cd "$work" && apt-get -q "${options[@]}" source --download-only "qt6-base=$source_version") || {
    echo "Debian's archive did not give qt6-base $source_version, the version of the installed Qt" >&2
    return 1
  }
}

unpack_source() {
  [ -f "$work/source.unpacked" ] && return 0
  rm -rf "$work/source"
  dpkg-source -x "$work"/qt6-base_*.dsc "$work/source" >/dev/null || return
  for file in "${patch_files[@]}"; do
    echo "applying $(basename "$file")"
    patch -d "$work/source" -p1 --forward --batch < "$file" || return
  done
  touch "$work/source.unpacked"
}

configure_qt() {
  [ -f "$work/build.configured" ] && return 0
  rm -rf "$work/build" && mkdir -p "$work/build" || return
  printf '%s' "$toolchain" > "$work/toolchain.cmake" || return
  (cd "$work/build" && nice "$work/source/configure" -prefix "$cache" "${configure_options[@]}" \
    -- "${cmake_options[@]}" -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake") || return
  touch "$work/build.configured"
}

install_qt() {
  # Installed beside the cache and renamed into place, so that the cache folder is
  # there only when it is whole.
  rm -rf "$work/install" || return
  DESTDIR="$work/install" cmake --install "$work/build" >/dev/null || return
  [ -f "$work/install$cache/lib/cmake/Qt6/Qt6Config.cmake" ] || { echo "the install holds no Qt6Config.cmake" >&2; return 1; }
  rm -rf "$cache" && mv "$work/install$cache" "$cache"
}

mkdir -p "$work" || refuse "cannot create $work"
[ ${#patch_files[@]} -gt 0 ] ||
  echo "windows-qt.sh: no patches are kept for Qt $qt_version (scripts/windows-qt/$qt_version/); building Debian's source as it is"
echo "Building Qt $qt_version for Windows into $cache (about half an hour on two cores, 2.3 GB while building)"
step "fetching Debian's qt6-base $source_version source" fetch_source
step "unpacking it and applying the project's patches" unpack_source
step "configuring a static, minimal Qt for Windows" configure_qt
step "building Qt with $(nproc) jobs" nice cmake --build "$work/build" --parallel "$(nproc)"
step "installing into $cache" install_qt
rm -rf "$work" "$root/qt6-mingw-$key.lock"
minutes=$(( ($(date +%s) - started + 59) / 60 ))
echo "Qt $qt_version for Windows is ready in $cache ($(du -sh "$cache" | cut -f1), $minutes min)"
