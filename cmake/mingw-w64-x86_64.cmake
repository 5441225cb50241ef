# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# Cross-builds the Windows (x86-64) programs with Debian's mingw-w64 and runs what
# CTest runs through wine. Use: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The -posix variants by name: they give std::thread and friends, and installing the
# win32 variant switches what the unsuffixed names point to.
set(VOSTREL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VOSTREL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VOSTREL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VOSTREL_MINGW_PREFIX}-windres)

# Libraries for Windows installed elsewhere (Qt for Windows, say) are named with
# CMAKE_PREFIX_PATH; nothing of the build machine's own is found.
set(CMAKE_FIND_ROOT_PATH /usr/${VOSTREL_MINGW_PREFIX} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Never the build machine's Linux libraries through pkg-config.
set(ENV{PKG_CONFIG_LIBDIR} /usr/${VOSTREL_MINGW_PREFIX}/lib/pkgconfig)

# One self-contained .exe each, importing only system DLLs: nothing to ship beside
# it and nothing for wine to look up.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# A static Qt links in a program's plugins (the windows platform, the offscreen one the
# tests import) only when their packages are read, which Debian's Qt 6.8 turns off by
# default; without them the programs cannot start.
set(QT_SKIP_AUTO_PLUGIN_INCLUSION OFF)

# Debian installs the wine loader outside PATH.
find_program(VOSTREL_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(VOSTREL_WINE NAMES wine64 wine)
# wine's menu builder would turn the shortcuts that a new prefix or an installer makes
# into desktop entries, menus and icons in the user's home, pointing at programs gone
# with the test: no wine process started here runs it.
set(VOSTREL_WINE_DLL_OVERRIDES winemenubuilder.exe=d)
if(VOSTREL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDLLOVERRIDES=${VOSTREL_WINE_DLL_OVERRIDES} ${VOSTREL_WINE})
endif()

# try_compile projects re-read this file; hand them what was found.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VOSTREL_WINE)

# GCC 12 inlines so deeply at -O3 that it warns about impossible overlaps and
# overflows inside its own string and vector code; -O2 builds the same code quietly.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "C++ compiler flags of Release builds")
