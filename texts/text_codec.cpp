// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "texts/text_codec.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

namespace vostrel::texts {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char32_t kLastCodePoint = 0x10FFFF;

bool isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// What a lead byte announces. The byte after it must lie in [low, high]: that bound
// alone rules out overlong forms, surrogates and values beyond U+10FFFF.
struct LeadByte {
    std::size_t length;
    char32_t bits;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
};

std::optional<LeadByte> leadByte(std::uint8_t byte) {
    if (byte < 0x80) return LeadByte{1, byte};
    if (byte >= 0xC2 && byte <= 0xDF) return LeadByte{2, byte & 0x1Fu};
    if (byte == 0xE0) return LeadByte{3, byte & 0x0Fu, 0xA0};
    if (byte == 0xED) return LeadByte{3, byte & 0x0Fu, 0x80, 0x9F};
    if (byte >= 0xE1 && byte <= 0xEF) return LeadByte{3, byte & 0x0Fu};
    if (byte == 0xF0) return LeadByte{4, byte & 0x07u, 0x90};
    if (byte == 0xF4) return LeadByte{4, byte & 0x07u, 0x80, 0x8F};
    if (byte >= 0xF1 && byte <= 0xF3) return LeadByte{4, byte & 0x07u};
    return std::nullopt;
}

constexpr std::array<char16_t, 32> kWindows1252High = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

char32_t windows1252Character(std::uint8_t byte) {
    return (byte >= 0x80 && byte < 0xA0) ? kWindows1252High[byte - 0x80] : char32_t{byte};
}

}  // namespace

std::optional<char32_t> nextCodePoint(std::string_view text, std::size_t& i) {
    if (i >= text.size()) return std::nullopt;
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const auto lead = leadByte(byte(i));
    if (!lead || lead->length > text.size() - i) return std::nullopt;
    char32_t value = lead->bits;
    for (std::size_t k = 1; k < lead->length; ++k) {
        const std::uint8_t next = byte(i + k);
        const bool inRange = k == 1 ? (next >= lead->low && next <= lead->high) : (next & 0xC0) == 0x80;
        if (!inRange) return std::nullopt;
        value = (value << 6) | (next & 0x3Fu);
    }
    i += lead->length;
    return value;
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        if (!nextCodePoint(text, i)) return false;
    }
    return true;
}

std::optional<std::u32string> decodeUtf8(std::string_view text) {
    std::u32string codePoints;
    for (std::size_t i = 0; i < text.size();) {
        const auto codePoint = nextCodePoint(text, i);
        if (!codePoint) return std::nullopt;
        codePoints += *codePoint;
    }
    return codePoints;
}

std::size_t codePointCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        if (!nextCodePoint(text, i)) ++i;
    }
    return count;
}

void appendUtf8(std::string& out, char32_t codePoint) {
    if (isSurrogate(codePoint) || codePoint > kLastCodePoint) codePoint = kReplacementCharacter;
    const auto put = [&](char32_t bits) { out += static_cast<char>(bits); };
    if (codePoint < 0x80) {
        put(codePoint);
    } else if (codePoint < 0x800) {
        put(0xC0 | (codePoint >> 6));
        put(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        put(0xE0 | (codePoint >> 12));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    } else {
        put(0xF0 | (codePoint >> 18));
        put(0x80 | ((codePoint >> 12) & 0x3F));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

std::string encodeUtf8(char32_t codePoint) {
    std::string out;
    appendUtf8(out, codePoint);
    return out;
}

std::string encodeUtf8(std::u32string_view codePoints) {
    std::string out;
    out.reserve(codePoints.size());
    for (const char32_t codePoint : codePoints) appendUtf8(out, codePoint);
    return out;
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) appendUtf8(out, windows1252Character(static_cast<std::uint8_t>(c)));
    return out;
}

namespace {

// Where a mixture is first seen: the line and the characters before the byte on it.
MixedEncoding mixtureAt(std::string_view bytes, std::size_t bad) {
    const std::string_view before = bytes.substr(0, bad);
    const std::size_t lineStart = before.rfind('\n') == std::string_view::npos ? 0 : before.rfind('\n') + 1;
    std::string_view onLine = before.substr(lineStart);
    if (lineStart == 0 && onLine.starts_with(kByteOrderMark)) onLine.remove_prefix(kByteOrderMark.size());
    return {static_cast<std::size_t>(std::ranges::count(before, '\n')) + 1, codePointCount(onLine) + 1,
            static_cast<std::uint8_t>(bytes[bad])};
}

}  // namespace

std::variant<FileText, MixedEncoding> readFileText(std::string_view bytes) {
    std::optional<std::size_t> firstInvalid;
    bool multiByteSequence = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t start = i;
        if (!nextCodePoint(bytes, i)) {
            if (!firstInvalid) firstInvalid = start;
            ++i;
        } else if (i - start > 1) {
            multiByteSequence = true;
        }
    }
    if (!firstInvalid) {
        if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
        return FileText{std::string(bytes), FileEncoding::Utf8};
    }
    if (!multiByteSequence) return FileText{windows1252ToUtf8(bytes), FileEncoding::Windows1252};
    return mixtureAt(bytes, *firstInvalid);
}

}  // namespace vostrel::texts
