// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "image/image_reader.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "image/slot_table.h"
#include "paging/transmission.h"
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

// Whether the codeword is an address codeword as an encoder makes it: flag 0, check
// bits and parity right. A damaged word is no call: receivers drop it.
bool isAddressCodeword(paging::Codeword codeword) {
    if (codeword == paging::kSyncCodeword || codeword == paging::kIdleCodeword || (codeword >> 31) != 0) return false;
    const std::uint32_t information = (codeword >> 11) & 0xFFFFFU;
    return paging::addressCodeword((information >> 2) << 3, information & 3U) == codeword;
}

// The capcode of the first address codeword after the one the row's call starts
// with: another call that pagers receive. Its frame counts from the last sync codeword
// before it, as a receiver counts.
std::optional<std::uint32_t> furtherAddress(std::span<const paging::Codeword> words) {
    std::size_t first = 1;
    while (first < words.size() && words[first] == paging::kIdleCodeword && first < paging::kLastAddressPosition) {
        ++first;
    }
    std::size_t lastSync = 0;
    for (std::size_t at = first + 1; at < words.size(); ++at) {
        if (words[at] == paging::kSyncCodeword) lastSync = at;
        if (!isAddressCodeword(words[at])) continue;
        const auto frame = static_cast<std::uint32_t>(((at - lastSync - 1) % (paging::kBatchLength - 1)) / 2);
        return ((words[at] >> 13) & 0x3FFFFU) << 3 | frame;
    }
    return std::nullopt;
}

// What the slot holds beyond the decoded call: nothing when its words are the ones a
// Write of that call stores.
std::optional<HiddenWords> hiddenWords(const EepromImage& image, const SlotEntry& slot,
                                       const paging::DecodedItem& decoded) {
    std::array<paging::Codeword, kImageWords / 2> stored{};
    const auto words = slotCodewords(image, slot.start, stored).first(
        std::min<std::size_t>((kImageWords - slot.start) / 2, std::max(slot.codewordCount(), 0)));
    std::array<paging::Codeword, kImageWords / 2> call{};
    const std::size_t length = paging::encodeTransmission(decoded.type, decoded.message(), decoded.capcode,
                                                          decoded.tone, call);
    const bool wholeCodewords = (static_cast<int>(slot.end) - static_cast<int>(slot.start)) % 2 == 0;
    if (wholeCodewords && std::ranges::equal(words, std::span(call).first(length))) return std::nullopt;
    return HiddenWords{furtherAddress(words)};
}

}  // namespace

std::vector<texts::Message> ImageContents::hiddenWordsMessages() const {
    std::vector<texts::Message> messages;
    for (unsigned row = 0; row < kRowCount; ++row) {
        if (!hidden[row]) continue;
        const int item = static_cast<int>(row) + 1;
        if (const auto address = hidden[row]->address) {
            messages.push_back({texts::keys::kRowAlsoHoldsAddress, texts::Title::Warn, {item, static_cast<int>(*address)}});
        } else {
            messages.push_back({texts::keys::kRowHoldsMoreWords, texts::Title::Warn, {item}});
        }
    }
    return messages;
}

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
        contents.hidden[row] = hiddenWords(image, slot, *decoded);
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
