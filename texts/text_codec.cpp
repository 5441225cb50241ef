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

bool isInvisible(char32_t c) {
    return c == 0xAD || (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2060 && c <= 0x2064) ||
           c == 0xFEFF;
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

bool isAsciiLetter(std::uint8_t byte) { return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'); }

bool isCombiningMark(char32_t c) { return c >= 0x300 && c <= 0x36F; }

// Windows-1252's characters 0x80 to 0xBF that are punctuation, signs or spaces, not
// letters (ƒ Š Œ Ž š œ ž Ÿ ª µ º) or unused bytes.
bool isWindows1252Sign(std::uint8_t byte) {
    constexpr std::string_view kLettersAndUnused = "\x81\x83\x8A\x8C\x8D\x8E\x8F\x90\x9A\x9C\x9D\x9E\x9F\xAA\xB5\xBA";
    return byte >= 0x80 && byte <= 0xBF && kLettersAndUnused.find(static_cast<char>(byte)) == std::string_view::npos;
}

// Whether the two-byte sequence at `start` is what Windows-1252 writes for "ß" or "×",
// or for a capital letter Ä to Þ that does not follow a small letter, then a sign:
// "Gruß“" (U+07D3 as UTF-8), "Ä–" (U+0116), "PÅ”" (U+0154).
bool isWindows1252Pair(std::string_view bytes, std::size_t start) {
    const auto lead = static_cast<std::uint8_t>(bytes[start]);
    if (lead < 0xC4 || lead > 0xDF || !isWindows1252Sign(static_cast<std::uint8_t>(bytes[start + 1]))) return false;
    const bool capital = lead != 0xD7 && lead != 0xDF;
    const bool afterSmallLetter = start > 0 && bytes[start - 1] >= 'a' && bytes[start - 1] <= 'z';
    return !(capital && afterSmallLetter);
}

// The characters a Western user's UTF-8 text holds beyond ASCII: the Latin-1
// Supplement, Latin Extended-A and -B, combining marks, Latin Extended Additional
// (ẞ), General Punctuation with the currency and letter-like signs (€, ™), emoji.
bool isWesternCharacter(char32_t c) {
    return (c >= 0xA0 && c <= 0x24F) || isCombiningMark(c) || (c >= 0x1E00 && c <= 0x1EFF) ||
           (c >= 0x2000 && c <= 0x214F) || (c >= 0x1F000 && c <= 0x1FAFF);
}

// Whether the valid multi-byte sequence `bytes[start, end)` is UTF-8 text as a Western
// user writes it, and not Windows-1252 letters and signs that happen to form one.
bool isUtf8Text(std::string_view bytes, std::size_t start, std::size_t end, char32_t c) {
    if (start == 0 && c == 0xFEFF) return true;  // the byte-order mark only UTF-8 writers put there
    if (!isWesternCharacter(c)) return false;
    // "a" + U+0308 as macOS writes "ä"; in Windows-1252 a capital Ì or Í after a letter.
    if (isCombiningMark(c) && start > 0 && isAsciiLetter(static_cast<std::uint8_t>(bytes[start - 1]))) return true;
    return !(end - start == 2 && isWindows1252Pair(bytes, start));
}

struct Place {
    std::size_t line = 1;
    std::size_t column = 1;
};

// The line and the column (in characters, a byte-order mark not counted) of a byte.
Place placeOf(std::string_view bytes, std::size_t offset) {
    const std::string_view before = bytes.substr(0, offset);
    const std::size_t lineStart = before.rfind('\n') == std::string_view::npos ? 0 : before.rfind('\n') + 1;
    std::string_view onLine = before.substr(lineStart);
    if (lineStart == 0 && onLine.starts_with(kByteOrderMark)) onLine.remove_prefix(kByteOrderMark.size());
    return {static_cast<std::size_t>(std::ranges::count(before, '\n')) + 1, codePointCount(onLine) + 1};
}

// UTF-16 or UTF-32 by its byte-order mark, or else by the NUL bytes that ASCII letters
// have in it: one in every two bytes, or three in every four, on one side. No text
// file of the other kinds holds NUL bytes that way.
std::optional<EncodingProblem::Kind> widerForm(std::string_view bytes) {
    using Kind = EncodingProblem::Kind;
    using namespace std::string_view_literals;
    if (bytes.starts_with("\xFF\xFE\0\0"sv)) return Kind::Utf32LittleEndian;
    if (bytes.starts_with("\0\0\xFE\xFF"sv)) return Kind::Utf32BigEndian;
    if (bytes.starts_with("\xFF\xFE"sv)) return Kind::Utf16LittleEndian;
    if (bytes.starts_with("\xFE\xFF"sv)) return Kind::Utf16BigEndian;
    if (bytes.find('\0') == std::string_view::npos) return std::nullopt;
    std::array<std::size_t, 4> zeros{};
    for (std::size_t i = 0; i < bytes.size(); ++i) zeros[i % 4] += bytes[i] == '\0';
    const std::size_t quarter = bytes.size() / 4;
    const auto mostly = [](std::size_t count, std::size_t of) { return of > 0 && count * 4 >= of * 3; };
    const auto few = [](std::size_t count, std::size_t of) { return count * 4 <= of; };
    if (bytes.size() % 4 == 0 && mostly(zeros[1] + zeros[2] + zeros[3], 3 * quarter) && few(zeros[0], quarter)) {
        return Kind::Utf32LittleEndian;
    }
    if (bytes.size() % 4 == 0 && mostly(zeros[0] + zeros[1] + zeros[2], 3 * quarter) && few(zeros[3], quarter)) {
        return Kind::Utf32BigEndian;
    }
    const std::size_t half = bytes.size() / 2;
    if (mostly(zeros[1] + zeros[3], half) && few(zeros[0] + zeros[2], half)) return Kind::Utf16LittleEndian;
    if (mostly(zeros[0] + zeros[2], half) && few(zeros[1] + zeros[3], half)) return Kind::Utf16BigEndian;
    return std::nullopt;
}

std::string codePointName(char32_t c) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
    return name;
}

// Spaces, format characters and marks show as nothing, or as what they stand beside.
bool showsItself(char32_t c) {
    return !isInvisible(c) && !isCombiningMark(c) && c != 0xA0 && !(c >= 0x2000 && c <= 0x200A) &&
           !(c >= 0x2028 && c <= 0x202F) && !(c >= 0x205F && c <= 0x206F);
}

}  // namespace

