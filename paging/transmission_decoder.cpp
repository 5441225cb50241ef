// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "paging/transmission_decoder.h"

#include "paging/numeric_characters.h"

namespace vostrel::paging {
namespace {

constexpr unsigned kNumericTone = 0;
constexpr unsigned kAlphanumericTone = 3;

class TextCollector {
public:
    explicit TextCollector(DecodedItem& item) : item_(item) {}

    // Numeric: five 4-bit groups, first received on top.
    void addNumeric(std::uint32_t bits) {
        for (int shift = 16; shift >= 0; shift -= 4) append(kNumericCharacters[(bits >> shift) & 0xFU]);
    }

    // Alphanumeric: 7-bit characters, first received bit is bit 0; leftovers carry over.
    void addAlphanumeric(std::uint32_t bits) {
        for (int shift = 19; shift >= 0; --shift) {
            pending_ |= ((bits >> shift) & 1U) << pendingBits_;
            if (++pendingBits_ == 7) {
                append(static_cast<char>(pending_));
                pending_ = 0;
                pendingBits_ = 0;
            }
        }
    }

private:
    // The text ends at the first zero character; it is bounded at kMaxDecodedText.
    void append(char character) {
        if (ended_ || character == '\0' || item_.textLength == kMaxDecodedText) {
            ended_ = true;
            return;
        }
        item_.text[item_.textLength++] = character;
    }

    DecodedItem& item_;
    std::uint32_t pending_ = 0;
    unsigned pendingBits_ = 0;
    bool ended_ = false;
};

}  // namespace

std::optional<DecodedItem> decodeTransmission(std::span<const Codeword> codewords, int count) {
    const auto at = [&](std::size_t position) -> Codeword {
        return position < codewords.size() ? codewords[position] : 0;
    };
    if (at(0) != kSyncCodeword) return std::nullopt;

    std::size_t p = 1;
    while (at(p) == kIdleCodeword && p < kLastAddressPosition) ++p;
    const Codeword address = at(p);

    DecodedItem item;
    item.tone = (address >> 11) & 3U;
    item.type = item.tone == kAlphanumericTone ? PagerType::Alphanumeric : PagerType::Numeric;
    item.capcode = (address >> 13) * 8 + static_cast<std::uint32_t>(p / 2);

    TextCollector text(item);
    for (long q = static_cast<long>(p) + 1; q <= static_cast<long>(count) - 2; ++q) {
        const Codeword codeword = at(static_cast<std::size_t>(q));
        if (codeword == kSyncCodeword || codeword == kIdleCodeword) continue;
        const std::uint32_t bits = (codeword >> 11) & 0xFFFFFU;
        if (item.tone == kNumericTone) text.addNumeric(bits);
        else if (item.tone == kAlphanumericTone) text.addAlphanumeric(bits);
    }
    return item;
}

}  // namespace vostrel::paging
