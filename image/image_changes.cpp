// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "image/image_changes.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "image/image_reader.h"

namespace vostrel::image {
namespace {

bool inUse(const PagerItem& item) { return item != PagerItem{}; }

RowChange changeOf(const PagerItem& held, const PagerItem& written) {
    if (!inUse(held)) return inUse(written) ? RowChange::Added : RowChange::Empty;
    if (!inUse(written)) return RowChange::Cleared;
    return held == written ? RowChange::Unchanged : RowChange::Changed;
}

constexpr std::string_view kArrow = " \u2192 ";

using texts::keys;

std::string plainText(const TextLookup& lookUp, texts::TextKey key) { return lookUp({key, texts::Title::Warn, {}}); }

// A call as one line: capcode, tone letter, pager type and the message in quotes.
std::string callText(const PagerItem& item, const TextLookup& lookUp) {
    std::string message;
    for (const char character : item.message) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            message += escaped;
        } else {
            message += character;
        }
    }
    const texts::TextKey type = item.type == paging::PagerType::Alphanumeric ? keys::kAlphnumeric : keys::kNumeric;
    return item.capcode + ' ' + static_cast<char>('A' + item.tone) + ' ' + plainText(lookUp, type) + " \"" + message +
           '"';
}

// The heading of a row that has a line; an empty row has none.
texts::TextKey rowKey(RowChange change) {
    switch (change) {
        case RowChange::Unchanged: return keys::kRowUnchanged;
        case RowChange::Changed: return keys::kRowChanged;
        case RowChange::Added: return keys::kRowNew;
        case RowChange::Cleared:
        case RowChange::Empty: break;
    }
    return keys::kRowCleared;
}

std::string rowLine(unsigned row, const RowDifference& difference, const TextLookup& lookUp) {
    const std::string heading =
        lookUp({rowKey(difference.change), texts::Title::Warn, {static_cast<int>(row + 1)}}) + ' ';
    switch (difference.change) {
        case RowChange::Changed:
            return heading + callText(difference.held, lookUp) + std::string(kArrow) +
                   callText(difference.written, lookUp);
        case RowChange::Added: return heading + callText(difference.written, lookUp);
        default: return heading + callText(difference.held, lookUp);
    }
}

bool listed(RowChange change, ChangeListing listing) {
    if (change == RowChange::Empty) return false;
    return (change == RowChange::Unchanged) == (listing == ChangeListing::Unchanged);
}

std::string rateText(unsigned index) {
    return index < kDataRates.size() ? std::to_string(kDataRates[index]) : std::string("-");
}

void addSettingLine(std::vector<std::string>& lines, const TextLookup& lookUp, texts::TextKey heading,
                    texts::TextKey unit, const std::string& held, const std::string& written) {
    if (held == written) return;
    lines.push_back(plainText(lookUp, heading) + ": " + held + std::string(kArrow) + written + ' ' +
                    plainText(lookUp, unit));
}

}  // namespace

std::vector<std::string> changeLines(const ImageChanges& changes, ChangeListing listing, const TextLookup& lookUp) {
    std::vector<std::string> lines;
    for (unsigned row = 0; row < kRowCount; ++row) {
        if (listed(changes.rows[row].change, listing)) lines.push_back(rowLine(row, changes.rows[row], lookUp));
    }
    if (listing == ChangeListing::Unchanged) return lines;
    const TransmitterSettings& held = changes.heldSettings;
    const TransmitterSettings& written = changes.writtenSettings;
    addSettingLine(lines, lookUp, keys::kDataRateHeading, keys::kBitRateUnit, rateText(held.dataRateIndex),
                   rateText(written.dataRateIndex));
    addSettingLine(lines, lookUp, keys::kPreambleHeading, keys::kBitsUnit, std::to_string(held.preambleBits),
                   std::to_string(written.preambleBits));
    addSettingLine(lines, lookUp, keys::kRepeaterHeading, keys::kTimesUnit, std::to_string(held.repeatIndex + 1),
                   std::to_string(written.repeatIndex + 1));
    return lines;
}

bool ImageChanges::overwritesCalls() const {
    return heldReadable && std::ranges::any_of(rows, [](const RowDifference& row) {
               return row.change == RowChange::Changed || row.change == RowChange::Cleared;
           });
}

ImageChanges compareImages(const EepromImage& held, const EepromImage& toWrite, unsigned wordCount,
                           const PagerTextSettings& text) {
    // Compared as read back, so that what the decoder gives back differently (a numeric
    // text padded to whole groups of five) counts as unchanged.
    EepromImage after = held;
    std::copy_n(toWrite.bytes.begin(), 2 * std::min(wordCount, kImageWords), after.bytes.begin());
    const ImageContents before = decodeImage(held, text);
    const ImageContents written = decodeImage(after, text);
    ImageChanges changes;
    changes.heldReadable = !before.readErrorRow;
    changes.heldSettings = before.settings;
    changes.writtenSettings = written.settings;
    for (unsigned row = 0; row < kRowCount; ++row) {
        changes.rows[row] = {changeOf(before.rows[row], written.rows[row]), before.rows[row], written.rows[row]};
    }
    return changes;
}

}  // namespace vostrel::image
