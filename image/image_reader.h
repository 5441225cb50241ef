// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Reads an EEPROM image back into the settings and sixteen rows.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "image/eeprom_image.h"
#include "image/image_builder.h"
#include "image/pager_item.h"
#include "image/transmitter_settings.h"
#include "texts/message.h"

namespace vostrel::image {

// What a row's slot holds beyond the call the row shows: words a Write of that call
// would not store (another program's, or damage). The transmitter sends them all the
// same, so a row that holds them is never taken for the call it shows.
struct HiddenWords {
    // The capcode of the first further address codeword: a call to another pager.
    // Nothing when the further words page no other pager.
    std::optional<std::uint32_t> address;

    friend bool operator==(const HiddenWords&, const HiddenWords&) = default;
};

struct ImageContents {
    TransmitterSettings settings;
    PagerRows rows;  // rows the reader did not fill are empty
    // 1-based row whose slot does not start with a sync codeword ("EEPROM read error");
    // that row and all later ones are left empty.
    std::optional<int> readErrorRow;
    // Of each row read: what its slot holds beyond its call.
    std::array<std::optional<HiddenWords>, kRowCount> hidden;

    // The rows that hold hidden words, one message each ("Item[01] also holds an
    // address for capcode 9, ..."), in row order.
    std::vector<texts::Message> hiddenWordsMessages() const;

    // Every word reads 0xFFFF, as a new or wiped EEPROM does: the transmitter holds no
    // settings and no calls. That is no read error: the rows stay empty and
    // readErrorRow unset; the settings are the erased header's (no data rate).
    bool erased = false;
};

// Whether every word of the image reads 0xFFFF.
bool isErased(const EepromImage& image);

// Messages come back as the pagers show them: alphanumeric ones through each row's
// alphabet in `text`.
ImageContents decodeImage(const EepromImage& image, const PagerTextSettings& text = {});

// The window's contents once a Read has shown the contents: the preamble as its
// decimal number, and no data-rate selection for an index that names no rate; `text`
// as the contents were read with; no site name, which no image holds.
ProgrammerEntries shownEntries(const ImageContents& contents, const PagerTextSettings& text = {});

}  // namespace vostrel::image
