// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/image_builder.h"
#include "image/slot_table.h"
#include "paging/transmission.h"
#include "paging/transmission_decoder.h"
#include "texts/message_format.h"

using namespace vostrel;
using namespace vostrel::image;
using paging::PagerType;

namespace {

PagerItem numeric(std::string capcode, std::string message, unsigned tone = 0) {
    return {std::move(capcode), tone, PagerType::Numeric, std::move(message)};
}
PagerItem alpha(std::string capcode, std::string message) {
    return {std::move(capcode), 3, PagerType::Alphanumeric, std::move(message)};
}

BuiltImage built(const ProgrammerEntries& entries) {
    auto outcome = buildImage(entries);
    if (auto* refusal = std::get_if<BuildRefusal>(&outcome)) {
        ADD_FAILURE() << "refused: " << texts::formatMessage(refusal->message);
        return {};
    }
    return std::get<BuiltImage>(outcome);
}

std::string refusalText(const ProgrammerEntries& entries) {
    const auto outcome = buildImage(entries);
    const auto* refusal = std::get_if<BuildRefusal>(&outcome);
    return refusal ? texts::formatMessage(refusal->message) : "(built)";
}

TEST(Builder, PreambleRange) {
    const struct {
        const char* text;
        bool accepted;
    } cases[] = {{"576", true}, {"1023", true}, {" 700", true}, {"800x", true}, {"575", false},
                 {"1024", false}, {"    ", false}, {"-1", false}, {"", false}, {"99999999999999999999", false}};
    for (const auto& c : cases) {
        ProgrammerEntries entries;
        entries.preambleText = c.text;
        EXPECT_EQ(std::holds_alternative<BuiltImage>(buildImage(entries)), c.accepted) << "'" << c.text << "'";
        if (!c.accepted) {
            EXPECT_EQ(refusalText(entries), "Preamble value out of range");
        }
    }
}

TEST(Builder, EmptyWindowGivesHeaderAndZeroSlotTable) {
    ProgrammerEntries entries;
    entries.preambleText = "576";
    const BuiltImage image = built(entries);
    EXPECT_EQ(image.usedWords, 17U);
    EXPECT_FALSE(image.fullAtRow);
    EXPECT_EQ(image.image.bytes[0], 0x40);
    EXPECT_EQ(image.image.bytes[1], 0x16);
    for (std::size_t i = 2; i < 512; ++i) ASSERT_EQ(image.image.bytes[i], 0) << i;
}

TEST(Builder, DataRateWithoutSelectionIsRefused) {
    for (const int index : {-1, 3}) {
        ProgrammerEntries entries;
        entries.dataRateIndex = index;
        EXPECT_EQ(refusalText(entries), "Data rate not selected");
    }
}

TEST(Builder, UnusedRowsAreSkippedEvenWithMessages) {
    ProgrammerEntries entries;
    entries.rows[0] = numeric("0", "123");
    entries.rows[1] = numeric("", "123");
    entries.rows[2] = numeric("abc", "zzz");  // not validated: the row is not in use
    entries.rows[4] = numeric("12", "1");
    const BuiltImage image = built(entries);
    for (unsigned row : {0U, 1U, 2U, 3U}) EXPECT_FALSE(loadSlot(image.image, row).inUse()) << row;
    EXPECT_EQ(loadSlot(image.image, 4).start, 17);
}

TEST(Builder, RowsFollowEachOtherWithoutGaps) {
    ProgrammerEntries entries;
    entries.rows[1] = numeric("1234567", "12345");  // 19 codewords
    entries.rows[4] = alpha("8", "ABC");           // 5 codewords
    const BuiltImage image = built(entries);
    EXPECT_EQ(loadSlot(image.image, 1), (SlotEntry{17, 55}));
    EXPECT_EQ(loadSlot(image.image, 4), (SlotEntry{55, 65}));
    EXPECT_EQ(image.usedWords, 65U);
    EXPECT_EQ(usedWordCount(image.image), 65U);
    EXPECT_EQ(image.image.loadCodeword(55), paging::kSyncCodeword);
    EXPECT_EQ(image.image.loadCodeword(57), 0x00003B49U);
    for (unsigned row : {0U, 2U, 3U, 5U, 15U}) EXPECT_FALSE(loadSlot(image.image, row).inUse());
}

// A message becomes the codes of its row's alphabet: numeric rows the numeric table
// only, alphanumeric rows the characters their pagers show, national letters at their
// 7-bit codes; with transliteration other characters are replaced and listed. A
// refusal names the character as typed, says where it is and, for a 7-bit character
// shadowed by a national letter, what the pager would show.
TEST(Builder, MessagesBecomeTheCodesOfTheRowsAlphabetOrARefusalNamingTheCharacter) {
    const auto ellipses = [](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += "…";
        return text;
    };
    std::string sevenBit;
    for (int c = 0; c < 0x80; c += 4) sevenBit += static_cast<char>(c);
    using paging::Alphabet;
    const struct {
        Alphabet alphabet;
        bool transliterate;
        PagerType type;
        std::string message;
        std::string expected;  // the codes sent, or the refusal
        std::size_t refusedAt = 0;
        std::vector<std::string> replaced = {};
    } cases[] = {
        {Alphabet::US, false, PagerType::Numeric, "12 34-5U", "12 34-5U"},
        {Alphabet::US, false, PagerType::Numeric, "[]S", "[]S"},
        {Alphabet::US, false, PagerType::Numeric, "12a", "Invalid code 'a' in Item[03]", 2},
        {Alphabet::US, false, PagerType::Numeric, "s", "Invalid code 's' in Item[03]", 0},
        {Alphabet::US, false, PagerType::Numeric, "u", "Invalid code 'u' in Item[03]", 0},
        {Alphabet::US, false, PagerType::Numeric, "1.5", "Invalid code '.' in Item[03]", 1},
        {Alphabet::US, true, PagerType::Numeric, "1é", "Invalid code 'é' in Item[03]", 1},
        {Alphabet::DE, false, PagerType::Numeric, "1ü", "Invalid code 'ü' in Item[03]", 1},
        {Alphabet::US, false, PagerType::Alphanumeric, sevenBit, sevenBit},
        {Alphabet::US, false, PagerType::Alphanumeric, "\x7F", "\x7F"},
        {Alphabet::US, false, PagerType::Alphanumeric, "Gr}~e", "Gr}~e"},
        // A character other alphabets have names them; one they lack, its replacement.
        {Alphabet::US, false, PagerType::Alphanumeric, "café", "Invalid code 'é' in Item[03]; pager alphabets that have it: FR, IT", 3},
        {Alphabet::US, false, PagerType::Alphanumeric, "\u0080", "Invalid code '\u0080' in Item[03]", 0},
        {Alphabet::US, false, PagerType::Alphanumeric, "ÿ", "Invalid code 'ÿ' in Item[03]; replacing special characters sends it as 'y'", 0},
        {Alphabet::US, false, PagerType::Alphanumeric, "a😀", "Invalid code '😀' in Item[03]", 1},
        {Alphabet::US, false, PagerType::Alphanumeric, "ab\xFF", "Invalid code '\uFFFD' in Item[03]", 2},
        {Alphabet::DE, false, PagerType::Alphanumeric, "Grüße aus Köln §3", "Gr}~e aus K|ln @3"},
        {Alphabet::DE, false, PagerType::Alphanumeric, "a}", "'}' in Item[03] would show as 'ü' on a DE pager", 1},
        {Alphabet::DE, false, PagerType::Alphanumeric, "@", "'@' in Item[03] would show as '§' on a DE pager", 0},
        {Alphabet::SE, false, PagerType::Alphanumeric, "Hej på dig, Åsa ¤", "Hej p} dig, ]sa $"},
        {Alphabet::FR, false, PagerType::Alphanumeric, "#1", "'#' in Item[03] would show as '£' on a FR pager", 0},
        {Alphabet::YU, false, PagerType::Alphanumeric, "Čačak", "^a~ak"},
        {Alphabet::US, true, PagerType::Alphanumeric, "Grüße – „x“…", "Gruesse - \"x\"...",
         0, {"'ü' in Item[03] is sent as 'ue'", "'ß' in Item[03] is sent as 'ss'", "'–' in Item[03] is sent as '-'",
             "'„' in Item[03] is sent as '\"'", "'“' in Item[03] is sent as '\"'", "'…' in Item[03] is sent as '...'"}},
        {Alphabet::DE, true, PagerType::Alphanumeric, "Grüße, René", "Gr}~e, Rene", 0,
         {"'é' in Item[03] is sent as 'e'"}},
        {Alphabet::SE, true, PagerType::Alphanumeric, "Grüße", "Gruesse", 0,
         {"'ü' in Item[03] is sent as 'ue'", "'ß' in Item[03] is sent as 'ss'"}},
        // Each replaced character is noted once, however often the row holds it.
        {Alphabet::US, true, PagerType::Alphanumeric, "Füße, Füße…", "Fuesse, Fuesse...", 0,
         {"'ü' in Item[03] is sent as 'ue'", "'ß' in Item[03] is sent as 'ss'", "'…' in Item[03] is sent as '...'"}},
        {Alphabet::DE, true, PagerType::Alphanumeric, "ü}", "'}' in Item[03] would show as 'ü' on a DE pager", 1},
        {Alphabet::US, false, PagerType::Alphanumeric, "5 €",
         "Invalid code '€' in Item[03]; replacing special characters sends it as 'EUR'", 2},
        {Alphabet::DE, true, PagerType::Alphanumeric, "25 € pro Person", "25 EUR pro Person", 0,
         {"'€' in Item[03] is sent as 'EUR'"}},
        {Alphabet::US, true, PagerType::Numeric, "5€", "Invalid code '€' in Item[03]", 1},
        // A letter and its combining mark, as macOS and web pages give them, are the
        // letter; places still count the characters as typed.
        {Alphabet::DE, false, PagerType::Alphanumeric, "A\u0308rger, Gru\u0308n", "[rger, Gr}n"},
        {Alphabet::US, false, PagerType::Alphanumeric, "e\u0301", "Invalid code 'é' in Item[03]; pager alphabets that have it: FR, IT", 0},
        {Alphabet::DE, false, PagerType::Alphanumeric, "A\u0308€",
         "Invalid code '€' in Item[03]; replacing special characters sends it as 'EUR'", 2},
        {Alphabet::US, true, PagerType::Alphanumeric, "S\u0326i", "Si", 0, {"'Ș' in Item[03] is sent as 'S'"}},
        {Alphabet::DE, false, PagerType::Alphanumeric, "Q\u0308", "Invalid code '\u0308' in Item[03]", 1},
        // The letters each country writes for the ones its pagers lack.
        {Alphabet::DK, true, PagerType::Alphanumeric, "Ärö ÖL", "[r| \\L", 0,
         {"'Ä' in Item[03] is sent as 'Æ'", "'ö' in Item[03] is sent as 'ø'", "'Ö' in Item[03] is sent as 'Ø'"}},
        {Alphabet::NO, true, PagerType::Alphanumeric, "ä", "{", 0, {"'ä' in Item[03] is sent as 'æ'"}},
        {Alphabet::SE, true, PagerType::Alphanumeric, "Øæ", "\\{", 0,
         {"'Ø' in Item[03] is sent as 'Ö'", "'æ' in Item[03] is sent as 'ä'"}},
        {Alphabet::DE, true, PagerType::Alphanumeric, "STRAẞE", "STRA~E", 0, {"'ẞ' in Item[03] is sent as 'ß'"}},
        {Alphabet::US, true, PagerType::Alphanumeric, "ẞ", "SS", 0, {"'ẞ' in Item[03] is sent as 'SS'"}},
        {Alphabet::US, true, PagerType::Alphanumeric, "Đurđa", "Djurdja", 0,
         {"'Đ' in Item[03] is sent as 'Dj'", "'đ' in Item[03] is sent as 'dj'"}},
        {Alphabet::US, true, PagerType::Alphanumeric, "Ştefan Ţ ș ț", "Stefan T s t", 0,
         {"'Ş' in Item[03] is sent as 'S'", "'Ţ' in Item[03] is sent as 'T'", "'ș' in Item[03] is sent as 's'",
          "'ț' in Item[03] is sent as 't'"}},
        // Never more codes than a Read gives back (129): the character they pass it at.
        {Alphabet::US, true, PagerType::Alphanumeric, ellipses(44),
         "Item[03] would be sent as 132 characters; a Read gives back 129 at most", 43},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        ProgrammerEntries entries;
        entries.rows[0] = numeric("100", "111");
        entries.rows[2] = {"200", 3, c.type, c.message};
        entries.text.alphabet = c.alphabet;
        entries.text.transliterate = c.transliterate;
        const auto outcome = buildImage(entries);
        if (const auto* refusal = std::get_if<BuildRefusal>(&outcome)) {
            EXPECT_EQ(texts::formatMessage(refusal->message), c.expected);
            EXPECT_EQ(refusal->at, (CharacterPosition{2, c.refusedAt}));
            continue;
        }
        EXPECT_EQ(layOutRows(entries).sent[2].codes, c.expected);
        std::vector<std::string> replaced;
        for (const auto& message : std::get<BuiltImage>(outcome).replacements) {
            replaced.push_back(texts::formatMessage(message));
        }
        EXPECT_EQ(replaced, c.replaced);
    }
}

// A row's own alphabet wins over the one of the settings.
TEST(Builder, ARowsOwnAlphabetWins) {
    ProgrammerEntries entries;
    entries.text.alphabet = paging::Alphabet::DE;
    entries.text.rowAlphabets[1] = paging::Alphabet::US;
    entries.rows[0] = alpha("8", "ü");
    entries.rows[1] = alpha("16", "}");
    const RowLayout layout = layOutRows(entries);
    EXPECT_EQ(layout.sent[0].codes, "}");
    EXPECT_EQ(layout.sent[1].codes, "}");
    entries.rows[1] = alpha("16", "ü");
    EXPECT_EQ(refusalText(entries), "Invalid code 'ü' in Item[02]; pager alphabets that have it: DE");
}

TEST(Builder, CapcodeRange) {
    const struct {
        const char* capcode;
        unsigned tone;
        bool accepted;
    } cases[] = {{"1", 0, true},       {"2097151", 3, true}, {"2097152", 0, false}, {"9999999", 0, false},
                 {"-5", 0, false},     {"2007664", 0, false}, {"2007671", 0, false}, {"2007671", 1, true},
                 {"2045056", 2, false}, {"2045063", 2, false}, {"2045063", 0, true}, {"  +42", 0, true}};
    for (const auto& c : cases) {
        ProgrammerEntries entries;
        entries.rows[5] = numeric(c.capcode, "", c.tone);
        EXPECT_EQ(refusalText(entries), c.accepted ? "(built)" : "CapCode out of range in Item[06]")
            << c.capcode << " tone " << c.tone;
    }
}

// Each 40-character alphanumeric row at frame 7 takes 32 codewords (64 words): three
// fit behind the slot table (17 + 192 = 209), the fourth would end at 273.
TEST(Builder, FullImageWarnsAndStopsAtTheRowThatDoesNotFit) {
    ProgrammerEntries entries;
    entries.rows[0] = alpha("7", std::string(40, 'A'));
    entries.rows[1] = numeric("", "");
    entries.rows[2] = alpha("15", std::string(40, 'B'));
    entries.rows[3] = alpha("23", std::string(40, 'C'));
    entries.rows[4] = alpha("31", std::string(40, 'D'));
    entries.rows[5] = numeric("8", "");           // would fit, but rows stop at the full one
    entries.rows[6] = numeric("9", "bad chars");  // neither validated nor placed
    const BuiltImage image = built(entries);
    ASSERT_TRUE(image.fullAtRow);
    EXPECT_EQ(*image.fullAtRow, 4);
    EXPECT_EQ(texts::formatMessage(*image.warning()), "out of EEPROM size, only 4 items data can be save");
    EXPECT_EQ(image.warning()->title, texts::Title::Warn);
    EXPECT_EQ(image.usedWords, 209U);
    EXPECT_FALSE(loadSlot(image.image, 4).inUse());
    EXPECT_FALSE(loadSlot(image.image, 5).inUse());
    for (unsigned w = 209; w < 256; ++w) EXPECT_EQ(image.image.word(w), 0) << w;
}

TEST(Builder, FullAtTwelfthRowNamesElevenRows) {
    ProgrammerEntries entries;
    for (unsigned row = 0; row < 16; ++row) entries.rows[row] = numeric(std::to_string(8 * row + 8), "1234567890");
    // Each row: sync, address, 2 message codewords, idle = 5 codewords = 10 words; 17 + 11*10 = 127.
    entries.rows[11] = alpha("15", std::string(129, 'x'));
    const BuiltImage image = built(entries);
    ASSERT_TRUE(image.fullAtRow);
    EXPECT_EQ(texts::formatMessage(*image.warning()), "out of EEPROM size, only 11 items data can be save");
    EXPECT_EQ(image.usedWords, 127U);
}

TEST(Builder, InvalidCharacterAfterPlacedRowsStillRefuses) {
    ProgrammerEntries entries;
    entries.rows[0] = numeric("8", "123");
    entries.rows[9] = numeric("16", "12a");
    EXPECT_EQ(refusalText(entries), "Invalid code 'a' in Item[10]");
}

TEST(Builder, LongestTransmissionFitsExactlyAtTheLastWord) {
    // Rows of the longest message a Read gives back (129 characters) fill the image;
    // the next row gets the longest message whose end address is at most 255, and one
    // character more does not fit.
    const auto words = [](std::size_t length) {
        return 2 * static_cast<unsigned>(paging::transmissionLength(PagerType::Alphanumeric, std::string(length, 'm'), 8));
    };
    ProgrammerEntries entries;
    unsigned used = kFirstTransmissionWord;
    unsigned row = 0;
    for (; used + words(paging::kMaxDecodedText) <= kMaxEndWord; ++row) {
        entries.rows[row] = alpha("8", std::string(paging::kMaxDecodedText, 'm'));
        used += words(paging::kMaxDecodedText);
    }
    std::size_t fitting = 0;
    while (used + words(fitting + 1) <= kMaxEndWord) ++fitting;
    entries.rows[row] = alpha("8", std::string(fitting, 'm'));
    EXPECT_FALSE(built(entries).fullAtRow);
    entries.rows[row] = alpha("8", std::string(fitting + 1, 'm'));
    const auto tooLong = built(entries);
    ASSERT_TRUE(tooLong.fullAtRow);
    EXPECT_EQ(*tooLong.fullAtRow, static_cast<int>(row));
}

TEST(RowLayout, MarksEveryRefusedRowAndCountsOnlyRowsAWriteWouldPlace) {
    PagerRows rows;
    rows[0] = numeric("8", "12a");      // refused: takes no space
    rows[1] = numeric("16", "123");     // 4 codewords
    rows[2] = numeric("9999999", "");   // refused
    rows[3] = alpha("15", std::string(129, 'x'));  // 66 codewords
    rows[4] = alpha("23", std::string(129, 'x'));  // does not fit
    rows[5] = numeric("32", "b");       // after the full row: Write never looks at it
    rows[6] = numeric("40", "1");       // would fit, but rows stop at the full one
    ProgrammerEntries entries;
    entries.rows = rows;
    const RowLayout layout = layOutRows(entries);
    const std::string expectedRefusals[kRowCount] = {"Invalid code 'a' in Item[01]", "", "CapCode out of range in Item[03]"};
    const std::size_t expectedCodewords[kRowCount] = {0, 4, 0, 66};
    for (unsigned row = 0; row < kRowCount; ++row) {
        const auto& refusal = layout.refusals[row];
        EXPECT_EQ(refusal ? texts::formatMessage(refusal->message) : "", expectedRefusals[row]) << "row " << row + 1;
        EXPECT_EQ(layout.codewords[row], expectedCodewords[row]) << "row " << row + 1;
    }
    EXPECT_EQ(layout.usedWords, 17U + 2 * (4 + 66));
    EXPECT_EQ(layout.fullAtRow, 4);

    // Without the refused rows the layout is the built image's.
    rows[0] = rows[2] = rows[5] = PagerItem{};
    entries.rows = rows;
    const BuiltImage image = built(entries);
    EXPECT_EQ(layOutRows(entries).usedWords, image.usedWords);
    EXPECT_EQ(layOutRows(entries).fullAtRow, image.fullAtRow);
}

TEST(LeadingInteger, ReadsAsTheWindowDoes) {
    const struct {
        const char* text;
        long long value;
    } cases[] = {{"", 0}, {"abc", 0}, {"  12x", 12}, {"+7", 7}, {"-5", -5}, {"0042", 42}, {"- 5", 0},
                 {"99999999999999999999999", LLONG_MAX}};
    for (const auto& c : cases) EXPECT_EQ(leadingInteger(c.text), c.value) << c.text;
}

}  // namespace
