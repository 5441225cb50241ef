// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "paging/numeric_characters.h"

namespace vostrel::paging {

std::uint8_t numericCode(unsigned char character) {
    for (std::uint8_t code = 0; code < 16; ++code) {
        if (static_cast<unsigned char>(kNumericCharacters[code]) == character) return code;
    }
    return kNumericSpaceCode;
}

bool isNumericCharacter(unsigned char character) {
    return character == ' ' || numericCode(character) != kNumericSpaceCode;
}

}  // namespace vostrel::paging
