// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "texts/text_codec.h"

#include "texts/message_format.h"

#include <gtest/gtest.h>

namespace vostrel::texts {
namespace {

// Every kind of sequence the decoder must take or refuse, and the encoder's bytes for
// each code point it takes.
TEST(TextCodec, DecodesOnlyWellFormedUtf8AndEncodesItBack) {
    const struct {
        const char* what;
        std::string_view bytes;
        std::optional<char32_t> codePoint;
    } cases[] = {
        {"ASCII", "A", U'A'},
        {"NUL", std::string_view("\0", 1), U'\0'},
        {"two bytes", "\xC3\xA9", U'é'},
        {"three bytes", "\xE2\x82\xAC", U'€'},
        {"four bytes", "\xF0\x9F\x98\x80", U'😀'},
        {"last code point", "\xF4\x8F\xBF\xBF", U'\U0010FFFF'},
        {"stray continuation byte", "\x80", std::nullopt},
        {"overlong two bytes", "\xC0\xA9", std::nullopt},
        {"overlong three bytes", "\xE0\x80\x80", std::nullopt},
        {"encoded surrogate", "\xED\xA0\x80", std::nullopt},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", std::nullopt},
        {"five-byte form", "\xF8\x88\x80\x80\x80", std::nullopt},
        {"cut short", "\xE2\x82", std::nullopt},
        {"bad continuation", "\xC3\x28", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::size_t i = 0;
        EXPECT_EQ(nextCodePoint(c.bytes, i), c.codePoint);
        EXPECT_EQ(i, c.codePoint ? c.bytes.size() : 0U);
        EXPECT_EQ(isValidUtf8(c.bytes), c.codePoint.has_value());
        if (c.codePoint) {
            EXPECT_EQ(encodeUtf8(*c.codePoint), c.bytes);
        }
    }
    EXPECT_EQ(encodeUtf8(char32_t{0xD800}), "\xEF\xBF\xBD");
    EXPECT_EQ(encodeUtf8(char32_t{0x110000}), "\xEF\xBF\xBD");
    EXPECT_EQ(decodeUtf8("a\xC3\xA9\xF0\x9F\x98\x80"), std::u32string(U"aé😀"));
    EXPECT_EQ(decodeUtf8("a\xC3"), std::nullopt);
    EXPECT_EQ(codePointCount("a\xC3\xA9\xFF"), 3U);
}

// A file is UTF-8, or Windows-1252 unless it also holds UTF-8 text, which makes it a
// mixture, refused by the place of its first byte that is not UTF-8 and named by its
// first UTF-8 character; UTF-16 and UTF-32 are named.
TEST(TextCodec, FilesAreReadAsUtf8OrWindows1252AndAMixtureIsRefused) {
    using Read = std::variant<FileText, EncodingProblem>;
    using Kind = EncodingProblem::Kind;
    const auto utf8 = [](std::string text) { return Read(FileText{std::move(text), FileEncoding::Utf8}); };
    const auto windows1252 = [](std::string text) { return Read(FileText{std::move(text), FileEncoding::Windows1252}); };
    const auto mixed = [](std::size_t line, std::size_t column, std::uint8_t byte, char32_t c, std::size_t utf8Line,
                          std::size_t utf8Column) {
        return Read(EncodingProblem{Kind::Mixed, line, column, byte, c, utf8Line, utf8Column});
    };
    const auto wide = [](Kind kind) { return Read(EncodingProblem{.kind = kind}); };
    using namespace std::string_view_literals;
    const struct {
        const char* what;
        std::string_view bytes;
        Read read;
    } cases[] = {
        {"ASCII", "Tone", utf8("Tone")},
        {"UTF-8", "Pr\xC3\xA4" "ambel \xE2\x82\xAC \xF0\x9F\x93\x9F", utf8("Pr\xC3\xA4" "ambel \xE2\x82\xAC \xF0\x9F\x93\x9F")},
        {"byte-order mark dropped", "\xEF\xBB\xBFok", utf8("ok")},
        {"Latin-1 range", "Pr\xE4" "ambel", windows1252("Pr\xC3\xA4" "ambel")},
        {"Windows-1252 punctuation", "\x96 \x84" "a\x93 \x80 \x85",
         windows1252("\xE2\x80\x93 \xE2\x80\x9E" "a\xE2\x80\x9C \xE2\x82\xAC \xE2\x80\xA6")},
        {"Windows-1252 letters", "\x8A\x9E\x83\x9F", windows1252("\xC5\xA0\xC5\xBE\xC6\x92\xC5\xB8")},
        {"unused Windows-1252 bytes", "\x81\x8D\x8F\x90\x9D", windows1252("\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D")},
        {"ending in a lead byte", "caf\xC3", windows1252("caf\xC3\x83")},
        {"overlong form", "\xC0\x80", windows1252("\xC3\x80\xE2\x82\xAC")},
        {"encoded surrogate", "\xED\xA0\x80", windows1252("\xC3\xAD\xC2\xA0\xE2\x82\xAC")},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", windows1252("\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC")},
        {"stray continuation byte", "a\x80", windows1252("a\xE2\x82\xAC")},
        // Windows-1252 pairs that are valid UTF-8, with a byte that is not.
        {"\xC3\x9F and a quotation mark", "\x84Gru\xDF\x93 \xFC", windows1252("\xE2\x80\x9EGru\xC3\x9F\xE2\x80\x9C \xC3\xBC")},
        {"a capital and a dash", "\xC4\x96\xFC", windows1252("\xC3\x84\xE2\x80\x93\xC3\xBC")},
        {"a small letter and two signs", "fatigu\xE9\x85\x94 \xE0", windows1252("fatigu\xC3\xA9\xE2\x80\xA6\xE2\x80\x9D \xC3\xA0")},
        // One Windows-1252 byte in UTF-8 text, even in a comment, before or after it.
        {"in a comment after UTF-8", "M = \"\xC3\x96\"\n# \x96 x", mixed(2, 3, 0x96, U'Ö', 1, 6)},
        {"before UTF-8, columns in characters", "\xC3\xA4\xC3\xB6 \xFC\n\xC3\xA4", mixed(1, 4, 0xFC, U'ä', 1, 1)},
        {"after a byte-order mark", "\xEF\xBB\xBF\xE4", mixed(1, 1, 0xE4, 0xFEFF, 1, 1)},
        {"UTF-8 punctuation", "\xE2\x80\x9EK\xFC" "che", mixed(1, 3, 0xFC, U'„', 1, 1)},
        {"a capital letter of UTF-8 after a small one", "si\xC4\x99 \xFC", mixed(1, 5, 0xFC, U'ę', 1, 3)},
        {"a combining mark after a letter", "A\xCC\x88rger \xFC", mixed(1, 8, 0xFC, 0x308, 1, 2)},
        // The wider forms, with and without a byte-order mark.
        {"UTF-16LE", "\xFF\xFE" "R\0o\0w\0"sv, wide(Kind::Utf16LittleEndian)},
        {"UTF-16BE", "\xFE\xFF\0R\0o"sv, wide(Kind::Utf16BigEndian)},
        {"UTF-32LE", "\xFF\xFE\0\0R\0\0\0"sv, wide(Kind::Utf32LittleEndian)},
        {"UTF-32BE", "\0\0\xFE\xFF\0\0\0R"sv, wide(Kind::Utf32BigEndian)},
        {"UTF-16LE without a mark", "R\0o\0w\0;\0\xE4\0"sv, wide(Kind::Utf16LittleEndian)},
        {"UTF-16BE without a mark", "\0R\0o\0w"sv, wide(Kind::Utf16BigEndian)},
        {"UTF-32LE without a mark", "R\0\0\0o\0\0\0"sv, wide(Kind::Utf32LittleEndian)},
        {"UTF-32BE without a mark", "\0\0\0R\0\0\0o"sv, wide(Kind::Utf32BigEndian)},
        {"one NUL in text", "Row\0;1\n"sv, utf8(std::string("Row\0;1\n"sv))},
    };
    for (const auto& c : cases) EXPECT_EQ(readFileText(c.bytes), c.read) << c.what;
    const auto text = [](const EncodingProblem& problem, EncodingRemedy remedy = EncodingRemedy::SaveAsUtf8) {
        return formatMessage(encodingProblemMessage(problem, remedy));
    };
    EXPECT_EQ(text(EncodingProblem{Kind::Mixed, 2, 3, 0x96, U'ü', 1, 5}),
              "byte 0x96 is not UTF-8, while line 1, column 5 holds the UTF-8 character 'ü' (U+00FC); save the file as UTF-8");
    EXPECT_EQ(text(EncodingProblem{Kind::Mixed, 1, 1, 0xE4, 0xA0, 1, 3}),
              "byte 0xE4 is not UTF-8, while line 1, column 3 holds the UTF-8 character U+00A0; save the file as UTF-8");
    EXPECT_EQ(text(EncodingProblem{Kind::Mixed, 1, 1, 0xE4, 0xFEFF, 1, 1}),
              "byte 0xE4 is not UTF-8, while the file starts with UTF-8's byte-order mark; save the file as UTF-8");
    EXPECT_EQ(text(EncodingProblem{.kind = Kind::Utf32BigEndian}),
              "the file is UTF-32 text (big-endian); save the file as UTF-8");
    EXPECT_EQ(text(EncodingProblem{.kind = Kind::Utf16LittleEndian}, EncodingRemedy::SaveListAsCsv),
              "the file is UTF-16 text (little-endian); save the list as CSV (UTF-8, or separated by ';')");
}

}  // namespace
}  // namespace vostrel::texts
