# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# shellcheck shell=bash
# Debian packages the project needs, sourced by run.sh and test.sh.
# help2man writes the manual pages from the programs' --help at build time.
# qt6-translations-l10n holds Qt's own texts (file dialogs, standard buttons) in German
# and French: the window loads them at run time, the Windows build compiles them in.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libhidapi-dev fonts-dejavu-core help2man
                qt6-translations-l10n)
# clang-14 with its sanitizer and libFuzzer runtime builds the sanitizer tree (it compiles
# sanitized code about twice as fast as g++) and the fuzz targets.
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
TEST_PACKAGES=(libgtest-dev clang-14 libclang-rt-14-dev dpkg-dev multimon-ng python3
               lintian desktop-file-utils appstream man-db bash-completion reuse
               shared-mime-info xdg-utils libfile-mimeinfo-perl
               fuse3 libfuse3-dev g++-mingw-w64-x86-64-posix wine64 googletest
               xvfb xauth xdotool xclip x11-utils nsis locales poppler-utils)
