// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// What a Write changes on the transmitter, for each kind of change a user makes.

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "image/image_builder.h"
#include "image/image_changes.h"
#include "image/slot_table.h"

namespace vostrel::image {
namespace {

using paging::PagerType;

ProgrammerEntries heldEntries() {
    ProgrammerEntries entries;
    entries.rows[0] = {"1234", 0, PagerType::Numeric, "0123456789"};
    entries.rows[1] = {"8", 3, PagerType::Alphanumeric, "Call the office"};
    entries.rows[2] = {"77", 1, PagerType::Numeric, ""};
    return entries;
}

BuiltImage built(const ProgrammerEntries& entries) { return std::get<BuiltImage>(buildImage(entries)); }

TEST(ImageChanges, EachKindOfChange) {
    EepromImage erased;
    erased.bytes.fill(0xFF);
    EepromImage damaged = built(heldEntries()).image;
    storeSlot(damaged, 1, {1, 9});  // row 2 points into the slot table
    const struct {
        const char* what;
        std::function<void(ProgrammerEntries&)> edit;
        std::map<unsigned, RowChange> rows;  // 0-based; every other row stays as it was
        bool settingsChange;
        bool overwritesCalls;
        const EepromImage* held = nullptr;  // the built held entries when unset
    } cases[] = {
        {"nothing", [](ProgrammerEntries&) {}, {}, false, false},
        {"row changed", [](ProgrammerEntries& e) { e.rows[1].message = "Call home"; }, {{1, RowChange::Changed}}, false, true},
        {"tone only", [](ProgrammerEntries& e) { e.rows[2].tone = 2; }, {{2, RowChange::Changed}}, false, true},
        {"row cleared", [](ProgrammerEntries& e) { e.rows[0] = {}; }, {{0, RowChange::Cleared}}, false, true},
        {"row added", [](ProgrammerEntries& e) { e.rows[9] = {"555", 0, PagerType::Numeric, "1"}; },
         {{9, RowChange::Added}}, false, false},
        {"settings only", [](ProgrammerEntries& e) { e.preambleText = "600"; }, {}, true, false},
        {"erased transmitter", [](ProgrammerEntries&) {},
         {{0, RowChange::Added}, {1, RowChange::Added}, {2, RowChange::Added}}, true, false, &erased},
        {"damaged at row 2", [](ProgrammerEntries& e) { e.rows[0] = {}; },
         {{0, RowChange::Cleared}, {1, RowChange::Added}, {2, RowChange::Added}}, false, false, &damaged},
    };
    const BuiltImage held = built(heldEntries());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProgrammerEntries entries = heldEntries();
        c.edit(entries);
        const BuiltImage toWrite = built(entries);
        const ImageChanges changes = compareImages(c.held ? *c.held : held.image, toWrite.image, toWrite.usedWords);
        for (unsigned row = 0; row < kRowCount; ++row) {
            const bool heldRow = row < 3;
            const RowChange expected =
                c.rows.contains(row) ? c.rows.at(row) : (heldRow ? RowChange::Unchanged : RowChange::Empty);
            EXPECT_EQ(changes.rows[row].change, expected) << "row " << row + 1;
        }
        EXPECT_EQ(changes.settingsChange(), c.settingsChange);
        EXPECT_EQ(changes.overwritesCalls(), c.overwritesCalls);
        EXPECT_EQ(changes.heldReadable, c.held != &damaged) << "an erased transmitter holds no calls, readably";
    }
}

TEST(ImageChanges, RowsCarryTheCallsAsReadBack) {
    ProgrammerEntries entries = heldEntries();
    entries.rows[0].message = "555";
    const BuiltImage toWrite = built(entries);
    const ImageChanges changes = compareImages(built(heldEntries()).image, toWrite.image, toWrite.usedWords);
    EXPECT_EQ(changes.rows[0].held, (PagerItem{"1234", 0, PagerType::Numeric, "0123456789"}));
    // Numeric texts come back padded to whole groups of five.
    EXPECT_EQ(changes.rows[0].written, (PagerItem{"1234", 0, PagerType::Numeric, "555  "}));
    EXPECT_EQ(changes.heldSettings, changes.writtenSettings);
}

}  // namespace
}  // namespace vostrel::image
