// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// What a Write will change on the transmitter: each row and the settings as it holds
// them now and as it will give them back afterwards, both read as a Read would.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "image/eeprom_image.h"
#include "image/pager_item.h"
#include "image/pager_text.h"
#include "image/transmitter_settings.h"
#include "texts/message.h"

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
    // False when what the transmitter holds gives "EEPROM read error" (a damaged
    // EEPROM): its rows are then unknown and none counts as overwritten. An erased one
    // reads as empty: every row it gets is new.
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

// A text in the user's language: the message's translation, formatted.
using TextLookup = std::function<std::string(const texts::Message&)>;

enum class ChangeListing {
    Differences,  // the rows and settings that differ (verify, and the Write's question first)
    Unchanged,    // the rows in use that stay as they are (the Write's question, after them)
};

// The rows one line each, UTF-8, in the words of `lookUp`: a row as
// "Item[02]: changed 8 D Alphnumeric "Old" → 8 D Alphnumeric "New"" (new, cleared and
// unchanged rows name one call); the differences end with each setting that changes,
// as "Data Rate: 512 → 1200 bps".
// Control characters of a message are shown as \xNN, so no line breaks or drives a
// terminal.
std::vector<std::string> changeLines(const ImageChanges& changes, ChangeListing listing, const TextLookup& lookUp);

}  // namespace vostrel::image
