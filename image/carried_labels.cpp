// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "image/carried_labels.h"

#include <array>
#include <string>

namespace vostrel::image {
namespace {

bool samePager(const PagerItem& a, const PagerItem& b) {
    return callsAPager(a) && a.tone == b.tone && leadingInteger(a.capcode) == leadingInteger(b.capcode);
}

// How a label is named in the note: in quotes, with the pager it belonged to.
std::string leftLabelText(const std::string& label, const PagerItem& item) {
    std::string text = '"' + label + '"';
    if (callsAPager(item)) {
        text += " (" + std::to_string(leadingInteger(item.capcode)) + ' ' + static_cast<char>('A' + item.tone) + ')';
    }
    return text;
}

}  // namespace

std::optional<texts::Message> carryLabelsAndSite(const ProgrammerEntries& window, ProgrammerEntries& read) {
    read.site = window.site;
    std::array<bool, kRowCount> carried{};  // of the window's rows: its label has a row
    std::array<bool, kRowCount> labelled{};  // of the rows read: a label of the window is on it
    const auto carry = [&](unsigned from, unsigned to) {
        read.labels[to] = window.labels[from];
        carried[from] = labelled[to] = true;
    };
    for (unsigned row = 0; row < kRowCount; ++row) {
        read.labels[row].clear();
        const bool stays = samePager(window.rows[row], read.rows[row]) ||
                           (!callsAPager(window.rows[row]) && !callsAPager(read.rows[row]));
        if (stays) carry(row, row);
    }
    for (unsigned row = 0; row < kRowCount; ++row) {
        if (labelled[row] || !callsAPager(read.rows[row])) continue;
        for (unsigned from = 0; from < kRowCount; ++from) {
            if (!carried[from] && !window.labels[from].empty() && samePager(window.rows[from], read.rows[row])) {
                carry(from, row);
                break;
            }
        }
    }
    std::string left;
    for (unsigned row = 0; row < kRowCount; ++row) {
        if (carried[row] || window.labels[row].empty()) continue;
        if (!left.empty()) left += ", ";
        left += leftLabelText(window.labels[row], window.rows[row]);
    }
    if (left.empty()) return std::nullopt;
    return texts::Message{texts::keys::kLabelsWithoutRow, texts::Title::Warn, {texts::Text{left}}};
}

}  // namespace vostrel::image
