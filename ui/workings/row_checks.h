// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The live check of the rows while the user types: how much of the EEPROM they take,
// which rows will not fit, and where each refused row is marked. It is worked out by
// the builder's own walk over the rows, so it agrees with what Write does.

#include <optional>
#include <vector>

#include "image/image_builder.h"
#include "texts/message.h"

namespace vostrel::ui {

// The words between the slot table and the last end address a slot can name.
inline constexpr int kTransmissionAreaWords = image::kMaxEndWord - image::kFirstTransmissionWord;

// The parts of the line under the rows, in order.
std::vector<texts::Message> eepromUseLine(const image::RowLayout& layout, const image::PagerRows& rows);

enum class MarkedBox { CapCode, Message };

// The box that holds what Write refuses in a row.
MarkedBox markedBox(const texts::Message& refusal);

// What a row shows besides its texts: the reason Write would refuse it, else the
// text the pager gets when characters are replaced, else the row's own alphabet.
struct RowMark {
    enum class Kind { None, Refused, Replaced } kind = Kind::None;
    MarkedBox box = MarkedBox::Message;
    std::optional<texts::Message> text;  // the tooltip

    friend bool operator==(const RowMark&, const RowMark&) = default;
};

RowMark rowMark(const image::RowLayout& layout, const image::ProgrammerEntries& entries, unsigned row);

}  // namespace vostrel::ui
