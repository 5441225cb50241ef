// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "paging/transmission.h"
#include "paging/transmission_decoder.h"
#include "tests/paging/paging_test_support.h"

using namespace vostrel::paging;
using vostrel::paging::test::encode;

namespace {

DecodedItem decode(const std::vector<Codeword>& words) {
    const auto item = decodeTransmission(words, static_cast<int>(words.size()));
    EXPECT_TRUE(item.has_value());
    return item.value_or(DecodedItem{});
}

TEST(Decoder, RoundTripsEncodedItems) {
    const struct {
        PagerType type;
        std::string message;
        std::uint32_t capcode;
        unsigned tone;
        std::string expected;
    } cases[] = {
        {PagerType::Numeric, "123", 1234567, 0, "123  "},
        {PagerType::Numeric, "12345678901234567890", 9, 0, "12345678901234567890"},
        {PagerType::Numeric, "-U[] S", 2097151, 0, "-U[] S    "},
        {PagerType::Alphanumeric, "HELLO", 8, 3, "HELLO"},
        {PagerType::Alphanumeric, "abc", 8, 3, "abc"},
        {PagerType::Alphanumeric, "The quick brown fox jumps over the lazy", 7, 3,
         "The quick brown fox jumps over the lazy"},
        {PagerType::Alphanumeric, std::string(40, '~'), 15, 3, std::string(40, '~')},
        {PagerType::Numeric, "", 6, 0, ""},
        {PagerType::Alphanumeric, "", 6, 3, ""},
        {PagerType::Numeric, "123", 6, 2, ""},  // tone C carries no message
        {PagerType::Numeric, "123", 6, 1, ""},
    };
    for (const auto& c : cases) {
        for (std::uint32_t frame = 0; frame < 8; ++frame) {
            const std::uint32_t capcode = (c.capcode & ~7U) | frame;
            const DecodedItem item = decode(encode(c.type, c.message, capcode, c.tone));
            EXPECT_EQ(item.capcode, capcode);
            EXPECT_EQ(item.tone, c.tone);
            EXPECT_EQ(item.type, c.tone == 3 ? PagerType::Alphanumeric : PagerType::Numeric);
            EXPECT_EQ(item.message(), c.expected) << c.message << " at frame " << frame;
        }
    }
}

TEST(Decoder, SyncFailure) {
    EXPECT_FALSE(decodeTransmission(std::vector<Codeword>{kIdleCodeword, 0, kIdleCodeword}, 3));
    EXPECT_FALSE(decodeTransmission(std::vector<Codeword>{0x7CD215D9}, 5));
    EXPECT_FALSE(decodeTransmission(std::vector<Codeword>{}, 0)) << "position 0 past the end reads 0";
}

TEST(Decoder, AllIdleTakesPositionFifteenAsAddress) {
    std::vector<Codeword> words(16, kIdleCodeword);
    words[0] = kSyncCodeword;
    words.push_back(messageCodeword(0x084C2));  // "01234" numerically
    words.push_back(kIdleCodeword);
    const DecodedItem item = decode(words);
    EXPECT_EQ(item.capcode, 2007671U);
    EXPECT_EQ(item.tone, 0U);
    EXPECT_EQ(item.type, PagerType::Numeric);
    EXPECT_EQ(item.message(), "01234");
}

TEST(Decoder, AddressFlagGivesTwentySecondBit) {
    const std::vector<Codeword> words{kSyncCodeword, 0x80000000 | addressCodeword(8, 0), kIdleCodeword};
    EXPECT_EQ(decode(words).capcode, 2097152U + 8U);
}

TEST(Decoder, CountOfZeroOrLessGivesItemWithoutMessage) {
    const auto words = encode(PagerType::Alphanumeric, "HELLO", 1234567, 3);
    for (const int count : {0, -3}) {
        const auto item = decodeTransmission(words, count);
        ASSERT_TRUE(item);
        EXPECT_EQ(item->capcode, 1234567U);
        EXPECT_EQ(item->tone, 3U);
        EXPECT_EQ(item->message(), "");
    }
}

TEST(Decoder, NeverLooksAtTheLastCodeword) {
    auto words = encode(PagerType::Numeric, "12345", 0, 0);
    words.back() = messageCodeword(0);  // would add "00000" if read
    EXPECT_EQ(decode(words).message(), "12345");
}

TEST(Decoder, TextIsBoundedAtItsCapacity) {
    const std::string numeric(200, '7');
    EXPECT_EQ(decode(encode(PagerType::Numeric, numeric, 0, 0)).message(), numeric.substr(0, kMaxDecodedText));
    const std::string alpha(200, 'k');
    EXPECT_EQ(decode(encode(PagerType::Alphanumeric, alpha, 0, 3)).message(), alpha.substr(0, kMaxDecodedText));
}

}  // namespace
