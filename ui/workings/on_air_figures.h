// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The time on air the window shows while the user types: a line under the rows with
// the figure of the row being edited and of all rows, the hint of image/air_time.h
// when one trigger of a row keeps the transmitter on air for more than 5 s, and each
// row's breakdown for its message box's tooltip. The figures are those of what a Write
// stores.

#include <optional>
#include <variant>
#include <vector>

#include "image/air_time.h"
#include "texts/message.h"

namespace vostrel::ui {

struct OnAirFigures {
    // The figures, or why a Write would refuse the settings (no figures then).
    texts::Message figures;
    // When a trigger of some row exceeds the limit: says so ...
    std::optional<texts::Message> overLimit;
    // ... and which settings bring every row under it (image::checkTriggerLimit).
    std::vector<texts::Message> remedies;

    friend bool operator==(const OnAirFigures&, const OnAirFigures&) = default;
};

// The line for the row (0-based) that has or last had the focus.
OnAirFigures onAirFigures(const std::variant<image::AirTime, texts::Message>& planned, unsigned focusedRow);

// The parts of the row's tooltip: its figure, the preamble's share of a repetition
// and, beyond frame 0, what the idle fill in front of the address adds.
std::vector<texts::Message> rowBreakdown(const image::AirTime& air, const image::RowAirTime& row);

}  // namespace vostrel::ui
