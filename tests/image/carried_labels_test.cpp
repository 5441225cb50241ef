// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The labels a Read or an opened image keeps: each with the row that calls its pager.

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "image/carried_labels.h"
#include "texts/message_format.h"

namespace vostrel::image {
namespace {

using paging::PagerType;

// Rows 1-4 call pagers and are labelled; row 5 has a label and no pager.
ProgrammerEntries windowEntries() {
    ProgrammerEntries entries;
    entries.rows[0] = {"1234", 0, PagerType::Numeric, "1"};
    entries.rows[1] = {"0200208", 3, PagerType::Alphanumeric, "Nacht"};
    entries.rows[2] = {"77", 1, PagerType::Numeric, ""};
    entries.rows[3] = {"77", 1, PagerType::Numeric, ""};
    entries.labels = {"Tür", "Nachtdienst", "Klingel 1", "Klingel 2", "Reserve"};
    entries.site = "Haus am See";
    return entries;
}

TEST(CarriedLabels, EachLabelStaysWithTheRowCallingItsPager) {
    const struct {
        const char* what;
        std::function<void(ProgrammerEntries&)> read;  // what the Read gives, from the window's rows
        std::map<unsigned, std::string> labels;         // 0-based; every other row unlabelled
        std::string note;                               // empty: none
    } cases[] = {
        {"the same rows", [](ProgrammerEntries&) {},
         {{0, "Tür"}, {1, "Nachtdienst"}, {2, "Klingel 1"}, {3, "Klingel 2"}, {4, "Reserve"}}, ""},
        {"capcodes compare as numbers, messages do not count",
         [](ProgrammerEntries& r) {
             r.rows[1].capcode = "200208";
             r.rows[0].message = "1    ";
         },
         {{0, "Tür"}, {1, "Nachtdienst"}, {2, "Klingel 1"}, {3, "Klingel 2"}, {4, "Reserve"}}, ""},
        {"a pager moved to another row",
         [](ProgrammerEntries& r) {
             r.rows[9] = r.rows[0];
             r.rows[0] = {};
         },
         {{9, "Tür"}, {0, ""}, {1, "Nachtdienst"}, {2, "Klingel 1"}, {3, "Klingel 2"}, {4, "Reserve"}}, ""},
        {"another tone is another pager",
         [](ProgrammerEntries& r) { r.rows[0].tone = 1; },
         {{1, "Nachtdienst"}, {2, "Klingel 1"}, {3, "Klingel 2"}, {4, "Reserve"}}, "\"Tür\" (1234 A)"},
        {"two rows of one pager: each keeps its own, a third gets none",
         [](ProgrammerEntries& r) { r.rows[5] = r.rows[2]; },
         {{0, "Tür"}, {1, "Nachtdienst"}, {2, "Klingel 1"}, {3, "Klingel 2"}, {4, "Reserve"}}, ""},
        {"of two rows of one pager, the one left goes to the first free row",
         [](ProgrammerEntries& r) {
             r.rows[2] = {};
             r.rows[3] = {};
             r.rows[7] = {"77", 1, PagerType::Numeric, ""};
         },
         {{0, "Tür"}, {1, "Nachtdienst"}, {4, "Reserve"}, {7, "Klingel 1"}}, "\"Klingel 2\" (77 B)"},
        {"a label without a pager gives way to one",
         [](ProgrammerEntries& r) { r.rows[4] = {"9", 0, PagerType::Numeric, "2"}; },
         {{0, "Tür"}, {1, "Nachtdienst"}, {2, "Klingel 1"}, {3, "Klingel 2"}}, "\"Reserve\""},
        {"an empty transmitter",
         [](ProgrammerEntries& r) { r.rows = {}; },
         {{4, "Reserve"}},
         "\"Tür\" (1234 A), \"Nachtdienst\" (200208 D), \"Klingel 1\" (77 B), \"Klingel 2\" (77 B)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProgrammerEntries read = windowEntries();
        read.labels = {};
        read.site.clear();
        c.read(read);
        const auto note = carryLabelsAndSite(windowEntries(), read);
        RowLabels expected;
        for (const auto& [row, label] : c.labels) expected[row] = label;
        EXPECT_EQ(read.labels, expected);
        EXPECT_EQ(read.site, "Haus am See");
        if (c.note.empty()) {
            EXPECT_FALSE(note.has_value());
        } else {
            ASSERT_TRUE(note.has_value());
            EXPECT_EQ(texts::formatMessage(*note),
                      "No row calls the pager of these labels any more, so they were left out (Ctrl+Z brings them "
                      "back): " + c.note);
        }
    }
}

}  // namespace
}  // namespace vostrel::image
