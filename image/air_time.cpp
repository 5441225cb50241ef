// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "image/air_time.h"

#include <algorithm>

#include "image/slot_table.h"
#include "paging/codeword.h"

namespace vostrel::image {

StoredRows plannedRows(const PagerRows& rows, const RowLayout& layout) {
    StoredRows planned;
    for (unsigned row = 0; row < kRowCount; ++row) {
        if (layout.codewords[row] == 0) continue;
        // A placed row's capcode passed the builder's range check.
        const auto capcode = static_cast<unsigned>(leadingInteger(rows[row].capcode));
        planned[row] = {layout.codewords[row], capcode & 7U};
    }
    return planned;
}

StoredRows storedRows(const EepromImage& image) {
    StoredRows stored;
    for (unsigned row = 0; row < kRowCount; ++row) {
        const SlotEntry slot = loadSlot(image, row);
        // The rows the transmitter sends, exactly as the audio rendering takes them.
        if (!slot.inUse() || slot.codewordCount() <= 0) continue;
        const auto codewords = static_cast<std::size_t>(slot.codewordCount());
        // The frame is where the address stands: behind the sync codeword and 2 idle
        // codewords per frame.
        std::size_t idle = 0;
        while (1 + idle < codewords &&
               image.loadCodeword(slot.start + 2 * static_cast<unsigned>(1 + idle)) == paging::kIdleCodeword) {
            ++idle;
        }
        stored[row] = {codewords, static_cast<unsigned>(idle / 2)};
    }
    return stored;
}

const RowAirTime* AirTime::find(unsigned row) const {
    const auto found = std::ranges::find(rows, row, &RowAirTime::row);
    return found == rows.end() ? nullptr : &*found;
}

double AirTime::longestTrigger() const {
    double longest = 0;
    for (const RowAirTime& row : rows) longest = std::max(longest, row.secondsPerTrigger);
    return longest;
}

std::optional<AirTime> airTime(const TransmitterSettings& settings, const StoredRows& rows) {
    if (settings.dataRateIndex >= kDataRates.size()) return std::nullopt;
    AirTime air;
    air.bitRate = kDataRates[settings.dataRateIndex];
    air.preambleBits = settings.preambleBits;
    air.repeat = settings.repeatIndex + 1;
    for (unsigned row = 0; row < kRowCount; ++row) {
        const StoredRow& stored = rows[row];
        if (stored.codewords == 0) continue;
        RowAirTime& figures = air.rows.emplace_back();
        figures.row = row;
        figures.stored = stored;
        figures.secondsPerRepetition = air.secondsOf(air.preambleBits + kBitsPerCodeword * stored.codewords);
        figures.secondsPerTrigger = air.repeat * figures.secondsPerRepetition;
        air.totalSeconds += figures.secondsPerTrigger;
    }
    return air;
}

std::variant<AirTime, texts::Message> plannedAirTime(const ProgrammerEntries& entries, const RowLayout& layout) {
    if (auto refused = settingsRefusal(entries)) return std::move(*refused);
    // The settings passed the check, so they name a rate.
    return *airTime(settingsOf(entries), plannedRows(entries.rows, layout));
}

}  // namespace vostrel::image
