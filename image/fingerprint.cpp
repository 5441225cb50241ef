// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "image/fingerprint.h"

#include <array>
#include <cstdio>
#include <vector>

#include "image/slot_table.h"

namespace vostrel::image {
namespace {

constexpr std::uint32_t kReflectedPolynomial = 0xEDB88320;
constexpr std::size_t kTableBytes = 2 * kFirstTransmissionWord;

constexpr std::array<std::uint32_t, 256> crcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t byte = 0; byte < table.size(); ++byte) {
        std::uint32_t value = byte;
        for (int bit = 0; bit < 8; ++bit) value = (value & 1U) ? (value >> 1) ^ kReflectedPolynomial : value >> 1;
        table[byte] = value;
    }
    return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = crcTable();

// The CRC register carried from one run of bytes to the next.
std::uint32_t update(std::uint32_t crc, std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) crc = kCrcTable[(crc ^ byte) & 0xFFU] ^ (crc >> 8);
    return crc;
}

// Hands each run of bytes the fingerprint covers to `take`, in order.
template <typename Take>
void forEachCoveredRun(const EepromImage& image, Take take) {
    const std::span<const std::uint8_t> all(image.bytes);
    take(all.first(kTableBytes));
    for (unsigned row = 0; row < kRowCount; ++row) {
        const SlotEntry slot = loadSlot(image, row);
        // A damaged table's end below its start stores nothing; an end byte never
        // reaches past word 254, so every slot lies inside the image.
        if (!slot.inUse() || slot.end <= slot.start) continue;
        take(all.subspan(2U * slot.start, 2U * (slot.end - slot.start)));
    }
}

std::vector<std::uint8_t> coveredBytes(const EepromImage& image) {
    std::vector<std::uint8_t> bytes;
    forEachCoveredRun(image, [&](std::span<const std::uint8_t> run) { bytes.insert(bytes.end(), run.begin(), run.end()); });
    return bytes;
}

}  // namespace

std::uint32_t crc32(std::span<const std::uint8_t> bytes) { return ~update(0xFFFFFFFFU, bytes); }

std::uint32_t contentsFingerprint(const EepromImage& image) {
    std::uint32_t crc = 0xFFFFFFFFU;
    forEachCoveredRun(image, [&](std::span<const std::uint8_t> run) { crc = update(crc, run); });
    return ~crc;
}

bool sameContents(const EepromImage& a, const EepromImage& b) { return coveredBytes(a) == coveredBytes(b); }

std::string fingerprintText(std::uint32_t fingerprint) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(fingerprint));
    return text;
}

}  // namespace vostrel::image
