// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "paging/codeword.h"

namespace vostrel::paging {
namespace {

Codeword finishCodeword(std::uint32_t information) {
    std::uint32_t v = information << 10;
    v = (v | checkBits(v)) << 1;
    std::uint32_t parity = 0;
    for (std::uint32_t rest = v; rest != 0; rest >>= 1) parity ^= rest & 1U;
    return v | parity;
}

}  // namespace

std::uint32_t checkBits(std::uint32_t v) {
    std::uint32_t generator = kBchGenerator << 21;
    std::uint32_t mask = 0x80000000U;
    while (v >= 0x400U) {
        if ((v & mask) != 0) v ^= generator;
        mask >>= 1;
        generator >>= 1;
    }
    return v & 0x3FFU;
}

Codeword addressCodeword(std::uint32_t capcode, unsigned functionBits) {
    // The information value has 21 bits; the flag (bit 20) is 0 for an address.
    const std::uint32_t information = (((capcode >> 3) << 2) | (functionBits & 3U)) & 0xFFFFFU;
    return finishCodeword(information);
}

Codeword messageCodeword(std::uint32_t data) {
    return finishCodeword(0x100000U | (data & 0xFFFFFU));
}

}  // namespace vostrel::paging
