// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "paging/transmission.h"

#include <cassert>

#include "paging/numeric_characters.h"

namespace vostrel::paging {
namespace {

constexpr std::size_t kCharactersPerNumericGroup = 5;
constexpr std::size_t kBitsPerGroup = 20;
constexpr std::size_t kBitsPerAlphanumericCharacter = 7;

// Lays out the framing around the data groups, inserting the sync codeword of every
// further batch.
class TransmissionWriter {
public:
    TransmissionWriter(std::uint32_t capcode, unsigned functionBits, std::span<Codeword> out)
        : out_(out) {
        put(kSyncCodeword);
        for (std::uint32_t i = 0; i < 2 * (capcode & 7U); ++i) put(kIdleCodeword);
        put(addressCodeword(capcode, functionBits));
    }

    void putGroup(std::uint32_t group) { putInBatch(messageCodeword(group & 0xFFFFFU)); }

    std::size_t finish() {
        putInBatch(kIdleCodeword);
        return next_;
    }

private:
    void putInBatch(Codeword codeword) {
        if (next_ % kBatchLength == 0) put(kSyncCodeword);
        put(codeword);
    }
    void put(Codeword codeword) {
        assert(next_ < out_.size());
        out_[next_++] = codeword;
    }

    std::span<Codeword> out_;
    std::size_t next_ = 0;
};

std::uint32_t numericGroup(std::string_view message, std::size_t first) {
    std::uint32_t group = 0;
    for (std::size_t i = first; i < first + kCharactersPerNumericGroup; ++i) {
        const std::uint8_t code = i < message.size()
                                      ? numericCode(static_cast<unsigned char>(message[i]))
                                      : kNumericSpaceCode;
        group = (group << 4) | code;
    }
    return group;
}

// Stream bit `index` of the alphanumeric bit stream: character bits 0 to 6 in turn.
std::uint32_t alphanumericStreamBit(std::string_view message, std::size_t index) {
    const auto character = static_cast<unsigned char>(message[index / kBitsPerAlphanumericCharacter]);
    return (character >> (index % kBitsPerAlphanumericCharacter)) & 1U;
}

std::uint32_t alphanumericGroup(std::string_view message, std::size_t group) {
    const std::size_t streamBits = message.size() * kBitsPerAlphanumericCharacter;
    std::uint32_t value = 0;
    for (std::size_t bit = group * kBitsPerGroup; bit < (group + 1) * kBitsPerGroup; ++bit) {
        value = (value << 1) | (bit < streamBits ? alphanumericStreamBit(message, bit) : 0U);
    }
    return value;
}

}  // namespace

std::size_t numericGroupCount(std::size_t messageLength) {
    return (messageLength + kCharactersPerNumericGroup - 1) / kCharactersPerNumericGroup;
}

std::size_t alphanumericGroupCount(std::size_t messageLength) {
    return (messageLength * kBitsPerAlphanumericCharacter + kBitsPerGroup - 1) / kBitsPerGroup;
}

std::size_t messageGroupCount(PagerType type, std::size_t messageLength) {
    return type == PagerType::Alphanumeric ? alphanumericGroupCount(messageLength) : numericGroupCount(messageLength);
}

std::size_t transmissionLength(std::uint32_t capcode, std::size_t groups) {
    const std::size_t withoutSync = 2 * (capcode & 7U) + groups + 2;
    // One sync codeword heads every 16 codewords of the rest.
    return withoutSync + (withoutSync + 15) / 16;
}

std::size_t transmissionLength(PagerType type, std::string_view message, std::uint32_t capcode) {
    return transmissionLength(capcode, messageGroupCount(type, message.size()));
}

std::size_t encodeNumeric(std::string_view message, std::uint32_t capcode, unsigned functionBits,
                          std::span<Codeword> out) {
    TransmissionWriter writer(capcode, functionBits, out);
    for (std::size_t first = 0; first < message.size(); first += kCharactersPerNumericGroup) {
        writer.putGroup(numericGroup(message, first));
    }
    return writer.finish();
}

std::size_t encodeAlphanumeric(std::string_view message, std::uint32_t capcode,
                               unsigned functionBits, std::span<Codeword> out) {
    TransmissionWriter writer(capcode, functionBits, out);
    const std::size_t groups = alphanumericGroupCount(message.size());
    for (std::size_t group = 0; group < groups; ++group) {
        writer.putGroup(alphanumericGroup(message, group));
    }
    return writer.finish();
}

std::size_t encodeTransmission(PagerType type, std::string_view message, std::uint32_t capcode,
                               unsigned functionBits, std::span<Codeword> out) {
    return type == PagerType::Alphanumeric ? encodeAlphanumeric(message, capcode, functionBits, out)
                                           : encodeNumeric(message, capcode, functionBits, out);
}

}  // namespace vostrel::paging
