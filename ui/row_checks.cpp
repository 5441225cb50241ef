// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/row_checks.h"

namespace vostrel::ui {
namespace {

bool inUse(const image::PagerItem& row) { return image::leadingInteger(row.capcode) != 0; }

texts::Message lineMessage(std::string_view key, std::vector<texts::MessageArgument> arguments) {
    return {key, texts::Title::Warn, std::move(arguments)};
}

}  // namespace

std::vector<texts::Message> eepromUseLine(const image::RowLayout& layout, const image::PagerRows& rows) {
    const int used = static_cast<int>(layout.usedWords - image::kFirstTransmissionWord);
    std::vector<texts::Message> line = {lineMessage(keys::kWordsUsed, {used, kTransmissionAreaWords})};
    if (!layout.fullAtRow) return line;
    // Empty rows after the full one lose nothing, so the range ends at the last row in use.
    const int first = *layout.fullAtRow;
    int last = first;
    for (int row = first + 1; row < static_cast<int>(rows.size()); ++row) {
        if (inUse(rows[static_cast<std::size_t>(row)])) last = row;
    }
    line.push_back(first == last ? lineMessage(keys::kRowWillNotFit, {first + 1})
                                 : lineMessage(keys::kRowsWillNotFit, {first + 1, last + 1}));
    return line;
}

MarkedBox markedBox(const texts::Message& refusal) {
    return refusal.key == texts::keys::kCapCodeOutOfRange ? MarkedBox::CapCode : MarkedBox::Message;
}

}  // namespace vostrel::ui
