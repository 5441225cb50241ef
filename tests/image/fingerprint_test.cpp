// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The contents fingerprint covers what a Read looks at (the header, the slot table and
// the words of each stored row) and nothing else.

#include <gtest/gtest.h>

#include <functional>
#include <string_view>

#include "image/fingerprint.h"
#include "image/image_builder.h"
#include "image/slot_table.h"

namespace vostrel::image {
namespace {

TEST(ContentsFingerprint, IsTheCrc32OfZlibAndPng) {
    constexpr std::string_view check = "123456789";  // the CRC catalogue's check input
    EXPECT_EQ(crc32({reinterpret_cast<const std::uint8_t*>(check.data()), check.size()}), 0xCBF43926U);
    EXPECT_EQ(crc32({}), 0U);
    EXPECT_EQ(fingerprintText(0x0A1B2C3D), "0A1B2C3D");
}

TEST(ContentsFingerprint, CoversTheSettingsTheTableAndTheStoredRowsOnly) {
    ProgrammerEntries entries;
    entries.rows[1] = {"1234567", 0, paging::PagerType::Numeric, "0123456789"};
    entries.rows[4] = {"8", 3, paging::PagerType::Alphanumeric, "Call the office"};
    const BuiltImage built = std::get<BuiltImage>(buildImage(entries));
    const SlotEntry lastRow = loadSlot(built.image, 4);
    const struct {
        const char* change;
        std::function<void(EepromImage&)> apply;
        bool counts;
    } cases[] = {
        {"every word after the stored rows erased",
         [&](EepromImage& image) { for (unsigned w = built.usedWords; w < kImageWords; ++w) image.setWord(w, 0xFFFF); },
         false},
        {"the last word", [](EepromImage& image) { image.setWord(kImageWords - 1, 0x1234); }, false},
        {"the header's unused bit 15", [](EepromImage& image) { image.bytes[1] ^= 0x80; }, true},
        {"an unused row's end byte", [](EepromImage& image) { image.bytes[3] = 1; }, true},
        {"the last word of the last row", [&](EepromImage& image) { image.bytes[2 * lastRow.end - 1] ^= 1; }, true},
        {"a word of the first row", [](EepromImage& image) { image.bytes[2 * kFirstTransmissionWord + 5] ^= 1; }, true},
    };
    const std::uint32_t original = contentsFingerprint(built.image);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        EepromImage changed = built.image;
        c.apply(changed);
        EXPECT_EQ(contentsFingerprint(changed) != original, c.counts);
    }
}

// A damaged table's slot that ends before it starts stores nothing.
TEST(ContentsFingerprint, ASlotEndingBeforeItStartsCountsItsTableBytesOnly) {
    EepromImage image;
    storeSlot(image, 0, {200, 100});
    const std::uint32_t backwards = contentsFingerprint(image);
    image.setWord(150, 0xBEEF);
    EXPECT_EQ(contentsFingerprint(image), backwards);
}

}  // namespace
}  // namespace vostrel::image
