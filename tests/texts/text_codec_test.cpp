// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "texts/text_codec.h"

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

TEST(TextCodec, FilesAreReadAsUtf8WhenValidAndElseAsWindows1252) {
    const struct {
        const char* what;
        std::string_view bytes;
        std::string_view utf8;
    } cases[] = {
        {"ASCII", "Tone", "Tone"},
        {"UTF-8", "Pr\xC3\xA4" "ambel \xE2\x82\xAC \xF0\x9F\x93\x9F", "Pr\xC3\xA4" "ambel \xE2\x82\xAC \xF0\x9F\x93\x9F"},
        {"Latin-1 range", "Pr\xE4" "ambel", "Pr\xC3\xA4" "ambel"},
        {"Windows-1252 punctuation", "\x96 \x84" "a\x93 \x80 \x85", "\xE2\x80\x93 \xE2\x80\x9E" "a\xE2\x80\x9C \xE2\x82\xAC \xE2\x80\xA6"},
        {"Windows-1252 letters", "\x8A\x9E\x83\x9F", "\xC5\xA0\xC5\xBE\xC6\x92\xC5\xB8"},
        {"unused Windows-1252 bytes", "\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
        {"ending in a lead byte", "caf\xC3", "caf\xC3\x83"},
        {"overlong form", "\xC0\x80", "\xC3\x80\xE2\x82\xAC"},
        {"encoded surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},
        {"stray continuation byte", "a\x80", "a\xE2\x82\xAC"},
        {"byte-order mark dropped", "\xEF\xBB\xBFok", "ok"},
    };
    for (const auto& c : cases) EXPECT_EQ(decodeFileText(c.bytes), c.utf8) << c.what;
}

}  // namespace
}  // namespace vostrel::texts
