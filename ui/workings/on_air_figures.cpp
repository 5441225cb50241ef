// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/workings/on_air_figures.h"

namespace vostrel::ui {

using texts::keys;
namespace {

using image::AirTime;
using image::kBitsPerCodeword;

texts::Message lineMessage(texts::TextKey key, std::vector<texts::MessageArgument> arguments) {
    return {key, texts::Title::Warn, std::move(arguments)};
}

texts::Decimal decimal(double value) { return {value}; }

}  // namespace

OnAirFigures onAirFigures(const std::variant<AirTime, texts::Message>& planned, unsigned focusedRow) {
    if (const auto* refusal = std::get_if<texts::Message>(&planned)) return {*refusal, std::nullopt, {}};
    const AirTime& air = std::get<AirTime>(planned);
    const image::RowAirTime* focused = air.find(focusedRow);
    OnAirFigures line{focused ? lineMessage(keys::kOnAir, {static_cast<int>(focusedRow) + 1,
                                                          decimal(focused->secondsPerTrigger),
                                                          decimal(air.totalSeconds)})
                             : lineMessage(keys::kOnAirAllRows, {decimal(air.totalSeconds)}),
                     std::nullopt,
                     {}};
    const image::TriggerLimitCheck limit = image::checkTriggerLimit(air);
    if (!limit.over()) return line;
    line.overLimit = image::overLimitMessage(limit, focusedRow);
    for (const image::Remedy& remedy : limit.remedies) line.remedies.push_back(image::remedyMessage(remedy));
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
