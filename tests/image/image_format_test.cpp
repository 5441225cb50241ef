// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include <gtest/gtest.h>

#include "image/eeprom_image.h"
#include "image/slot_table.h"
#include "image/transmitter_settings.h"

using namespace vostrel::image;

namespace {

TEST(HeaderWord, PacksAndUnpacksSettings) {
    const struct {
        TransmitterSettings settings;
        std::uint8_t byte0, byte1;
    } cases[] = {{{1, 576, 1}, 0x40, 0x16}, {{2, 1023, 3}, 0xFF, 0x2F}, {{0, 0, 0}, 0x00, 0x00},
                 {{3, 1023, 3}, 0xFF, 0x3F}};
    for (const auto& c : cases) {
        EepromImage image;
        storeHeader(image, c.settings);
        EXPECT_EQ(image.bytes[0], c.byte0);
        EXPECT_EQ(image.bytes[1], c.byte1);
        EXPECT_EQ(loadHeader(image), c.settings);
    }
}

TEST(HeaderWord, IgnoresTopTwoBitsWhenLoading) {
    EepromImage image;
    image.bytes[0] = 0x40;
    image.bytes[1] = 0xD6;
    EXPECT_EQ(loadHeader(image), (TransmitterSettings{1, 576, 1}));
}

TEST(StoredCodeword, HighHalfFirstEachHalfLittleEndian) {
    EepromImage image;
    image.storeCodeword(17, 0x7CD215D8);
    image.storeCodeword(19, 0x7A89C197);
    const std::uint8_t expected[] = {0xD2, 0x7C, 0xD8, 0x15, 0x89, 0x7A, 0x97, 0xC1};
    for (std::size_t i = 0; i < sizeof expected; ++i) EXPECT_EQ(image.bytes[34 + i], expected[i]) << i;
    EXPECT_EQ(image.loadCodeword(17), 0x7CD215D8U);
    EXPECT_EQ(image.loadCodeword(19), 0x7A89C197U);
}

TEST(StoredCodeword, PositionsNotWhollyInsideReadAsZero) {
    EepromImage image;
    image.bytes.fill(0xFF);
    EXPECT_EQ(image.loadCodeword(254), 0xFFFFFFFFU);
    EXPECT_EQ(image.loadCodeword(255), 0U);
    EXPECT_EQ(image.loadCodeword(300), 0U);
}

TEST(SlotTable, EntriesAndCounts) {
    EepromImage image;
    storeSlot(image, 0, {17, 25});
    storeSlot(image, 15, {40, 30});
    EXPECT_EQ(image.bytes[2], 17);
    EXPECT_EQ(image.bytes[3], 25);
    EXPECT_EQ(loadSlot(image, 0).codewordCount(), 4);
    EXPECT_EQ(loadSlot(image, 15).codewordCount(), -5);
    EXPECT_FALSE(loadSlot(image, 3).inUse());
    EXPECT_EQ(usedWordCount(image), 30U);
    EXPECT_EQ(usedWordCount(EepromImage{}), 17U);
}

}  // namespace
