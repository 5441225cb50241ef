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

// Whether the character shows as nothing: a soft hyphen, a zero-width space, joiner or
// direction mark, the word joiner, a byte-order mark.
bool isInvisible(char32_t c);

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

// A file the one rule below does not read, and what it is.
struct EncodingProblem {
    enum class Kind {
        // Windows-1252 bytes and UTF-8 text in one file: read either way, some of its
        // letters would turn into others, and those would be sent.
        Mixed,
        // Text in a wider Unicode form (Notepad's and Excel's "Unicode"): every letter
        // would come with NUL bytes.
        Utf16LittleEndian,
        Utf16BigEndian,
        Utf32LittleEndian,
        Utf32BigEndian,
    };
    Kind kind = Kind::Mixed;
    // Of a mixture, the first byte that is not UTF-8, by its line and column (from 1;
    // the column counts characters); 0 for a wider form, which is the whole file.
    std::size_t line = 0;
    std::size_t column = 0;
    std::uint8_t byte = 0;
    // Of a mixture, the first UTF-8 text that makes it one: a character (U+FEFF for
    // a byte-order mark) and where it stands.
    char32_t utf8Character = 0;
    std::size_t utf8Line = 1;
    std::size_t utf8Column = 1;

    friend bool operator==(const EncodingProblem&, const EncodingProblem&) = default;
};

// The text of a file that should be UTF-8, the one rule for every text file the tool
// reads (configurations, language files, imported lists):
//   - valid UTF-8 as a whole: UTF-8, with a leading byte-order mark dropped;
//   - else Windows-1252 (which holds every printable Latin-1 character), the code
//     page such files are saved in on Windows in Western Europe, said in `encoding`
//     so that the reader can tell the user once. In Windows-1252 a capital letter or
//     "ß" followed by a quotation mark, a dash, "°", "§", "€" or a no-break space
//     ("Gruß“") happens to be a valid two-byte UTF-8 sequence: such pairs are read as
//     the Windows-1252 they are;
//   - unless the file also holds UTF-8 text as a Western user writes it (a byte-order
//     mark; a letter or sign of the Latin-1 Supplement or Latin Extended ranges that
//     is no such pair; a combining mark after a letter; General Punctuation, "€",
//     "™"; an emoji): a mixture, refused, since the whole file is read one way or
//     not at all;
//   - UTF-16 and UTF-32, with or without a byte-order mark, are refused by name.
std::variant<FileText, EncodingProblem> readFileText(std::string_view bytes);

// "'ü' (U+00FC)", or "U+200B" for a character that shows as nothing or only beside
// another: a character as a message names it.
std::string shownCharacter(char32_t c);

}  // namespace vostrel::texts
