// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The pager alphabets against glibc's iconv, an implementation of the same national
// standards written independently of ours.
#include "paging/alphabets.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#if defined(__GLIBC__)
#include <iconv.h>
#endif

namespace vostrel::paging {
namespace {

#if defined(__GLIBC__)
// One conversion through iconv; nothing when iconv has no such character.
std::optional<std::string> convert(const char* to, const char* from, std::string input) {
    const iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        ADD_FAILURE() << "iconv knows no " << from << " to " << to;
        return std::nullopt;
    }
    std::string output(16, '\0');
    char* in = input.data();
    char* out = output.data();
    std::size_t inLeft = input.size();
    std::size_t outLeft = output.size();
    const std::size_t done = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (done == static_cast<std::size_t>(-1) || inLeft != 0) return std::nullopt;
    output.resize(output.size() - outLeft);
    return output;
}

std::string utf32(char32_t character) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>((character >> (8 * i)) & 0xFF);
    return bytes;
}

char32_t fromUtf32(const std::string& bytes) {
    char32_t character = 0;
    for (int i = 3; i >= 0; --i) character = (character << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    return character;
}

// Every code shows iconv's character, every character of the table (and every
// US-ASCII character, whether shown or shadowed) has iconv's code or, where iconv has
// none, none here either.
TEST(Alphabets, AgreeWithIconvOnEveryCodeAndEveryCharacter) {
    const struct {
        Alphabet alphabet;
        const char* iconvName;
    } cases[] = {
        {Alphabet::US, "ANSI_X3.4-1968"}, {Alphabet::DE, "DIN_66003"}, {Alphabet::DK, "DS_2089"},
        {Alphabet::NO, "NS_4551-1"},      {Alphabet::SE, "SEN_850200_B"}, {Alphabet::FR, "NF_Z_62-010"},
        {Alphabet::ES, "ES"},             {Alphabet::IT, "IT"},          {Alphabet::YU, "JUS_I.B1.002"},
    };
    ASSERT_EQ(std::size(cases), kAlphabets.size());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.iconvName);
        const AlphabetTable& table = alphabetTable(c.alphabet);
        ASSERT_EQ(table.alphabet, c.alphabet);
        std::string lower(table.name);
        for (char& letter : lower) letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
        EXPECT_EQ(alphabetNamed(lower), c.alphabet);

        for (unsigned code = 0; code < 0x80; ++code) {
            const auto shown = convert("UTF-32LE", c.iconvName, std::string(1, static_cast<char>(code)));
            ASSERT_TRUE(shown) << "code " << code;
            EXPECT_EQ(characterOf(c.alphabet, static_cast<std::uint8_t>(code)), fromUtf32(*shown)) << "code " << code;
        }
        std::u32string characters(table.national.begin(), table.national.end());
        for (char32_t ascii = 0; ascii < 0x80; ++ascii) characters += ascii;
        for (const char32_t character : characters) {
            const auto code = convert(c.iconvName, "UTF-32LE", utf32(character));
            const auto expected = code ? std::optional(static_cast<std::uint8_t>((*code)[0])) : std::nullopt;
            EXPECT_EQ(codeOf(c.alphabet, character), expected) << "U+" << std::hex << static_cast<unsigned>(character);
        }
    }
    EXPECT_EQ(alphabetNamed("GR"), std::nullopt);
    EXPECT_EQ(alphabetNamed(""), std::nullopt);
}
#endif

}  // namespace
}  // namespace vostrel::paging
