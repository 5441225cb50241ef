// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "paging/transmission.h"
#include "tests/paging/paging_test_support.h"

using namespace vostrel::paging;
using vostrel::paging::test::encode;

namespace {

constexpr Codeword S = kSyncCodeword;
constexpr Codeword I = kIdleCodeword;

std::vector<Codeword> withIdleFill(std::initializer_list<Codeword> tail, int idles) {
    std::vector<Codeword> words{S};
    words.insert(words.end(), static_cast<std::size_t>(idles), I);
    words.insert(words.end(), tail);
    return words;
}

TEST(Transmission, KnownTransmissions) {
    const struct {
        const char* name;
        PagerType type;
        std::string message;
        std::uint32_t capcode;
        unsigned functionBits;
        std::vector<Codeword> expected;
    } cases[] = {
        {"tone only at frame 7", PagerType::Numeric, "", 7, 3, withIdleFill({0x00001DA5, I}, 14)},
        {"A at frame 7", PagerType::Alphanumeric, "A", 7, 3, withIdleFill({0x00001DA5, 0xC100057F, S, I}, 14)},
        {"ABC at frame 0", PagerType::Alphanumeric, "ABC", 8, 3, {S, 0x00003B49, 0xC14387B8, 0xC00004DC, I}},
        {"digits at frame 1", PagerType::Numeric, "0123456789", 1, 0,
         {S, I, I, 0x00000000, 0x842613B7, 0xD370CFDE, I}},
        {"HELLO at frame 7", PagerType::Alphanumeric, "HELLO", 1234567, 3,
         withIdleFill({0x4B5A1A25, 0x89A2634D, S, 0xCCF905DE, I}, 14)},
        {"12345 at frame 7", PagerType::Numeric, "12345", 1234567, 0,
         withIdleFill({0x4B5A0780, 0xC261572C, S, I}, 14)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encode(c.type, c.message, c.capcode, c.functionBits), c.expected) << c.name;
    }
}

TEST(Transmission, EmptyMessageIsToneOnlyForBothEncoders) {
    for (std::uint32_t frame = 0; frame < 8; ++frame) {
        for (const PagerType type : {PagerType::Numeric, PagerType::Alphanumeric}) {
            EXPECT_EQ(encode(type, "", 80 + frame, 1).size(), 2 * frame + 3);
        }
    }
}

// Sync codewords sit exactly at the multiples of 17 and nowhere else in the message.
TEST(Transmission, SyncCodewordHeadsEveryBatch) {
    for (std::uint32_t frame = 0; frame < 8; ++frame) {
        const auto words = encode(PagerType::Alphanumeric, std::string(129, 'x'), 16 + frame, 3);
        for (std::size_t p = 0; p < words.size(); ++p) {
            EXPECT_EQ(words[p] == S, p % kBatchLength == 0) << "frame " << frame << " index " << p;
        }
        EXPECT_EQ(words.back(), I);
    }
}

TEST(Transmission, FortyCharactersAtFramesZeroAndSeven) {
    const std::string forty(40, 'Q');
    const auto frame0 = encode(PagerType::Alphanumeric, forty, 8, 3);
    ASSERT_EQ(frame0.size(), 17U);
    EXPECT_EQ(frame0[16], I);
    EXPECT_EQ(encode(PagerType::Alphanumeric, forty, 7, 3).size(), 32U);
}

TEST(Transmission, LongestTypedAndReadBackMessages) {
    EXPECT_EQ(encode(PagerType::Numeric, std::string(20, '1'), 7, 0).size(), 22U);
    EXPECT_EQ(encode(PagerType::Alphanumeric, std::string(129, 'z'), 7, 3).size(), 66U);
}

TEST(GroupCounts, FollowCharacterCounts) {
    const struct {
        std::size_t length, numeric, alphanumeric;
    } cases[] = {{0, 0, 0}, {1, 1, 1}, {3, 1, 2}, {5, 1, 2}, {6, 2, 3}, {20, 4, 7}, {40, 8, 14}};
    for (const auto& c : cases) {
        EXPECT_EQ(numericGroupCount(c.length), c.numeric) << c.length;
        EXPECT_EQ(alphanumericGroupCount(c.length), c.alphanumeric) << c.length;
    }
}

TEST(NumericEncoding, SixthCharacterIsFollowedBySpaceCodes) {
    const auto words = encode(PagerType::Numeric, "123457", 0, 0);
    // Second group: code of '7' (14) in bits 19-16, then four space codes.
    const auto expected = encode(PagerType::Numeric, "12345", 0, 0);
    ASSERT_EQ(words.size(), 5U);
    EXPECT_EQ(words[3] >> 11 & 0xFFFFF, (14U << 16) | 0x3333U);
    EXPECT_EQ(words[2], expected[2]);
}

TEST(NumericEncoding, CharactersOutsideTheSetEncodeAsSpace) {
    EXPECT_EQ(encode(PagerType::Numeric, "1a2", 0, 0), encode(PagerType::Numeric, "1 2", 0, 0));
    EXPECT_EQ(encode(PagerType::Numeric, "s", 0, 0), encode(PagerType::Numeric, " ", 0, 0));
}

TEST(AlphanumericEncoding, IgnoresBitSeven) {
    EXPECT_EQ(encode(PagerType::Alphanumeric, "\xC1", 8, 3), encode(PagerType::Alphanumeric, "A", 8, 3));
}

TEST(AlphanumericEncoding, TwentyCharactersFillSevenGroupsWithoutFillBits) {
    // 140 bits are exactly 7 groups: the last character's bit 6 is the last group's bit 0.
    const auto words = encode(PagerType::Alphanumeric, std::string(19, '\0') + "\x40", 8, 3);
    ASSERT_EQ(words.size(), 2U + 7U + 1U);
    EXPECT_EQ(words[8] >> 11 & 0xFFFFF, 1U);
}

}  // namespace
