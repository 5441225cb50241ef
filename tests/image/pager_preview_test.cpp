// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// What the pagers show is checked against an independent decoder in
// tests/cli/preview_oracle_test.py; here: that the window's preview while typing is
// what the image a Write stores shows, and the names of control codes.
#include <gtest/gtest.h>

#include <string>

#include "image/image_builder.h"
#include "image/pager_preview.h"

using namespace vostrel;
using namespace vostrel::image;
using namespace std::string_literals;
using paging::PagerType;

namespace {

TEST(PagerPreview, NamesControlCodes) {
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"Ring\a!", "Ring<BEL>!"},
        {"\x1B[2J", "<ESC>[2J"},  // a terminal's clear-screen, harmless once named
        {"\0\x1F\x7F"s, "<NUL><US><DEL>"},
        {"Grüße <ok>", "Grüße <ok>"},  // UTF-8 bytes and brackets stay as they are
    };
    for (const auto& c : cases) EXPECT_EQ(withControlNames(c.text), c.shown) << c.shown;
}

// Rows the window previews while the user types show what the stored image shows,
// and what they show tells what the encoding did.
TEST(PagerPreview, PlannedRowsShowWhatTheStoredImageShows) {
    ProgrammerEntries entries;
    entries.text.alphabet = paging::Alphabet::DE;
    entries.text.rowAlphabets[4] = paging::Alphabet::US;
    entries.text.transliterate = true;
    entries.rows[0] = {"8000", 0, PagerType::Numeric, "123"};
    entries.rows[2] = {"1234567", 3, PagerType::Alphanumeric, "Grüße aus Köln"};
    entries.rows[3] = {"77", 1, PagerType::Numeric, ""};
    entries.rows[4] = {"16", 3, PagerType::Alphanumeric, "Grüße\a"};
    // 64 sharp s on a US row are sent as 128 codes, one short of what a Read gives back.
    std::string sharpS;
    for (int i = 0; i < 64; ++i) sharpS += "ß";
    entries.text.rowAlphabets[6] = paging::Alphabet::US;
    entries.rows[6] = {"8", 3, PagerType::Alphanumeric, sharpS};

    const PagerDisplays planned = plannedDisplays(entries, layOutRows(entries));
    const auto outcome = buildImage(entries);
    ASSERT_TRUE(std::holds_alternative<BuiltImage>(outcome));
    EXPECT_EQ(planned, storedDisplays(std::get<BuiltImage>(outcome).image, entries.text));

    PagerDisplays expected;
    expected[0] = "123  ";
    expected[2] = "Grüße aus Köln";
    expected[3] = "";
    expected[4] = "Gruesse<BEL>";
    expected[6] = std::string(128, 's');
    EXPECT_EQ(planned, expected);
}

// A refused row shows nothing while the others still show theirs, and the rows after
// the one that does not fit show nothing, as Write stores none of them.
TEST(PagerPreview, OnlyRowsAWriteStoresShow) {
    ProgrammerEntries entries;
    entries.rows[0] = {"8", 3, PagerType::Alphanumeric, "Grüße"};  // ü is no US character
    entries.rows[1] = {"16", 3, PagerType::Alphanumeric, "Hello"};
    const std::string forty(40, 'W');
    for (unsigned row = 2; row < kRowCount; ++row) entries.rows[row] = {"7", 3, PagerType::Alphanumeric, forty};

    const RowLayout layout = layOutRows(entries);
    ASSERT_TRUE(layout.fullAtRow);
    const PagerDisplays planned = plannedDisplays(entries, layout);
    EXPECT_FALSE(planned[0]);
    EXPECT_EQ(planned[1], "Hello");
    for (unsigned row = 2; row < kRowCount; ++row) {
        EXPECT_EQ(planned[row].has_value(), row < static_cast<unsigned>(*layout.fullAtRow)) << row;
    }
}

TEST(PagerPreview, StoredRowsEndAtAnUnreadableSlot) {
    ProgrammerEntries entries;
    entries.rows[0] = {"8", 3, PagerType::Alphanumeric, "first"};
    entries.rows[1] = {"16", 3, PagerType::Alphanumeric, "second"};
    auto built = std::get<BuiltImage>(buildImage(entries));
    built.image.storeCodeword(built.image.bytes[4], 0);  // row 2's sync codeword

    PagerDisplays expected;
    expected[0] = "first";
    EXPECT_EQ(storedDisplays(built.image, {}), expected);
}

}  // namespace
