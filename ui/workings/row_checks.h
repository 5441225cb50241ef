// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The live check of the rows while the user types: how much of the EEPROM they take,
// which rows will not fit, and where each refused row or row left out is marked. It is
// worked out by the builder's own walk over the rows (image/capacity.h), so it agrees
// with what Write does.

#include <optional>
#include <vector>

#include "image/capacity.h"
#include "image/image_builder.h"
#include "texts/message.h"

namespace vostrel::ui {

// The words between the slot table and the last end address a slot can name.
inline constexpr int kTransmissionAreaWords = image::kMaxEndWord - image::kFirstTransmissionWord;

// The parts of the line under the rows, in order: the words used, then the rows that
// will not fit with the labels of those that have one.
std::vector<texts::Message> eepromUseLine(const image::RowLayout& layout, const image::ProgrammerEntries& entries);

// What the site could do when not all its rows fit (the rows' own advice is in their
// marks), and that the settings do not change it: the lines of the EEPROM line's tooltip.
std::vector<texts::Message> siteAdviceLines(const std::vector<image::Advice>& advice);

// Both: a row left out, whose capcode's frame and message both decide what it takes.
enum class MarkedBox { CapCode, Message, Both };

// The box that holds what Write refuses in a row.
MarkedBox markedBox(const texts::Message& refusal);

// What a row shows besides its texts: the reason Write would refuse it, else why Write
// leaves it out and what would make it fit, else the text the pager gets when characters are replaced, else the row's own
// alphabet.
struct RowMark {
    enum class Kind { None, Refused, LeftOut, Replaced } kind = Kind::None;
    MarkedBox box = MarkedBox::Message;
    std::vector<texts::Message> text;  // the tooltip's lines

    friend bool operator==(const RowMark&, const RowMark&) = default;
};

RowMark rowMark(const image::RowLayout& layout, const image::ProgrammerEntries& entries,
                const image::SiteCapacity& capacity, const std::vector<image::Advice>& advice, unsigned row);

}  // namespace vostrel::ui
