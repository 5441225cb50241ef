# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# Debian packages the project needs, sourced by run.sh and test.sh.
# help2man writes the manual pages from the programs' --help at build time.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libhidapi-dev fonts-dejavu-core help2man)
# clang-14 with its sanitizer and libFuzzer runtime builds the sanitizer tree (it compiles
# sanitized code about twice as fast as g++) and the fuzz targets.
# The package check runs Debian's own checkers on the built package, reads its manual
# pages with man and tries its completion under bash-completion; reuse checks that
# every source file states its licence. fuse3 serves the fake
# transmitter that the real USB path is tested against. xvfb (with xauth for xvfb-run)
# and xdotool run the window in a real X server driven by keys alone. The last three
# build the Windows programs (mingw-w64 with POSIX threads), run them (wine) and build
# GoogleTest for them.
TEST_PACKAGES=(libgtest-dev clang-14 libclang-rt-14-dev dpkg-dev multimon-ng
               lintian desktop-file-utils appstream man-db bash-completion reuse
               fuse3 libfuse3-dev xvfb xauth xdotool
               g++-mingw-w64-x86-64-posix wine64 googletest)
