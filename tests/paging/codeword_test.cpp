// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "paging/codeword.h"

using namespace vostrel::paging;

namespace {

struct AddressCase {
    std::uint32_t capcode;
    unsigned functionBits;
    Codeword expected;
};

class AddressCodewordTest : public testing::TestWithParam<AddressCase> {};

TEST_P(AddressCodewordTest, MatchesKnownCodeword) {
    const auto& c = GetParam();
    EXPECT_EQ(addressCodeword(c.capcode, c.functionBits), c.expected)
        << "capcode " << c.capcode << " function " << c.functionBits;
}

INSTANTIATE_TEST_SUITE_P(KnownValues, AddressCodewordTest,
                         testing::Values(AddressCase{1234567, 0, 0x4B5A0780}, AddressCase{1234567, 1, 0x4B5A0953},
                                         AddressCase{1234567, 2, 0x4B5A14F6}, AddressCase{1234567, 3, 0x4B5A1A25},
                                         AddressCase{2097151, 3, 0x7FFFF896}, AddressCase{0, 0, 0x00000000},
                                         AddressCase{7, 0, 0x00000000}, AddressCase{5, 1, 0x00000ED3},
                                         AddressCase{3, 2, 0x00001376}, AddressCase{7, 3, 0x00001DA5},
                                         AddressCase{8, 3, 0x00003B49}));

TEST(MessageCodeword, MatchesKnownCodewords) {
    const struct {
        std::uint32_t data;
        Codeword expected;
    } cases[] = {{0, 0x80000769},       {0x12345, 0x891A2BFA}, {0xFFFFF, 0xFFFFFFFF},
                 {0x82870, 0xC14387B8}, {0x80000, 0xC00004DC}};
    for (const auto& c : cases) EXPECT_EQ(messageCodeword(c.data), c.expected) << std::hex << c.data;
}

TEST(MessageCodeword, IgnoresBitsAboveTheTwentyDataBits) {
    EXPECT_EQ(messageCodeword(0xF12345), messageCodeword(0x12345));
}

// Rebuilding sync and idle from their information bits must give them back: they are
// valid codewords under the same check-bit and parity rules.
TEST(ConstantCodewords, AreValidCodewords) {
    for (const Codeword constant : {kSyncCodeword, kIdleCodeword}) {
        std::uint32_t v = (constant >> 11) << 10;
        v = (v | checkBits(v)) << 1;
        v |= std::popcount(v) & 1U;
        EXPECT_EQ(v, constant);
    }
}

// Dividing bits 31..1 by g(x) must leave no remainder and every codeword has even parity.
std::uint32_t polynomialRemainder(std::uint32_t value) {
    for (int bit = 30; bit >= 10; --bit) {
        if (value & (1U << bit)) value ^= kBchGenerator << (bit - 10);
    }
    return value;
}

TEST(Codewords, HaveEvenParityAndZeroSyndrome) {
    for (std::uint32_t n = 0; n < (1U << 21); n += 997) {
        for (const Codeword codeword : {messageCodeword(n & 0xFFFFF), addressCodeword(n, n & 3)}) {
            EXPECT_EQ(std::popcount(codeword) % 2, 0) << std::hex << codeword;
            EXPECT_EQ(polynomialRemainder(codeword >> 1), 0U) << std::hex << codeword;
        }
    }
}

}  // namespace
