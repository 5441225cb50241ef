// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "image/image_reader.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "image/slot_table.h"
#include "paging/transmission_decoder.h"

namespace vostrel::image {
namespace {

// The whole codewords from `start` to the image's end; the decoder reads positions
// beyond them as 0.
std::span<const paging::Codeword> slotCodewords(const EepromImage& image, unsigned start,
                                                std::array<paging::Codeword, kImageWords / 2>& buffer) {
    const unsigned available = (kImageWords - start) / 2;
    for (unsigned i = 0; i < available; ++i) buffer[i] = image.loadCodeword(start + 2 * i);
    return std::span<const paging::Codeword>(buffer).first(available);
}

PagerItem shownItem(const paging::DecodedItem& decoded, paging::Alphabet alphabet) {
    PagerItem item;
    item.capcode = std::to_string(decoded.capcode);
    item.tone = decoded.tone;
    item.type = decoded.type;
    item.message = shownText(decoded.message(), decoded.type, alphabet);
    return item;
}

}  // namespace

bool isErased(const EepromImage& image) {
    return std::ranges::all_of(image.bytes, [](std::uint8_t byte) { return byte == 0xFF; });
}

ImageContents decodeImage(const EepromImage& image, const PagerTextSettings& text) {
    ImageContents contents;
    contents.settings = loadHeader(image);
    // Its slot table reads as sixteen slots running to word 255, none of which starts
    // with a sync codeword: a new transmitter would be taken for a faulty one.
    contents.erased = isErased(image);
    if (contents.erased) return contents;
    std::array<paging::Codeword, kImageWords / 2> buffer{};
    for (unsigned row = 0; row < kRowCount; ++row) {
        const SlotEntry slot = loadSlot(image, row);
        if (!slot.inUse()) continue;
        const auto decoded =
            paging::decodeTransmission(slotCodewords(image, slot.start, buffer), slot.codewordCount());
        if (!decoded) {
            contents.readErrorRow = static_cast<int>(row) + 1;
            break;
        }
        contents.rows[row] = shownItem(*decoded, text.alphabetOf(row));
    }
    return contents;
}

ProgrammerEntries shownEntries(const ImageContents& contents, const PagerTextSettings& text) {
    const TransmitterSettings& settings = contents.settings;
    const bool rateKnown = settings.dataRateIndex < kDataRates.size();
    return {std::to_string(settings.preambleBits), static_cast<int>(settings.repeatIndex),
            rateKnown ? static_cast<int>(settings.dataRateIndex) : -1, contents.rows, text, {}, std::string()};
}

}  // namespace vostrel::image
