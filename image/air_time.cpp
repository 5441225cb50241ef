// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "image/air_time.h"

#include <algorithm>

#include "image/capacity.h"
#include "image/slot_table.h"
#include "paging/codeword.h"

namespace vostrel::image {

using keys = texts::keys;

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
        figures.bitsPerRepetition = air.preambleBits + kBitsPerCodeword * stored.codewords;
        figures.bitsPerTrigger = air.repeat * figures.bitsPerRepetition;
        figures.secondsPerRepetition = air.secondsOf(figures.bitsPerRepetition);
        figures.secondsPerTrigger = air.repeat * figures.secondsPerRepetition;
        air.totalBits += figures.bitsPerTrigger;
        air.totalSeconds += figures.secondsPerTrigger;
    }
    return air;
}

std::variant<AirTime, texts::Message> plannedAirTime(const ProgrammerEntries& entries, const RowLayout& layout) {
    if (auto refused = settingsRefusal(entries)) return std::move(*refused);
    // The settings passed the check, so they name a rate.
    return *airTime(settingsOf(entries), plannedRows(entries.rows, layout));
}

namespace {

// Whether one trigger of a transmission of `codewords` stays within the limit.
bool withinLimit(unsigned bitRate, unsigned preambleBits, unsigned repeat, std::size_t codewords) {
    const std::size_t bits = repeat * (preambleBits + kBitsPerCodeword * codewords);
    return bits <= std::size_t{kTriggerLimitSeconds} * bitRate;
}

// What brings a transmission of `longest` codewords, and so every shorter one, under
// the limit.
std::vector<Remedy> remediesFor(const AirTime& air, std::size_t longest) {
    std::vector<Remedy> found;
    for (const unsigned rate : kDataRates) {
        if (rate > air.bitRate && withinLimit(rate, air.preambleBits, air.repeat, longest)) {
            found.push_back({Remedy::Change::Rate, rate, air.preambleBits, air.repeat});
            break;
        }
    }
    for (unsigned repeat = air.repeat - 1; repeat >= 1; --repeat) {
        if (withinLimit(air.bitRate, air.preambleBits, repeat, longest)) {
            found.push_back({Remedy::Change::Repeat, air.bitRate, air.preambleBits, repeat});
            break;
        }
    }
    // The longest preamble that does: one bit shorter costs the receivers the least.
    const std::size_t bitsPerRepetition = std::size_t{kTriggerLimitSeconds} * air.bitRate / air.repeat;
    if (bitsPerRepetition >= kBitsPerCodeword * longest + kMinPreambleBits) {
        const auto preamble = static_cast<unsigned>(bitsPerRepetition - kBitsPerCodeword * longest);
        if (preamble < air.preambleBits) found.push_back({Remedy::Change::Preamble, air.bitRate, preamble, air.repeat});
    }
    if (!found.empty()) return found;
    const unsigned fastest = kDataRates.back();
    for (unsigned repeat = air.repeat; repeat >= 1; --repeat) {
        if (withinLimit(fastest, air.preambleBits, repeat, longest)) {
            return {{Remedy::Change::RateAndRepeat, fastest, air.preambleBits, repeat}};
        }
    }
    return {};
}

texts::Message hintMessage(texts::TextKey key, std::vector<texts::MessageArgument> arguments) {
    return {key, texts::Title::Warn, std::move(arguments)};
}

}  // namespace

TriggerLimitCheck checkTriggerLimit(const AirTime& air) {
    TriggerLimitCheck check;
    const auto longest = std::ranges::max_element(air.rows, {}, &RowAirTime::bitsPerTrigger);
    if (longest == air.rows.end()) return check;
    check.longestRow = longest->row;
    for (const RowAirTime& row : air.rows) {
        if (!withinLimit(air.bitRate, air.preambleBits, air.repeat, row.stored.codewords)) check.rowsOver.push_back(row.row);
    }
    if (check.over()) check.remedies = remediesFor(air, longest->stored.codewords);
    return check;
}

texts::Message overLimitMessage(const TriggerLimitCheck& check, std::optional<unsigned> focusedRow) {
    // The row being edited needs no number when it is the one over the limit.
    if (check.rowsOver.size() == 1 && focusedRow == check.rowsOver.front()) return hintMessage(keys::kOverLimit, {});
    if (check.rowsOver.size() == 1) return hintMessage(keys::kRowOverLimit, {static_cast<int>(check.rowsOver.front()) + 1});
    return hintMessage(keys::kRowsOverLimit, {texts::Text{rowList(check.rowsOver)}});
}

texts::Message remedyMessage(const Remedy& remedy) {
    const auto rate = static_cast<int>(remedy.bitRate);
    const auto repeat = static_cast<int>(remedy.repeat);
    switch (remedy.change) {
        case Remedy::Change::Rate: return hintMessage(keys::kWithRate, {rate});
        case Remedy::Change::Repeat: return hintMessage(keys::kWithRepeat, {repeat});
        case Remedy::Change::Preamble: return hintMessage(keys::kWithPreamble, {static_cast<int>(remedy.preambleBits)});
        case Remedy::Change::RateAndRepeat: break;
    }
    return hintMessage(keys::kWithRateAndRepeat, {rate, repeat});
}

}  // namespace vostrel::image
