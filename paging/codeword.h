// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// One POCSAG codeword: bit 31 first on air; bit 31 the flag (0 address, 1 message),
// bits 30-11 the 20-bit field, bits 10-1 the BCH(31,21) check bits, bit 0 even parity.

#include <cstdint>

namespace vostrel::paging {

using Codeword = std::uint32_t;

inline constexpr Codeword kSyncCodeword = 0x7CD215D8;
inline constexpr Codeword kIdleCodeword = 0x7A89C197;

// g(x) = x^10 + x^9 + x^8 + x^6 + x^5 + x^3 + 1
inline constexpr std::uint32_t kBchGenerator = 0x769;

// Remainder of v (whose low 10 bits are 0) divided by g(x) over GF(2).
std::uint32_t checkBits(std::uint32_t v);

// Address codeword from capcode bits 20-3 and the function bits (the tone index).
// Only the low 21 bits of the capcode are meaningful; callers refuse larger ones.
Codeword addressCodeword(std::uint32_t capcode, unsigned functionBits);

// Message codeword from the 20 data bits (callers mask with 0xFFFFF).
Codeword messageCodeword(std::uint32_t data);

}  // namespace vostrel::paging
