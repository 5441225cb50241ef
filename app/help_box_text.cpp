// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "app/help_box_text.h"

#include <algorithm>
#include <vector>

namespace vostrel::app {
namespace {

std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

bool isIndented(std::string_view line) { return line.starts_with(' '); }

// "  --help       print this help" as "--help<tab>print this help".
std::string columnLine(std::string_view line) {
    line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
    const std::size_t gap = line.find("  ");
    if (gap == std::string_view::npos) return std::string(line);
    const std::size_t text = line.find_first_not_of(' ', gap);
    std::string shown(line.substr(0, gap));
    shown += '\t';
    if (text != std::string_view::npos) shown += line.substr(text);
    return shown;
}

}  // namespace

std::string helpForBox(std::string_view text) {
    std::string box;
    bool inParagraph = false;  // the line before was a paragraph's, which this one may go on
    for (const std::string_view line : linesOf(text)) {
        const bool goesOn = inParagraph && !line.empty() && !isIndented(line);
        if (!box.empty()) box += goesOn ? ' ' : '\n';
        box += isIndented(line) ? columnLine(line) : std::string(line);
        inParagraph = !line.empty() && !isIndented(line);
    }
    return box;
}

}  // namespace vostrel::app
