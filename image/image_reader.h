// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Reads an EEPROM image back into the settings and sixteen rows.

#include <optional>

#include "image/eeprom_image.h"
#include "image/image_builder.h"
#include "image/pager_item.h"
#include "image/transmitter_settings.h"

namespace vostrel::image {

struct ImageContents {
    TransmitterSettings settings;
    PagerRows rows;  // rows the reader did not fill are empty
    // 1-based row whose slot does not start with a sync codeword ("EEPROM read error");
    // that row and all later ones are left empty.
    std::optional<int> readErrorRow;
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
