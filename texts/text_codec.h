// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The one place where bytes become characters and characters become bytes. Every
// text inside the system is UTF-8; files come as UTF-8 or, when written with an old
// Windows editor, in Windows-1252. The language file, the configuration file and the
// formatted messages all go through these functions, so they agree on what is valid.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vostrel::texts {

// Stands for anything that is no Unicode scalar value.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The decoder: the code point of the UTF-8 sequence starting at text[i], advancing i
// past it. Nothing, and i unchanged, for a stray continuation byte, an overlong form,
// an encoded surrogate, a value beyond U+10FFFF or a sequence cut short.
std::optional<char32_t> nextCodePoint(std::string_view text, std::size_t& i);

// True when every sequence of the text decodes.
bool isValidUtf8(std::string_view text);

// The text's code points; nothing when it is not valid UTF-8.
std::optional<std::u32string> decodeUtf8(std::string_view text);

// The number of code points of valid UTF-8 text; each invalid byte counts as one.
std::size_t codePointCount(std::string_view text);

// The encoder: the code point as UTF-8, appended to `out`. A surrogate or a value
// beyond U+10FFFF becomes U+FFFD.
void appendUtf8(std::string& out, char32_t codePoint);
std::string encodeUtf8(char32_t codePoint);
std::string encodeUtf8(std::u32string_view codePoints);

// Each byte as its Windows-1252 character, in UTF-8. Windows-1252 is Latin-1 with
// printable characters in 0x80 to 0x9F; its five unused bytes keep their Latin-1
// meaning, as Windows itself reads them.
std::string windows1252ToUtf8(std::string_view bytes);

// How a file's bytes were read.
enum class FileEncoding { Utf8, Windows1252 };

struct FileText {
    std::string utf8;
    FileEncoding encoding = FileEncoding::Utf8;

    friend bool operator==(const FileText&, const FileText&) = default;
};

// A file that holds both valid multi-byte UTF-8 sequences and bytes that are not
// UTF-8: read either way, some of its letters would turn into others, and those would
// be sent. The first byte that is not UTF-8, by its line and column (from 1; the
// column counts characters).
struct MixedEncoding {
    std::size_t line = 1;
    std::size_t column = 1;
    std::uint8_t byte = 0;

    friend bool operator==(const MixedEncoding&, const MixedEncoding&) = default;
};

// The text of a file that should be UTF-8, the one rule for every text file the tool
// reads (configurations, language files, imported lists): valid UTF-8 as it stands,
// with a leading byte-order mark dropped; a file that holds no valid multi-byte UTF-8
// sequence at all is read as Windows-1252 (which holds every printable Latin-1
// character), the code page such files are saved in on Windows in Western Europe, and
// says so in `encoding` so that the reader can tell the user once. Anything else is a
// mixture and is refused: the whole file is read one way or not at all.
std::variant<FileText, MixedEncoding> readFileText(std::string_view bytes);

}  // namespace vostrel::texts
