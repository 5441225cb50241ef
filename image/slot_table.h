// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The slot table, words 1-16: for each row the start word address of its transmission
// and the address one past its end, one byte each. Start 0 means the row is unused.

#include <cstdint>

#include "image/eeprom_image.h"

namespace vostrel::image {

struct SlotEntry {
    std::uint8_t start = 0;
    std::uint8_t end = 0;

    bool inUse() const { return start != 0; }
    // Negative when a damaged table has the end below the start.
    int codewordCount() const { return (static_cast<int>(end) - static_cast<int>(start)) / 2; }

    friend bool operator==(const SlotEntry&, const SlotEntry&) = default;
};

SlotEntry loadSlot(const EepromImage& image, unsigned row);
void storeSlot(EepromImage& image, unsigned row, SlotEntry entry);

// Word count a write of this image must cover: the end of the last slot in use
// (the largest end address), at least the header and slot table.
unsigned usedWordCount(const EepromImage& image);

}  // namespace vostrel::image
