// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/image_builder.h"
#include "image/image_reader.h"
#include "image/slot_table.h"
#include "image/transmitter_settings.h"

using namespace vostrel;
using namespace vostrel::image;
using paging::PagerType;

namespace {

const PagerItem kEmptyRow{};

EepromImage builtFrom(const ProgrammerEntries& entries) {
    const auto outcome = buildImage(entries);
    EXPECT_TRUE(std::holds_alternative<BuiltImage>(outcome));
    return std::holds_alternative<BuiltImage>(outcome) ? std::get<BuiltImage>(outcome).image : EepromImage{};
}

TEST(Reader, AllZeroImage) {
    const ImageContents contents = decodeImage(EepromImage{});
    EXPECT_EQ(contents.settings, (TransmitterSettings{0, 0, 0}));
    for (const auto& row : contents.rows) EXPECT_EQ(row, kEmptyRow);
    EXPECT_FALSE(contents.readErrorRow);
}

TEST(Reader, ErasedDevice) {
    EepromImage erased;
    erased.bytes.fill(0xFF);
    const ImageContents contents = decodeImage(erased);
    EXPECT_EQ(contents.settings, (TransmitterSettings{3, 1023, 3}));
    EXPECT_TRUE(contents.erased);
    EXPECT_FALSE(contents.readErrorRow) << "empty, not damaged";
    for (const auto& row : contents.rows) EXPECT_EQ(row, kEmptyRow);
    // One word written, and it is damaged again: slot 1 runs to word 255 and holds no
    // transmission.
    erased.setWord(0, 0x5640);
    EXPECT_FALSE(decodeImage(erased).erased);
    EXPECT_EQ(decodeImage(erased).readErrorRow, 1);
}

TEST(Reader, SettingsFromHeaderBytes) {
    EepromImage image;
    image.bytes[0] = 0x40;
    image.bytes[1] = 0x16;
    EXPECT_EQ(decodeImage(image).settings, (TransmitterSettings{1, 576, 1}));
    image.bytes[0] = 0xFF;
    image.bytes[1] = 0x2F;
    EXPECT_EQ(decodeImage(image).settings, (TransmitterSettings{2, 1023, 3}));
}

// Build then read, across every frame, both types, messages ending on codeword and batch
// boundaries, and rows placed after skipped rows (rows 2 and 9 in use).
TEST(Reader, RoundTripsBuiltImages) {
    const struct {
        PagerType type;
        unsigned tone;
        std::string message;
        std::string readBack;
    } kinds[] = {
        {PagerType::Numeric, 0, "12345678901234567890", "12345678901234567890"},
        {PagerType::Numeric, 0, "1-2", "1-2  "},
        {PagerType::Numeric, 1, "", ""},
        {PagerType::Numeric, 2, "", ""},
        {PagerType::Alphanumeric, 3, std::string(20, 'T'), std::string(20, 'T')},
        {PagerType::Alphanumeric, 3, "Exactly forty characters long, no less!!", "Exactly forty characters long, no less!!"},
        {PagerType::Alphanumeric, 3, "", ""},
    };
    for (const auto& kind : kinds) {
        for (std::uint32_t frame = 0; frame < 8; ++frame) {
            ProgrammerEntries entries;
            entries.preambleText = "600";
            entries.repeatIndex = 3;
            entries.dataRateIndex = 2;
            entries.rows[1] = {std::to_string(8 * 100 + frame), kind.tone, kind.type, kind.message};
            entries.rows[8] = {std::to_string(8 * 2000 + frame), kind.tone, kind.type, kind.message};
            const ImageContents contents = decodeImage(builtFrom(entries));
            EXPECT_FALSE(contents.readErrorRow);
            EXPECT_TRUE(contents.hiddenWordsMessages().empty());
            EXPECT_EQ(contents.settings, (TransmitterSettings{2, 600, 3}));
            for (unsigned row = 0; row < kRowCount; ++row) {
                PagerItem expected = entries.rows[row];
                if (!expected.capcode.empty()) expected.message = kind.readBack;
                EXPECT_EQ(contents.rows[row], expected)
                    << "row " << row + 1 << " frame " << frame << " message '" << kind.message << "'";
            }
        }
    }
}

// The image holds codes; the pager alphabet the rows are read with decides what they
// show. Numeric rows are not touched by it.
TEST(Reader, MessagesComeBackAsTheRowsPagersShowThem) {
    ProgrammerEntries entries;
    entries.text.alphabet = paging::Alphabet::DE;
    entries.rows[0] = {"8", 3, PagerType::Alphanumeric, "Grüße"};
    entries.rows[1] = {"16", 0, PagerType::Numeric, "[]"};
    entries.rows[2] = {"24", 3, PagerType::Alphanumeric, "{|}"};
    entries.text.rowAlphabets[2] = paging::Alphabet::US;
    const EepromImage image = builtFrom(entries);
    const struct {
        PagerTextSettings text;
        std::string rows[3];
    } cases[] = {
        {{}, {"Gr}~e", "[]   ", "{|}"}},
        {entries.text, {"Grüße", "[]   ", "{|}"}},
        {{paging::Alphabet::SE, {}, false}, {"Grå‾e", "[]   ", "äöå"}},
    };
    for (const auto& c : cases) {
        const ImageContents contents = decodeImage(image, c.text);
        for (unsigned row = 0; row < 3; ++row) EXPECT_EQ(contents.rows[row].message, c.rows[row]) << row;
        EXPECT_EQ(shownEntries(contents, c.text).text, c.text);
    }
}

TEST(Reader, BrokenSlotStopsReadingAtItsRow) {
    ProgrammerEntries entries;
    for (unsigned row = 0; row < 6; ++row) entries.rows[row] = {std::to_string(100 + row), 0, PagerType::Numeric, "1"};
    EepromImage image = builtFrom(entries);
    const SlotEntry fifth = loadSlot(image, 4);
    image.storeCodeword(fifth.start, paging::kIdleCodeword);
    const ImageContents contents = decodeImage(image);
    EXPECT_EQ(contents.readErrorRow, 5);
    for (unsigned row = 0; row < 4; ++row) EXPECT_EQ(contents.rows[row].capcode, std::to_string(100 + row));
    for (unsigned row = 4; row < kRowCount; ++row) EXPECT_EQ(contents.rows[row], kEmptyRow) << row;
}

TEST(Reader, DamagedSlotTableEntries) {
    ProgrammerEntries entries;
    entries.rows[0] = {"1234567", 3, PagerType::Alphanumeric, "HELLO"};
    EepromImage image = builtFrom(entries);
    storeSlot(image, 1, {0, 99});  // start 0: empty, whatever the end says
    storeSlot(image, 2, {17, 17});  // the same transmission with no room for a message
    storeSlot(image, 3, {17, 3});   // end below start
    const ImageContents contents = decodeImage(image);
    EXPECT_FALSE(contents.readErrorRow);
    EXPECT_EQ(contents.rows[0].message, "HELLO");
    EXPECT_EQ(contents.rows[1], kEmptyRow);
    for (unsigned row : {2U, 3U}) {
        EXPECT_EQ(contents.rows[row], (PagerItem{"1234567", 3, PagerType::Alphanumeric, ""})) << row;
    }
}

TEST(Reader, SlotsReachingPastTheImageEnd) {
    EepromImage image;
    storeSlot(image, 0, {253, 255});  // a whole sync codeword at 253; position 1 lies past the end
    image.storeCodeword(253, paging::kSyncCodeword);
    storeSlot(image, 1, {255, 255});  // half a codeword is never a sync codeword
    image.setWord(255, 0x7CD2);
    const ImageContents contents = decodeImage(image);
    EXPECT_EQ(contents.rows[0], (PagerItem{"0", 0, PagerType::Numeric, ""}));
    EXPECT_EQ(contents.readErrorRow, 2);
}

// A row whose slot holds more than the call it shows: a further address (its frame
// counted from the sync codeword before it, as a receiver counts), or other words; a
// damaged address codeword pages nobody.
TEST(Reader, RowsThatHoldMoreThanTheirCallSayWhat) {
    ProgrammerEntries entries;
    entries.rows[0] = {"8", 3, PagerType::Alphanumeric, "HI"};
    const EepromImage built = builtFrom(entries);
    const SlotEntry slot = loadSlot(built, 0);  // sync, address of 8, "HI", closing idle
    const auto hiddenAfterMessage = [&](const std::vector<paging::Codeword>& words) {
        EepromImage image = built;
        unsigned at = slot.start + 6;
        for (const paging::Codeword word : words) {
            image.storeCodeword(at, word);
            at += 2;
        }
        storeSlot(image, 0, {slot.start, static_cast<std::uint8_t>(at)});
        return decodeImage(image).hidden[0];
    };
    using paging::kIdleCodeword;
    using paging::kSyncCodeword;
    std::vector<paging::Codeword> secondBatch(14, kIdleCodeword);
    secondBatch.insert(secondBatch.end(), {kSyncCodeword, kIdleCodeword, kIdleCodeword,
                                           paging::addressCodeword(17, 2), kIdleCodeword});
    const struct {
        const char* what;
        std::vector<paging::Codeword> words;
        std::optional<HiddenWords> hidden;
    } cases[] = {
        {"as built", {kIdleCodeword}, std::nullopt},
        {"a further address in frame 1", {paging::addressCodeword(9, 0), kIdleCodeword}, HiddenWords{9}},
        {"frame 1 of the second batch", secondBatch, HiddenWords{17}},
        {"a message codeword its text does not show", {paging::messageCodeword(0), kIdleCodeword}, HiddenWords{}},
        {"one idle codeword more", {kIdleCodeword, kIdleCodeword}, HiddenWords{}},
        {"a damaged address", {paging::addressCodeword(9, 0) ^ 4, kIdleCodeword}, HiddenWords{}},
    };
    for (const auto& c : cases) EXPECT_EQ(hiddenAfterMessage(c.words), c.hidden) << c.what;

    ImageContents contents;
    contents.hidden[0] = HiddenWords{9};
    contents.hidden[11] = HiddenWords{};
    EXPECT_EQ(contents.hiddenWordsMessages(),
              (std::vector<texts::Message>{{texts::keys::kRowAlsoHoldsAddress, texts::Title::Warn, {1, 9}},
                                           {texts::keys::kRowHoldsMoreWords, texts::Title::Warn, {12}}}));
}

}  // namespace
