// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Site lists come from spreadsheets in every dialect and from hand-edited files: the
// CSV reader must stay in bounds on any bytes, accept only rows the window's rules and
// Write's checks take, and what it accepts must be written and read back unchanged.
// The label-list reader gets the same bytes.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>

#include "config/label_list.h"
#include "config/row_fields.h"
#include "config/site_list.h"
#include "image/image_builder.h"
#include "image/pager_text.h"
#include "texts/text_codec.h"

using namespace vostrel;

namespace {

constexpr unsigned kToneD = 3;

bool keepsTheRules(const config::SiteList& list) {
    for (unsigned row = 0; row < image::kRowCount; ++row) {
        const image::PagerItem& item = list.rows[row];
        const bool alphanumeric = item.type == paging::PagerType::Alphanumeric;
        if (config::labelProblem(list.labels[row]) || item.capcode.size() > config::kMaxCapcodeDigits) return false;
        if ((item.tone == kToneD) != alphanumeric || item.tone >= image::kToneCount) return false;
        if (image::composedLength(item.message) > (alphanumeric ? 40U : 20U)) return false;
        if (item.tone != 0 && item.tone != kToneD && !item.message.empty()) return false;
        if (!list.alphabets[row] && (item != image::PagerItem{} || !list.labels[row].empty())) return false;
    }
    return true;
}

bool readsBackUnchanged(const config::SiteList& list) {
    image::ProgrammerEntries entries;
    config::applySiteList(entries, list);
    const auto again = config::readSiteList(config::writeSiteList(entries));
    const auto* back = std::get_if<config::SiteList>(&again);
    if (back == nullptr || back->rows != list.rows || back->labels != list.labels) return false;
    for (unsigned row = 0; row < image::kRowCount; ++row) {
        if (back->alphabets[row] && back->alphabets[row] != list.alphabets[row]) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto read = config::readSiteList(bytes);
    if (const auto* list = std::get_if<config::SiteList>(&read); list && (!keepsTheRules(*list) || !readsBackUnchanged(*list))) {
        __builtin_trap();
    }
    if (const auto labels = config::readLabelList(bytes); std::holds_alternative<config::LabelList>(labels)) {
        image::ProgrammerEntries entries;
        entries.rows[0] = {"8", 0, paging::PagerType::Numeric, ""};
        const auto filled = config::fillLabels(entries, std::get<config::LabelList>(labels));
        if (std::holds_alternative<std::vector<unsigned>>(filled) && config::labelProblem(entries.labels[0])) __builtin_trap();
    }
    return 0;
}
