// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "image/slot_table.h"

#include <algorithm>

namespace vostrel::image {

SlotEntry loadSlot(const EepromImage& image, unsigned row) {
    return {image.bytes[2 + 2 * row], image.bytes[3 + 2 * row]};
}

void storeSlot(EepromImage& image, unsigned row, SlotEntry entry) {
    image.bytes[2 + 2 * row] = entry.start;
    image.bytes[3 + 2 * row] = entry.end;
}

unsigned usedWordCount(const EepromImage& image) {
    unsigned count = kFirstTransmissionWord;
    for (unsigned row = 0; row < kRowCount; ++row) {
        const SlotEntry slot = loadSlot(image, row);
        if (slot.inUse()) count = std::max<unsigned>(count, slot.end);
    }
    return count;
}

}  // namespace vostrel::image
