// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "image/pager_preview.h"

#include "image/image_reader.h"
#include "image/slot_table.h"
#include "paging/transmission_decoder.h"

namespace vostrel::image {
namespace {

constexpr char kDelete = 0x7F;

}  // namespace

std::string withControlNames(std::string_view text) {
    std::string named;
    named.reserve(text.size());
    for (const char character : text) {
        const auto code = static_cast<unsigned char>(character);
        // UTF-8 sequences are bytes from 0x80 up, so a byte below 0x20 is always a control.
        if (code < kControlNames.size()) {
            named.append("<").append(kControlNames[code]).append(">");
        } else if (character == kDelete) {
            named.append("<").append(kDeleteName).append(">");
        } else {
            named += character;
        }
    }
    return named;
}

PagerDisplays plannedDisplays(const ProgrammerEntries& entries, const RowLayout& layout) {
    PagerDisplays displays;
    std::array<paging::Codeword, kMaxSlotCodewords> transmission{};
    for (unsigned row = 0; row < kRowCount; ++row) {
        const std::size_t length = encodeRow(entries, layout, row, transmission);
        if (length == 0) continue;
        const auto decoded = paging::decodeTransmission(std::span(transmission).first(length), static_cast<int>(length));
        // The encoder always starts with the sync codeword, so the decoder always reads it.
        if (!decoded) continue;
        displays[row] =
            withControlNames(shownText(decoded->message(), decoded->type, entries.text.alphabetOf(row)));
    }
    return displays;
}

PagerDisplays storedDisplays(const EepromImage& image, const PagerTextSettings& text) {
    const ImageContents contents = decodeImage(image, text);
    const unsigned readRows = contents.readErrorRow ? static_cast<unsigned>(*contents.readErrorRow - 1) : kRowCount;
    PagerDisplays displays;
    for (unsigned row = 0; row < readRows; ++row) {
        if (loadSlot(image, row).inUse()) displays[row] = withControlNames(contents.rows[row].message);
    }
    return displays;
}

}  // namespace vostrel::image
