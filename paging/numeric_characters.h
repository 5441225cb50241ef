// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The numeric pager character set. Each character travels as its 4-bit POCSAG code
// sent least significant bit first; the codes here are stored bit-reversed, so that
// the first character bit on air is the code's top bit.

#include <cstdint>

namespace vostrel::paging {

// Code of space, also given to every character outside the set.
inline constexpr std::uint8_t kNumericSpaceCode = 3;

// Characters by bit-reversed code: index = the 4 bits as received, first bit on top.
inline constexpr char kNumericCharacters[17] = "084 2S6]195-3U7[";

// The bit-reversed 4-bit code of the character; space's code for any other character.
std::uint8_t numericCode(unsigned char character);

// True when a numeric pager can show the character (the set above, blank included).
bool isNumericCharacter(unsigned char character);

}  // namespace vostrel::paging
