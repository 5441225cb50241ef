// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "image/image_changes.h"

#include <algorithm>

#include "image/image_reader.h"

namespace vostrel::image {
namespace {

bool inUse(const PagerItem& item) { return item != PagerItem{}; }

RowChange changeOf(const PagerItem& held, const PagerItem& written) {
    if (!inUse(held)) return inUse(written) ? RowChange::Added : RowChange::Empty;
    if (!inUse(written)) return RowChange::Cleared;
    return held == written ? RowChange::Unchanged : RowChange::Changed;
}

}  // namespace

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
