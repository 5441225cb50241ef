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

// A file is UTF-8, or Windows-1252 when it holds no UTF-8 at all, and a file that
// mixes both is refused by the place of its first byte that is not UTF-8.
TEST(TextCodec, FilesAreReadAsUtf8OrWindows1252AndAMixtureIsRefused) {
    using Read = std::variant<FileText, MixedEncoding>;
    const auto utf8 = [](std::string text) { return Read(FileText{std::move(text), FileEncoding::Utf8}); };
    const auto windows1252 = [](std::string text) { return Read(FileText{std::move(text), FileEncoding::Windows1252}); };
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
        // One Windows-1252 byte in UTF-8 text, even in a comment, before or after it.
        {"in a comment after UTF-8", "M = \"\xC3\x96\"\n# \x96 x", Read(MixedEncoding{2, 3, 0x96})},
        {"before UTF-8, columns in characters", "\xC3\xA4\xC3\xB6 \xFC\n\xC3\xA4", Read(MixedEncoding{1, 4, 0xFC})},
        {"after a byte-order mark", "\xEF\xBB\xBF\xE4", Read(MixedEncoding{1, 1, 0xE4})},
    };
    for (const auto& c : cases) EXPECT_EQ(readFileText(c.bytes), c.read) << c.what;
    EXPECT_EQ(formatMessage(mixedEncodingProblem({2, 3, 0x96})),
              "byte 0x96 is not UTF-8, while the file holds UTF-8 text elsewhere; save the file as UTF-8");
}

}  // namespace
}  // namespace vostrel::texts
