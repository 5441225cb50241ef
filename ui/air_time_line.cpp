// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/air_time_line.h"

#include <algorithm>

namespace vostrel::ui {

using texts::keys;
namespace {

using image::AirTime;
using image::kBitsPerCodeword;

texts::Message lineMessage(texts::TextKey key, std::vector<texts::MessageArgument> arguments) {
    return {key, texts::Title::Warn, std::move(arguments)};
}

texts::Decimal decimal(double value) { return {value}; }

// Whether one trigger of a transmission of `codewords` stays within the limit, in
// whole bits so that a figure of exactly 5 s is not taken for more.
bool withinLimit(unsigned bitRate, unsigned preambleBits, unsigned repeat, std::size_t codewords) {
    const std::size_t bits = repeat * (preambleBits + kBitsPerCodeword * codewords);
    return bits <= std::size_t{kTriggerLimitSeconds} * bitRate;
}

std::vector<texts::Message> remedies(const AirTime& air) {
    std::size_t longest = 0;
    for (const auto& row : air.rows) longest = std::max(longest, row.stored.codewords);
    std::vector<texts::Message> found;
    for (const unsigned rate : image::kDataRates) {
        if (rate > air.bitRate && withinLimit(rate, air.preambleBits, air.repeat, longest)) {
            found.push_back(lineMessage(keys::kWithRate, {static_cast<int>(rate)}));
            break;
        }
    }
    for (unsigned repeat = air.repeat - 1; repeat >= 1; --repeat) {
        if (withinLimit(air.bitRate, air.preambleBits, repeat, longest)) {
            found.push_back(lineMessage(keys::kWithRepeat, {static_cast<int>(repeat)}));
            break;
        }
    }
    // The longest preamble that does: one bit shorter costs the receivers the least.
    const std::size_t bitsPerRepetition = std::size_t{kTriggerLimitSeconds} * air.bitRate / air.repeat;
    if (bitsPerRepetition >= kBitsPerCodeword * longest + image::kMinPreambleBits) {
        const std::size_t preamble = bitsPerRepetition - kBitsPerCodeword * longest;
        if (preamble < air.preambleBits) found.push_back(lineMessage(keys::kWithPreamble, {static_cast<int>(preamble)}));
    }
    if (!found.empty()) return found;
    const unsigned fastest = image::kDataRates.back();
    for (unsigned repeat = air.repeat; repeat >= 1; --repeat) {
        if (withinLimit(fastest, air.preambleBits, repeat, longest)) {
            return {lineMessage(keys::kWithRateAndRepeat, {static_cast<int>(fastest), static_cast<int>(repeat)})};
        }
    }
    return {};
}

}  // namespace

AirTimeLine airTimeLine(const std::variant<AirTime, texts::Message>& planned, unsigned focusedRow) {
    if (const auto* refusal = std::get_if<texts::Message>(&planned)) return {*refusal, std::nullopt, {}};
    const AirTime& air = std::get<AirTime>(planned);
    const image::RowAirTime* focused = air.find(focusedRow);
    AirTimeLine line{focused ? lineMessage(keys::kOnAir, {static_cast<int>(focusedRow) + 1,
                                                          decimal(focused->secondsPerTrigger),
                                                          decimal(air.totalSeconds)})
                             : lineMessage(keys::kOnAirAllRows, {decimal(air.totalSeconds)}),
                     std::nullopt,
                     {}};
    const auto longest = std::ranges::max_element(air.rows, {}, &image::RowAirTime::secondsPerTrigger);
    if (longest == air.rows.end() ||
        withinLimit(air.bitRate, air.preambleBits, air.repeat, longest->stored.codewords)) {
        return line;
    }
    // The row being edited needs no number when it is the one over the limit.
    const bool focusedOver =
        focused != nullptr && !withinLimit(air.bitRate, air.preambleBits, air.repeat, focused->stored.codewords);
    line.overLimit = focusedOver ? lineMessage(keys::kOverLimit, {})
                                 : lineMessage(keys::kRowOverLimit, {static_cast<int>(longest->row) + 1});
    line.remedies = remedies(air);
    return line;
}

std::vector<texts::Message> rowBreakdown(const AirTime& air, const image::RowAirTime& row) {
    std::vector<texts::Message> parts = {
        lineMessage(keys::kRowOnAir, {decimal(row.secondsPerRepetition), static_cast<int>(air.repeat),
                                      decimal(row.secondsPerTrigger), static_cast<int>(air.bitRate)}),
        lineMessage(keys::kPreambleOnAir, {decimal(air.secondsOf(air.preambleBits))}),
    };
    if (row.stored.frame > 0) {
        const std::size_t fillBits = 2 * row.stored.frame * kBitsPerCodeword;
        parts.push_back(lineMessage(keys::kFrameOnAir, {static_cast<int>(row.stored.frame), decimal(air.secondsOf(fillBits))}));
    }
    return parts;
}

}  // namespace vostrel::ui
