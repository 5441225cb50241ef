// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "config/latin1_text.h"

#include <cstdio>

namespace vostrel::config {
namespace {

constexpr char32_t kLatin1Last = 0xFF;

struct LeadByte {
    std::size_t length;
    char32_t bits;
    char32_t smallest;  // below this the sequence is overlong
};

std::optional<LeadByte> leadByte(unsigned char byte) {
    if (byte < 0x80) return LeadByte{1, byte, 0};
    if ((byte & 0xE0) == 0xC0) return LeadByte{2, byte & 0x1Fu, 0x80};
    if ((byte & 0xF0) == 0xE0) return LeadByte{3, byte & 0x0Fu, 0x800};
    if ((byte & 0xF8) == 0xF0) return LeadByte{4, byte & 0x07u, 0x10000};
    return std::nullopt;
}

bool isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

}  // namespace

std::optional<char32_t> nextCodePoint(std::string_view text, std::size_t& i) {
    const auto lead = leadByte(static_cast<unsigned char>(text[i]));
    if (!lead || i + lead->length > text.size()) return std::nullopt;
    char32_t value = lead->bits;
    for (std::size_t k = 1; k < lead->length; ++k) {
        const auto continuation = static_cast<unsigned char>(text[i + k]);
        if ((continuation & 0xC0) != 0x80) return std::nullopt;
        value = (value << 6) | (continuation & 0x3Fu);
    }
    if (value < lead->smallest || value > 0x10FFFF || isSurrogate(value)) return std::nullopt;
    i += lead->length;
    return value;
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        if (!nextCodePoint(text, i)) return false;
    }
    return true;
}

TextError notLatin1(char32_t codePoint) {
    char text[48];
    std::snprintf(text, sizeof text, "character U+%04X is not Latin-1", static_cast<unsigned>(codePoint));
    return {text};
}

std::variant<std::string, TextError> utf8ToLatin1(std::string_view utf8) {
    std::string latin1;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto codePoint = nextCodePoint(utf8, i);
        if (!codePoint) return TextError{"invalid UTF-8"};
        if (*codePoint > kLatin1Last) return notLatin1(*codePoint);
        latin1 += static_cast<char>(*codePoint);
    }
    return latin1;
}

void appendUtf8(std::string& out, unsigned char latin1) {
    if (latin1 < 0x80) {
        out += static_cast<char>(latin1);
        return;
    }
    out += static_cast<char>(0xC0 | (latin1 >> 6));
    out += static_cast<char>(0x80 | (latin1 & 0x3F));
}

std::string latin1ToUtf8(std::string_view latin1) {
    std::string utf8;
    for (const char c : latin1) appendUtf8(utf8, static_cast<unsigned char>(c));
    return utf8;
}

}  // namespace vostrel::config
