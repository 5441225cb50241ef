# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# Debian's hardening, as dpkg-buildflags gives it for the release the build runs on with
# every feature on (DEB_BUILD_MAINT_OPTIONS=hardening=+all): fortified libc calls, the
# stack protector, read-only relocations bound at start (relro, now), position-
# independent programs, and what newer releases add (stack clash and control-flow
# protection). The build type keeps its own optimisation and debug information: -O and
# -g are left out of what dpkg-buildflags gives.
#
# VOSTREL_DEBIAN_HARDENING is on by default for an optimised Linux build that is neither
# the sanitizer's nor the fuzzers' (their own instrumentation is what they test with;
# fortify needs optimisation, and a Debug build would warn that it has none): the
# release tree, which ./run.sh builds and the Debian package ships.

if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$"
   AND NOT VOSTREL_SANITIZE AND NOT VOSTREL_BUILD_FUZZERS)
  set(hardening_default ON)
else()
  set(hardening_default OFF)
endif()
option(VOSTREL_DEBIAN_HARDENING "Build with the hardening flags dpkg-buildflags gives" ${hardening_default})
if(NOT VOSTREL_DEBIAN_HARDENING)
  return()
endif()

find_program(VOSTREL_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT VOSTREL_DPKG_BUILDFLAGS)
  message(FATAL_ERROR "The hardening flags come from dpkg-buildflags, which is not installed: install "
                      "dpkg-dev (./run.sh does), or configure with -DVOSTREL_DEBIAN_HARDENING=OFF")
endif()

# debian_buildflags(VARIABLE KIND): the flags of one kind (CPPFLAGS, CXXFLAGS, LDFLAGS)
# as a list, without -O and -g.
function(debian_buildflags variable kind)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all ${VOSTREL_DPKG_BUILDFLAGS} --get ${kind}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^-(O.*|g)$")
  set(${variable} ${flags} PARENT_SCOPE)
endfunction()

debian_buildflags(preprocessor_flags CPPFLAGS)
debian_buildflags(compiler_flags CXXFLAGS)
debian_buildflags(linker_flags LDFLAGS)
message(STATUS "Debian's hardening: ${preprocessor_flags};${compiler_flags};${linker_flags}")
add_compile_options(${preprocessor_flags} ${compiler_flags})
add_link_options(${linker_flags})
