// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/workings/row_checks.h"

namespace vostrel::ui {

using texts::keys;
namespace {

texts::Message lineMessage(texts::TextKey key, std::vector<texts::MessageArgument> arguments) {
    return {key, texts::Title::Warn, std::move(arguments)};
}

}  // namespace

std::vector<texts::Message> eepromUseLine(const image::RowLayout& layout, const image::ProgrammerEntries& entries) {
    const int used = static_cast<int>(layout.usedWords - image::kFirstTransmissionWord);
    std::vector<texts::Message> line = {lineMessage(keys::kWordsUsed, {used, kTransmissionAreaWords})};
    if (!layout.fullAtRow) return line;
    // Empty rows after the full one lose nothing, so the range ends at the last row in use.
    const int first = *layout.fullAtRow;
    int last = first;
    std::string labels;
    for (int row = first; row < static_cast<int>(image::kRowCount); ++row) {
        const auto index = static_cast<std::size_t>(row);
        if (!image::callsAPager(entries.rows[index])) continue;
        last = row;
        if (entries.labels[index].empty()) continue;
        labels += (labels.empty() ? "" : ", ") + std::to_string(row + 1) + ' ' + entries.labels[index];
    }
    if (labels.empty()) {
        line.push_back(first == last ? lineMessage(keys::kRowWillNotFit, {first + 1})
                                     : lineMessage(keys::kRowsWillNotFit, {first + 1, last + 1}));
    } else {
        line.push_back(first == last ? lineMessage(keys::kRowWillNotFitNamed, {first + 1, texts::Text{labels}})
                                     : lineMessage(keys::kRowsWillNotFitNamed, {first + 1, last + 1, texts::Text{labels}}));
    }
    return line;
}

std::vector<texts::Message> siteAdviceLines(const std::vector<image::Advice>& advice) {
    std::vector<texts::Message> lines;
    for (const image::Advice& each : advice) {
        if (image::adviceRow(each)) continue;  // in the row's mark
        const auto worded = image::adviceMessages(each);
        lines.insert(lines.end(), worded.begin(), worded.end());
    }
    if (!advice.empty()) lines.push_back(image::settingsDoNotChangeFit());
    return lines;
}

MarkedBox markedBox(const texts::Message& refusal) {
    return refusal.key == texts::keys::kCapCodeOutOfRange ? MarkedBox::CapCode : MarkedBox::Message;
}

RowMark rowMark(const image::RowLayout& layout, const image::ProgrammerEntries& entries,
                const image::SiteCapacity& capacity, const std::vector<image::Advice>& advice, unsigned row) {
    if (const auto& refusal = layout.refusals[row]) {
        return {RowMark::Kind::Refused, markedBox(refusal->message), {refusal->message}};
    }
    if (auto why = image::leftOutRowMessages(capacity, advice, row); !why.empty()) {
        return {RowMark::Kind::LeftOut, MarkedBox::Both, std::move(why)};
    }
    const image::PagerItem& item = entries.rows[row];
    const paging::Alphabet alphabet = entries.text.alphabetOf(row);
    const image::PagerCodes& sent = layout.sent[row];
    if (!sent.replacements.empty() && layout.codewords[row] != 0) {
        const std::string shown = image::shownText(sent.codes, item.type, alphabet);
        return {RowMark::Kind::Replaced, MarkedBox::Message, {lineMessage(keys::kSentAs, {texts::Text{shown}})}};
    }
    if (entries.text.rowAlphabets[row]) {
        const std::string name(paging::alphabetTable(alphabet).name);
        return {RowMark::Kind::None, MarkedBox::Message, {lineMessage(keys::kRowAlphabet, {texts::Text{name}})}};
    }
    return {};
}

}  // namespace vostrel::ui
