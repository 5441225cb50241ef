// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// What a Write will change on the transmitter: each row and the settings as it holds
// them now and as it will give them back afterwards, both read as a Read would.

#include <array>

#include "image/eeprom_image.h"
#include "image/pager_item.h"
#include "image/pager_text.h"
#include "image/transmitter_settings.h"

namespace vostrel::image {

enum class RowChange {
    Empty,      // unused before and after
    Unchanged,  // the same call before and after
    Changed,    // another call in place of the one held
    Added,      // a call where the row was unused
    Cleared,    // the call held is gone
};

struct RowDifference {
    RowChange change = RowChange::Empty;
    PagerItem held;     // as the transmitter gives it back now
    PagerItem written;  // as it will give it back after the Write
};

struct ImageChanges {
    // False when what the transmitter holds gives "EEPROM read error" (an erased or
    // damaged EEPROM): its rows are then unknown and none counts as overwritten.
    bool heldReadable = false;
    TransmitterSettings heldSettings;
    TransmitterSettings writtenSettings;
    std::array<RowDifference, kRowCount> rows;

    // True when the Write changes or clears a call that the transmitter holds.
    bool overwritesCalls() const;
    bool settingsChange() const { return heldSettings != writtenSettings; }
};

// `held` is what the transmitter holds; a Write sends words 0..wordCount-1 of `toWrite`
// and leaves the others as they are. Both are read with `text`, as the rows show.
ImageChanges compareImages(const EepromImage& held, const EepromImage& toWrite, unsigned wordCount,
                           const PagerTextSettings& text = {});

}  // namespace vostrel::image
