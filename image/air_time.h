// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Time on air: how long the transmitter sends when a stored call is triggered. Every
// repetition sends the preamble (alternating bits) and then the row's whole stored
// transmission, so one trigger of a row keeps the transmitter on air for
//
//     repeat × (preamble bits + 32 × codewords) / bit rate   seconds.
//
// The codewords counted are those the image stores, or those a Write would store as
// found by the image builder's own walk over the rows, never an estimate from the
// message length. Limits are compared in whole bits, so that a trigger of exactly 5 s
// is not taken for more by a rounded figure.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "image/eeprom_image.h"
#include "image/image_builder.h"
#include "image/pager_item.h"
#include "image/transmitter_settings.h"
#include "texts/message.h"

namespace vostrel::image {

inline constexpr unsigned kBitsPerCodeword = 32;

// Many channels allow an automatically triggered transmitter no more than this per
// activation; a longer call is worth a warning before it is written.
inline constexpr unsigned kTriggerLimitSeconds = 5;

// One row's stored transmission: its codewords from the first sync codeword to the
// closing idle codeword, and the frame of its capcode, whose 2 idle codewords per
// frame in front of the address are part of that count. All 0 for a row that stores
// nothing.
struct StoredRow {
    std::size_t codewords = 0;
    unsigned frame = 0;

    friend bool operator==(const StoredRow&, const StoredRow&) = default;
};
using StoredRows = std::array<StoredRow, kRowCount>;

// What a Write of `rows` stores, from their layout (layOutRows): a refused row or one
// that does not fit stores nothing.
StoredRows plannedRows(const PagerRows& rows, const RowLayout& layout);

// What the image stores: every row whose slot is in use, as the transmitter sends it.
StoredRows storedRows(const EepromImage& image);

struct RowAirTime {
    unsigned row = 0;  // 0-based
    StoredRow stored;
    std::size_t bitsPerRepetition = 0;  // the preamble and the transmission
    std::size_t bitsPerTrigger = 0;     // repeat × that
    double secondsPerRepetition = 0;
    double secondsPerTrigger = 0;
};

struct AirTime {
    unsigned bitRate = 0;
    unsigned preambleBits = 0;
    unsigned repeat = 0;
    std::vector<RowAirTime> rows;  // the rows that store a transmission, in row order
    std::size_t totalBits = 0;     // one trigger of each of them
    double totalSeconds = 0;

    double secondsOf(std::size_t bits) const { return static_cast<double>(bits) / bitRate; }
    // The row's figures, or nothing when it stores no transmission.
    const RowAirTime* find(unsigned row) const;
    // The longest trigger of all rows; 0 without rows.
    double longestTrigger() const;
};

// The figures of `rows` sent with `settings`; nothing when the data-rate index names
// no rate (index 3, read back from a device).
std::optional<AirTime> airTime(const TransmitterSettings& settings, const StoredRows& rows);

// The figures of what a Write of `entries` would store, or the message with which the
// Write would refuse the settings.
std::variant<AirTime, texts::Message> plannedAirTime(const ProgrammerEntries& entries, const RowLayout& layout);

// A change of the settings that brings one trigger of every row within the limit.
struct Remedy {
    enum class Change { Rate, Repeat, Preamble, RateAndRepeat };
    Change change = Change::Rate;
    // The settings with the change made.
    unsigned bitRate = 0;
    unsigned preambleBits = 0;
    unsigned repeat = 0;

    friend bool operator==(const Remedy&, const Remedy&) = default;
};

struct TriggerLimitCheck {
    // The rows (0-based, in row order) whose one trigger is longer than the limit.
    std::vector<unsigned> rowsOver;
    // The row with the longest trigger, the first of equals: what brings it under the
    // limit brings every row under.
    unsigned longestRow = 0;
    // When rows are over: the settings that, each changed alone, bring every row under
    // it (the slowest faster rate, the most repeats, the longest preamble); when none
    // does alone, the fastest rate with the most repeats that do. Empty when nothing
    // does, or no row is over.
    std::vector<Remedy> remedies;

    bool over() const { return !rowsOver.empty(); }
};

TriggerLimitCheck checkTriggerLimit(const AirTime& air);

// The hint's opening, naming every row over the limit: "rows 1-11 over 5 s, under it
// with", "row 7 over 5 s, under it with", or "over 5 s, under it with" when the one row
// over it is `focusedRow` (0-based). Only for a check that is over.
texts::Message overLimitMessage(const TriggerLimitCheck& check, std::optional<unsigned> focusedRow);
// "2400 bit/s", "repeat 1", "preamble 976 bits", "2400 bit/s and repeat 3".
texts::Message remedyMessage(const Remedy& remedy);

}  // namespace vostrel::image
