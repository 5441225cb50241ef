// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Encoders for one call item's complete transmission: a sync codeword, idle fill up to
// the capcode's frame, the address codeword, the message codewords with a sync codeword
// at every index that is a multiple of 17, and a closing idle codeword.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "paging/codeword.h"

namespace vostrel::paging {

enum class PagerType : unsigned { Numeric = 0, Alphanumeric = 1 };

inline constexpr std::size_t kBatchLength = 17;  // one sync codeword and 8 frames of 2

// Number of 20-bit data groups the message becomes.
std::size_t numericGroupCount(std::size_t messageLength);
std::size_t alphanumericGroupCount(std::size_t messageLength);
std::size_t messageGroupCount(PagerType type, std::size_t messageLength);

// Number of codewords of a transmission at the capcode's frame carrying `groups` data
// groups: W + ceil(W / 16) with W = 2 * frame + groups + 2.
std::size_t transmissionLength(std::uint32_t capcode, std::size_t groups);
std::size_t transmissionLength(PagerType type, std::string_view message, std::uint32_t capcode);

// Each encoder writes the transmission into `out`, which must hold
// transmissionLength(...) codewords, and returns that count. Message characters are
// bytes: the numeric encoder sends a character outside its set as space, the
// alphanumeric encoder ignores bit 7.
std::size_t encodeNumeric(std::string_view message, std::uint32_t capcode, unsigned functionBits,
                          std::span<Codeword> out);
std::size_t encodeAlphanumeric(std::string_view message, std::uint32_t capcode,
                               unsigned functionBits, std::span<Codeword> out);
std::size_t encodeTransmission(PagerType type, std::string_view message, std::uint32_t capcode,
                               unsigned functionBits, std::span<Codeword> out);

}  // namespace vostrel::paging
