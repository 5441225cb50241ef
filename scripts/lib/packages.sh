# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# shellcheck shell=bash
# Debian packages the project needs, sourced by run.sh, test.sh and the scripts. The
# names are those of Debian 12 and Debian 13 alike, but for clang's version: each
# release ships its own (release_clang below).
# help2man writes the manual pages from the programs' --help at build time; dpkg-dev's
# dpkg-buildflags gives the release build Debian's hardening flags.
# python3-markdown renders the user guide to HTML at build time: a small pure-Python
# converter (about 300 KiB) with tables and a hook that points the links between
# chapters at their pages; cmark-gfm would need a script of its own for the headings'
# anchors and the links, and pandoc is 170 MiB.
# qt6-translations-l10n holds Qt's own texts (file dialogs, standard buttons) in German
# and French: the window loads them at run time, the Windows build compiles them in.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libhidapi-dev fonts-dejavu-core help2man
                dpkg-dev python3-markdown qt6-translations-l10n)
# clang-N with its sanitizer and libFuzzer runtime (libclang-rt-N-dev) builds the
# sanitizer tree (it compiles sanitized code about twice as fast as g++) and the fuzz
# targets; llvm-N's llvm-symbolizer names the functions in the sanitizers' reports.
# add_release_clang names them for the release.
# The package check runs Debian's own checkers on the built package, reads its manual
# pages with man and tries its completion under bash-completion; reuse checks that
# every source file states its licence. fuse3 serves the fake
# transmitter that the real USB path is tested against. xvfb (with xauth for xvfb-run)
# and xdotool run the window in a real X server driven by keys alone. mingw-w64 (with
# POSIX threads) builds the Windows programs, wine64 runs them, googletest is built for
# them. With Qt for Windows built (scripts/windows-qt.sh, which needs dpkg-dev for
# Debian's Qt source), the window .exe is driven the same way, its message boxes read
# from the clipboard (xclip) and its icon with xprop (x11-utils); nsis makes the
# Windows installer, and locales gives the installer check the German locale (wine
# takes the system's language from it) to make with localedef. python3's csv module is
# the independent reader and writer the site lists are checked against, and its Unicode
# database checks which letters a base letter and a combining mark make; its
# html.parser reads the site sheet and its json preview's rows. poppler-utils
# (pdftotext, pdfinfo) reads the window's PDF of the site sheet.
# The package check also opens a .vostrel file as a desktop does: shared-mime-info
# builds the MIME database from the package's file type, xdg-utils asks it (through
# libfile-mimeinfo-perl where no desktop runs) and starts the window.
TEST_PACKAGES=(libgtest-dev dpkg-dev multimon-ng python3
               lintian desktop-file-utils appstream man-db bash-completion reuse
               shared-mime-info xdg-utils libfile-mimeinfo-perl
               fuse3 libfuse3-dev g++-mingw-w64-x86-64-posix wine64 googletest
               xvfb xauth xdotool xclip x11-utils nsis locales poppler-utils)
# scripts/on-debian.sh makes its Debian trees with debootstrap.
ON_DEBIAN_PACKAGES=(debootstrap)

# release_clang: sets CLANG_VERSION to the clang this release ships with its sanitizer and
# libFuzzer runtime: 14 on Debian 12, 19 on Debian 13. On any other release, the one its
# `clang` package depends on, said in a line; VOSTREL_CLANG_VERSION=N chooses another.
# Returns 1, saying why, when there is none to take.
release_clang() {
  local release
  release=$(. /etc/os-release 2>/dev/null && echo "${ID:-}:${VERSION_ID:-}:${PRETTY_NAME:-an unknown system}")
  case ${VOSTREL_CLANG_VERSION:-}:$release in
    [!:]*) CLANG_VERSION=$VOSTREL_CLANG_VERSION ;;
    :debian:12:*) CLANG_VERSION=14 ;;
    :debian:13:*) CLANG_VERSION=19 ;;
    *)
      CLANG_VERSION=$(apt-cache depends clang 2>/dev/null | sed -n 's/^ *Depends: clang-\([0-9]*\)$/\1/p' | head -n 1)
      if [[ -z $CLANG_VERSION ]]; then
        echo "This is ${release#*:*:}, not Debian 12 or 13, on which this project is tested, and its" \
             "package lists name no default clang (after apt-get update they may): set" \
             "VOSTREL_CLANG_VERSION to the version of the clang to use (with its libclang-rt-N-dev)" >&2
        return 1
      fi
      echo "This is ${release#*:*:}, not Debian 12 or 13, on which this project is tested;" \
           "taking clang-$CLANG_VERSION, its default clang (VOSTREL_CLANG_VERSION=N chooses another)" >&2 ;;
  esac
}

# add_release_clang: release_clang, and its clang, runtime and symbolizer added to
# TEST_PACKAGES.
add_release_clang() {
  release_clang || return
  TEST_PACKAGES+=("clang-$CLANG_VERSION" "libclang-rt-$CLANG_VERSION-dev" "llvm-$CLANG_VERSION")
}
