// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// What fits in the transmitter, and why. The transmission area behind the slot table
// holds 119 codewords (238 words). A Write places the rows in use there in row order,
// each as its whole transmission, and stops at the first that does not fit: no row
// after it is stored, not even a shorter one. A row takes
//
//   sync | 2 idle per frame before its own | address | message | idle
//   + one sync more at the head of every further batch of 16 codewords
//
// where the frame is the capcode's remainder divided by 8. So a tone-only call takes
//
//   frame (capcode mod 8)    0   1   2   3   4   5   6   7
//   codewords                3   5   7   9  11  13  15  17
//   words                    6  10  14  18  22  26  30  34
//
// and a message adds one codeword per 5 numeric characters, or per 20 bits of 7-bit
// alphanumeric characters. The data rate, the preamble and the repeat count are the
// transmitter's to send and take no room: they never change what fits.
//
// The costs here are the builder's own (layOutRows, sentCodes), so what this model says
// is stored is what a Write stores. Its verdicts and advice are data; each front end
// words them, as the texts below give them.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "image/image_builder.h"
#include "texts/message.h"

namespace vostrel::image {

// The codewords the transmission area holds.
inline constexpr std::size_t kAreaCodewords = kMaxSlotCodewords;
inline constexpr unsigned kWordsPerCodeword = 2;
inline constexpr unsigned kFrames = 8;

// A row's transmission, part by part.
struct RowCost {
    unsigned frame = 0;                 // capcode mod 8
    std::size_t messageCodewords = 0;   // one per data group
    std::size_t codewords = 0;          // the whole transmission

    // The idle codewords in front of the address: 2 for every frame before the pager's.
    std::size_t idleFill() const { return 2 * std::size_t{frame}; }
    // The sync codewords, the address and the closing idle codeword.
    std::size_t framing() const { return codewords - idleFill() - messageCodewords; }

    friend bool operator==(const RowCost&, const RowCost&) = default;
};

// A transmission at `frame` that carries `messageCodewords`.
RowCost rowCost(unsigned frame, std::size_t messageCodewords);

struct CapacityRow {
    unsigned row = 0;  // 0-based
    // What it takes wherever it stands; nothing for a row after the first left out
    // that a Write would refuse were it reached.
    std::optional<RowCost> cost;
    bool stored = false;

    friend bool operator==(const CapacityRow&, const CapacityRow&) = default;
};

struct SiteCapacity {
    // Every row in use, stored or left out, in row order; a row before the first left
    // out that a Write refuses is not here (the Write refuses the whole site).
    std::vector<CapacityRow> rows;
    std::size_t storedCodewords = 0;

    bool allStored() const;
    // The rows left out (0-based), in row order.
    std::vector<unsigned> leftOut() const;
    // The first row left out, where the walk stopped.
    std::optional<unsigned> firstLeftOut() const;
    // All rows as given, and all as tone-only calls, where every cost is known.
    std::size_t neededCodewords() const;
    std::size_t toneOnlyCodewords() const;
    // The most of these rows that one transmitter can ever hold: as tone-only calls,
    // the shortest first.
    unsigned mostRowsEver() const;
    const CapacityRow* find(unsigned row) const;
};

// The model of what a Write of `entries`, laid out as `layout` (layOutRows) says, stores
// and leaves out.
SiteCapacity siteCapacity(const ProgrammerEntries& entries, const RowLayout& layout);

// ---- Advice: each change alone that would store more. A row is the transmitter's call
// input, so another order is only ever advice; the tool keeps the order it is given.

// The first row left out fits with its message this many characters shorter.
struct ShorterMessage {
    unsigned row = 0;
    std::size_t characters = 0;
    friend bool operator==(const ShorterMessage&, const ShorterMessage&) = default;
};
// The first row left out fits as a tone-only call (tone B or C).
struct ToneOnlyCall {
    unsigned row = 0;
    friend bool operator==(const ToneOnlyCall&, const ToneOnlyCall&) = default;
};
// The first row left out fits with a capcode in this frame or an earlier one, for a
// pager whose capcode can be chosen (frame 0: divisible by 8).
struct EarlierFrame {
    unsigned row = 0;
    unsigned frame = 0;
    friend bool operator==(const EarlierFrame&, const EarlierFrame&) = default;
};
// Another row order stores more rows: these, the shortest calls first.
struct OtherOrder {
    std::vector<unsigned> rows;
    unsigned of = 0;  // the rows in use
    friend bool operator==(const OtherOrder&, const OtherOrder&) = default;
};
// These capcodes never all fit one transmitter: at most `most` of the `of` rows.
struct NeverAll {
    unsigned most = 0;
    unsigned of = 0;
    friend bool operator==(const NeverAll&, const NeverAll&) = default;
};
// The rows on each of several transmitters, in row order, that together hold them all.
struct Transmitters {
    std::vector<std::vector<unsigned>> rows;
    friend bool operator==(const Transmitters&, const Transmitters&) = default;
};

using Advice = std::variant<ShorterMessage, ToneOnlyCall, EarlierFrame, OtherOrder, NeverAll, Transmitters>;

// The row an advice is about (0-based); nothing for advice about the whole site.
std::optional<unsigned> adviceRow(const Advice& advice);

// Nothing for a site whose rows all fit; else what would make the first row left out
// fit, then what the site as a whole could do.
std::vector<Advice> capacityAdvice(const SiteCapacity& capacity, const ProgrammerEntries& entries);

// The rows of the site on as few transmitters as hold them in row order, each filled
// before the next is begun; nothing when a row's cost is unknown.
std::optional<std::vector<std::vector<unsigned>>> transmitterPlan(const SiteCapacity& capacity);

// The configuration of each transmitter of `plan`: the settings, the alphabets and the
// site as they are; each row in use with its label on its transmitter and in its place,
// as it is wired to the same call input. Rows not in use stay with the first.
std::vector<ProgrammerEntries> splitEntries(const ProgrammerEntries& entries,
                                            const std::vector<std::vector<unsigned>>& plan);

// ---- Words.

// "12-16", "3, 5, 7-9": rows (0-based, ascending) as people number them.
std::string rowList(std::span<const unsigned> rows);
// "8, 16, 1": rows in the order given.
std::string rowSequence(std::span<const unsigned> rows);

// The advice as the front ends show it, a line each; Transmitters takes several parts.
std::vector<texts::Message> adviceMessages(const Advice& advice);
// Why the row is left out, what it takes and what would make it fit: the lines of its
// tooltip. Only for a row left out.
std::vector<texts::Message> leftOutRowMessages(const SiteCapacity& capacity, const std::vector<Advice>& advice,
                                               unsigned row);
// Each row left out as "row 12 Tisch 12 (capcode 100012 A)".
std::vector<texts::Message> leftOutRowNames(const SiteCapacity& capacity, const ProgrammerEntries& entries);
// That the settings do not change what fits.
texts::Message settingsDoNotChangeFit();

}  // namespace vostrel::image
