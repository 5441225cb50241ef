// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// One item's transmission as a vector, for the encoder's and the decoder's tests.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "paging/transmission.h"

namespace vostrel::paging::test {

inline std::vector<Codeword> encode(PagerType type, const std::string& message, std::uint32_t capcode,
                                    unsigned functionBits) {
    std::array<Codeword, 256> out{};
    const std::size_t n = encodeTransmission(type, message, capcode, functionBits, out);
    EXPECT_EQ(n, transmissionLength(type, message, capcode)) << "length formula disagrees";
    return {out.begin(), out.begin() + static_cast<long>(n)};
}

}  // namespace vostrel::paging::test
