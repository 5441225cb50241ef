// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The tool's texts are 8-bit Latin-1 (one byte per character, as the transmitter and
// the paging code see them); files and terminals speak UTF-8. These convert between.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vostrel::config {

// The code point starting at text[i], advancing i past it; nothing (and i unchanged)
// for a malformed, overlong, surrogate or out-of-range sequence.
std::optional<char32_t> nextCodePoint(std::string_view text, std::size_t& i);

bool isValidUtf8(std::string_view text);

struct TextError {
    std::string what;
};

// Each character of the UTF-8 text as one Latin-1 byte; an error for invalid UTF-8 or a
// character above U+00FF.
std::variant<std::string, TextError> utf8ToLatin1(std::string_view utf8);

std::string latin1ToUtf8(std::string_view latin1);

// Appends the Latin-1 character as UTF-8.
void appendUtf8(std::string& out, unsigned char latin1);

// "character U+20AC is not Latin-1".
TextError notLatin1(char32_t codePoint);

}  // namespace vostrel::config
