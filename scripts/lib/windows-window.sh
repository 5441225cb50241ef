# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# The window's part of the Windows suite, sourced by scripts/windows-tests.sh. The
# window needs Qt for Windows, which Debian does not ship: scripts/windows-qt.sh builds
# it once into a cache. Without that cache the suite is the command-line tool's alone.

# Sets window_options to the Windows build's CMake options: the window and its tests
# against the cached Qt, or no window, which it says in one line.
windows_window_options() {  # project folder
  local qt
  qt=$("$1/scripts/windows-qt.sh" --path 2>/dev/null) || qt=
  if [[ -n $qt && -f $qt/lib/cmake/Qt6/Qt6Config.cmake ]]; then
    echo "Windows window suite: on, with Qt for Windows from $qt"
    window_options=(-DVOSTREL_BUILD_GUI=ON "-DCMAKE_PREFIX_PATH=$qt" -DQT_HOST_PATH=/usr
                    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
  else
    echo "Windows window suite skipped: it needs Qt for Windows, built once (about half an hour) by scripts/windows-qt.sh"
    window_options=(-DVOSTREL_BUILD_GUI=OFF)
  fi
}

# The ZIP as a portable copy (portable.ini beside the programs), when the window was
# built: the emulated window run from it on a display of its own and a wine prefix of
# its own, which must hold nothing of the tool afterwards.
windows_portable_check() {  # project folder, build folder, wine loader, unpacked ZIP
  grep -q '^VOSTREL_BUILD_GUI:BOOL=ON$' "$2/CMakeCache.txt" || return 0
  echo "== Windows portable copy =="
  VOSTREL_WINE=$3 WINEPREFIX="$2/wine-portable-prefix" \
    xvfb-run -a -s "-screen 0 1280x1024x24" bash "$1/tests/windows/wine_portable_check.sh" "$4"
}

# The installer, when the window was built: made by CPack with makensis, then installed,
# started and uninstalled under wine on a display of its own.
windows_installer_check() {  # project folder, build folder, wine loader
  local here=$1 build=$2 dir=$2/installer-check
  grep -q '^VOSTREL_BUILD_GUI:BOOL=ON$' "$build/CMakeCache.txt" || return 0
  echo "== Windows installer =="
  rm -rf "$dir" && mkdir -p "$dir"
  (cd "$build" && cpack -G NSIS -B "$dir" >/dev/null)
  local installer
  installer=$(echo "$dir"/vostrel-programmer-*-win64.exe)
  [[ -f $installer ]] || { echo "no installer was made in $dir" >&2; return 1; }
  echo "$(basename "$installer"): $(du -h "$installer" | cut -f1)"
  VOSTREL_WINE=$3 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$here/tests/windows/wine_installer_check.sh" "$installer"
}
