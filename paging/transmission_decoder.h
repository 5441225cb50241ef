// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Reads one item's stored transmission back into capcode, tone, pager type and text.
// It trusts the shape the encoders produce and tests only the leading sync codeword.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "paging/codeword.h"
#include "paging/transmission.h"

namespace vostrel::paging {

// At most 129 characters of message (130 with a terminating zero on the device side).
inline constexpr std::size_t kMaxDecodedText = 129;
// Positions 1 to 14 may hold idle fill; position 15 is taken as the address regardless.
inline constexpr std::size_t kLastAddressPosition = 15;

struct DecodedItem {
    std::uint32_t capcode = 0;  // up to 22 bits: the address codeword's flag is taken in
    unsigned tone = 0;          // 0..3 for A..D
    PagerType type = PagerType::Numeric;
    std::array<char, kMaxDecodedText> text{};
    std::size_t textLength = 0;

    std::string_view message() const { return {text.data(), textLength}; }
};

// Decodes a slot's codewords. `count` is the slot table's codeword count and may be 0
// or negative for a damaged table. Positions at or past the end of `codewords` read as
// 0, which is never the sync codeword. Returns nothing on a sync failure.
std::optional<DecodedItem> decodeTransmission(std::span<const Codeword> codewords, int count);

}  // namespace vostrel::paging
