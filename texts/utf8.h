// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// UTF-8, the encoding of every text file the tool reads and writes.

#include <string_view>

namespace vostrel::texts {

// True when the text is well-formed UTF-8 (no stray continuation byte, overlong form,
// surrogate or code point beyond U+10FFFF).
bool isValidUtf8(std::string_view text);

}  // namespace vostrel::texts