std::variant<FileText, EncodingProblem> readFileText(std::string_view bytes) {
    if (const auto wider = widerForm(bytes)) return EncodingProblem{.kind = *wider};
    std::optional<std::size_t> firstInvalid;
    std::optional<std::size_t> firstUtf8Text;
    char32_t utf8Character = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t start = i;
        const auto codePoint = nextCodePoint(bytes, i);
        if (!codePoint) {
            if (!firstInvalid) firstInvalid = start;
            ++i;
        } else if (!firstUtf8Text && i - start > 1 && isUtf8Text(bytes, start, i, *codePoint)) {
            firstUtf8Text = start;
            utf8Character = *codePoint;
        }
    }
    if (!firstInvalid) {
        if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
        return FileText{std::string(bytes), FileEncoding::Utf8};
    }
    if (!firstUtf8Text) return FileText{windows1252ToUtf8(bytes), FileEncoding::Windows1252};
    const Place notUtf8 = placeOf(bytes, *firstInvalid);
    const Place utf8 = placeOf(bytes, *firstUtf8Text);
    return EncodingProblem{EncodingProblem::Kind::Mixed, notUtf8.line, notUtf8.column,
                           static_cast<std::uint8_t>(bytes[*firstInvalid]), utf8Character, utf8.line, utf8.column};
}

std::string shownCharacter(char32_t c) {
    return showsItself(c) ? "'" + encodeUtf8(c) + "' (" + codePointName(c) + ")" : codePointName(c);
}

}  // namespace vostrel::texts
