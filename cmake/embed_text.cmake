# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# Writes a C++ source whose function NAME() gives a file's bytes, so that a text the
# users also read as a file (a translation) is compiled in from that very file.
# Run as a script: cmake -DINPUT=file -DOUTPUT=file.cpp -DNAME=name -P embed_text.cmake
file(READ "${INPUT}" bytes HEX)
string(LENGTH "${bytes}" hex_length)
math(EXPR size "${hex_length} / 2")
# Every byte as 0xNN, sixteen to a line: no escape or delimiter of a string literal
# can then be met in the text.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," listed "${bytes}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " listed "${listed}")
file(WRITE "${OUTPUT}.new"
"// Generated from ${INPUT} by cmake/embed_text.cmake; do not edit.
#include <string_view>

namespace vostrel::embedded {
namespace {
constexpr unsigned char kBytes[${size} + 1] = {
    ${listed}0};
}  // namespace
std::string_view ${NAME}() { return {reinterpret_cast<const char*>(kBytes), ${size}}; }
}  // namespace vostrel::embedded
")
# Only a changed text rebuilds what is compiled from it.
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
