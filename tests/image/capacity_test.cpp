// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// What fits, against codewords counted by hand, and against what the builder stores and
// the encoders send: the model must never be a second opinion.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "image/capacity.h"
#include "image/row_rules.h"
#include "image/slot_table.h"
#include "paging/transmission.h"
#include "texts/message_format.h"

namespace vostrel::image::capacity_tests {
namespace {

using paging::PagerType;

PagerItem numericCall(std::string capcode, std::string message, unsigned tone = ToneA) {
    return {std::move(capcode), tone, PagerType::Numeric, std::move(message)};
}
PagerItem toneOnlyCall(std::string capcode, unsigned tone = ToneB) { return numericCall(std::move(capcode), "", tone); }
PagerItem alphanumericCall(std::string capcode, std::string message) {
    return {std::move(capcode), ToneD, PagerType::Alphanumeric, std::move(message)};
}

SiteCapacity capacityOf(const ProgrammerEntries& entries) { return siteCapacity(entries, layOutRows(entries)); }

// Each stored row of the model has the codewords the built image's slot holds, and
// each row left out has no slot.
void expectTheBuildersImage(const ProgrammerEntries& entries, const SiteCapacity& capacity) {
    const BuildOutcome outcome = buildImage(entries);
    ASSERT_TRUE(std::holds_alternative<BuiltImage>(outcome));
    const BuiltImage& built = std::get<BuiltImage>(outcome);
    for (const CapacityRow& row : capacity.rows) {
        const SlotEntry slot = loadSlot(built.image, row.row);
        EXPECT_EQ(slot.inUse(), row.stored) << "row " << row.row + 1;
        if (row.stored) {
            EXPECT_EQ(static_cast<std::size_t>(slot.codewordCount()), row.cost->codewords) << row.row + 1;
        }
    }
    EXPECT_EQ(built.usedWords, kFirstTransmissionWord + kWordsPerCodeword * capacity.storedCodewords);
}

std::vector<std::string> formatted(const std::vector<texts::Message>& messages) {
    std::vector<std::string> texts;
    for (const texts::Message& message : messages) texts.push_back(texts::formatMessage(message));
    return texts;
}

// Sync, 2 idle per frame, the address, the message, the closing idle, and a sync at
// each index that is a multiple of 17, counted codeword by codeword.
TEST(RowCost, EachFrameAndMessageTakesTheCodewordsCountedByHand) {
    const struct {
        PagerItem row;
        unsigned frame;
        std::size_t message;
        std::size_t codewords;
    } cases[] = {
        // Tone-only calls: sync, 2f idle, address, idle.
        {toneOnlyCall("8"), 0, 0, 3}, {toneOnlyCall("9"), 1, 0, 5}, {toneOnlyCall("10"), 2, 0, 7},
        {toneOnlyCall("11"), 3, 0, 9}, {toneOnlyCall("12"), 4, 0, 11}, {toneOnlyCall("13"), 5, 0, 13},
        {toneOnlyCall("14"), 6, 0, 15}, {toneOnlyCall("15", ToneC), 7, 0, 17},  // the idle at index 16
        // Five numeric characters, one codeword.
        {numericCall("100008", "12345"), 0, 1, 4}, {numericCall("100001", "1"), 1, 1, 6},
        {numericCall("100002", "2"), 2, 1, 8}, {numericCall("100003", "3"), 3, 1, 10},
        {numericCall("100004", "4"), 4, 1, 12}, {numericCall("100005", "5"), 5, 1, 14},
        {numericCall("100006", "6"), 6, 1, 16},
        // Frame 7: the message at index 16 ends the batch, a sync opens the next (17),
        // the idle is at 18.
        {numericCall("100007", "7"), 7, 1, 19},
        // Across the batch boundary at frame 6: the idle at index 16, then a message
        // codeword there and the idle behind a second sync.
        {numericCall("14", "1234567890"), 6, 2, 17}, {numericCall("14", "12345 67890 1"), 6, 3, 19},
        // 20 numeric characters at frame 7: sync, 14 idle, address, 1 message, sync, 3
        // message, idle.
        {numericCall("1234567", "112 1234-5678 90 112"), 7, 4, 22},
        // 7 bits a character, 20 a codeword: 40 characters in 14, 41 in 15.
        {alphanumericCall("8", std::string(40, 'A')), 0, 14, 17},
        {alphanumericCall("8", std::string(41, 'A')), 0, 15, 19},
        {alphanumericCall("1234567", std::string(40, 'A')), 7, 14, 32},
        {alphanumericCall("1234567", "A"), 7, 1, 19},
        // The longest a Read gives back: 129 characters, 46 codewords, syncs at 0, 17, 34, 51.
        {alphanumericCall("1234567", std::string(129, 'm')), 7, 46, 66},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row.capcode + " '" + c.row.message + "'");
        ProgrammerEntries entries;
        entries.rows[0] = c.row;
        const SiteCapacity capacity = capacityOf(entries);
        ASSERT_EQ(capacity.rows.size(), 1U);
        const RowCost& cost = *capacity.rows[0].cost;
        EXPECT_EQ(cost, (RowCost{c.frame, c.message, c.codewords}));
        EXPECT_EQ(cost.idleFill(), 2 * c.frame);
        EXPECT_EQ(cost.framing(), c.codewords - 2 * c.frame - c.message);
        std::array<paging::Codeword, kMaxSlotCodewords> sent{};
        const auto capcode = static_cast<std::uint32_t>(std::stoul(c.row.capcode));
        EXPECT_EQ(paging::encodeTransmission(c.row.type, c.row.message, capcode, c.row.tone, sent), c.codewords);
        expectTheBuildersImage(entries, capacity);
    }
}

// A restaurant's sixteen guest pagers as the vendor delivers them, the table numbers
// as messages: capcodes 100001 to 100016 run through frames 1-7, 0, 1-7, 0.
ProgrammerEntries restaurant() {
    ProgrammerEntries entries;
    for (unsigned row = 0; row < kRowCount; ++row) {
        entries.rows[row] = numericCall(std::to_string(100001 + row), std::to_string(row + 1));
        entries.labels[row] = "Tisch " + std::to_string(row + 1);
    }
    return entries;
}

// A fire brigade: four decoders of four sub-addresses each, 1234567A to D in frame 7.
ProgrammerEntries brigade() {
    ProgrammerEntries entries;
    const std::string capcodes[] = {"1234567", "1234566", "1234565"};
    for (unsigned decoder = 0; decoder < 3; ++decoder) {
        const std::string& capcode = capcodes[decoder];
        entries.rows[4 * decoder] = numericCall(capcode, decoder == 2 ? "112" : "112 1234-5678 90 112");
        entries.rows[4 * decoder + 1] = toneOnlyCall(capcode, ToneB);
        entries.rows[4 * decoder + 2] = toneOnlyCall(capcode, ToneC);
        entries.rows[4 * decoder + 3] =
            alphanumericCall(capcode, decoder == 0 ? "Brand Halle 2, alle Gruppen ausruecken!!" : "Gruppe 2");
    }
    entries.rows[12] = numericCall("1234560", "112");
    entries.rows[13] = toneOnlyCall("1234560");
    entries.rows[14] = numericCall("1234562", "3");
    entries.rows[15] = toneOnlyCall("1234563");
    return entries;
}

// A care home's twelve pagers, room numbers as messages; rows 11 and 12 do not fit.
ProgrammerEntries careHome() {
    ProgrammerEntries entries;
    const char* capcodes[] = {"1040001", "1040002", "1040003", "1040004", "1040005", "1040006",
                              "1040007", "1040008", "1040010", "1040018", "1040015", "1040014"};
    for (unsigned row = 0; row < 12; ++row) entries.rows[row] = numericCall(capcodes[row], std::to_string(101 + row));
    return entries;
}

TEST(SiteCapacity, TheSitesOfTheInstallersDays) {
    const std::vector<unsigned> rows1To11 = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const std::vector<unsigned> rows12To16 = {11, 12, 13, 14, 15};
    const struct {
        const char* name;
        ProgrammerEntries entries;
        std::size_t stored;
        std::size_t storedCodewords;
        std::size_t needed;
        std::size_t toneOnly;
        unsigned mostEver;
        std::vector<Advice> advice;
    } cases[] = {
        // 178 codewords with the messages, 160 tone-only, against 119: 11 fit in row
        // order, 12 with the low frames first, 13 tone-only so, never 16.
        {"restaurant", restaurant(), 11, 113, 178, 160, 13,
         {EarlierFrame{11, 1}, OtherOrder{{7, 15, 0, 8, 1, 9, 2, 10, 3, 11, 4, 12}, 16}, NeverAll{13, 16},
          Transmitters{{rows1To11, rows12To16}}}},
        // Even tone-only the sixteen capcodes take 202 codewords; 5 fit as given, 10
        // with the shortest calls first, 11 tone-only so. Row 6, tone-only at frame 6
        // (15 codewords), finds 11 left: frame 4 would do.
        {"brigade", brigade(), 5, 108, 237, 202, 11,
         {EarlierFrame{5, 4}, OtherOrder{{13, 12, 14, 15, 9, 10, 8, 5, 6, 11}, 16}, NeverAll{11, 16},
          Transmitters{{{0, 1, 2, 3, 4}, {5, 6, 7, 8, 9, 10, 11, 12, 13}, {14, 15}}}}},
        // Rows 1-10 take 210 words; row 11 at frame 7 needs 19 codewords where 14 are
        // left: frame 5 would do.
        {"care home", careHome(), 10, 105, 140, 126, 11,
         {EarlierFrame{10, 5}, NeverAll{11, 12}, Transmitters{{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11}}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SiteCapacity capacity = capacityOf(c.entries);
        expectTheBuildersImage(c.entries, capacity);
        EXPECT_EQ(std::ranges::count(capacity.rows, true, &CapacityRow::stored), static_cast<long>(c.stored));
        EXPECT_EQ(capacity.storedCodewords, c.storedCodewords);
        EXPECT_EQ(capacity.neededCodewords(), c.needed);
        EXPECT_EQ(capacity.toneOnlyCodewords(), c.toneOnly);
        EXPECT_EQ(capacity.mostRowsEver(), c.mostEver);
        EXPECT_EQ(capacityAdvice(capacity, c.entries), c.advice);
    }
}

// Following the advice as an installer would: each time, the first row left out gets a
// capcode in a frame the advice allows (the next free multiple of 8: frame 0, which
// leaves the most room), until every row fits.
TEST(CapacityAdvice, FollowedRowByRowTheCareHomeFits) {
    ProgrammerEntries entries = careHome();
    std::vector<unsigned> renumbered;
    for (SiteCapacity capacity = capacityOf(entries); !capacity.allStored(); capacity = capacityOf(entries)) {
        const std::vector<Advice> advice = capacityAdvice(capacity, entries);
        ASSERT_FALSE(advice.empty());
        const auto* frame = std::get_if<EarlierFrame>(&advice.front());
        ASSERT_NE(frame, nullptr);
        entries.rows[frame->row].capcode = std::to_string(1040024 + 8 * renumbered.size());
        renumbered.push_back(frame->row);
        ASSERT_LE(renumbered.size(), 2U);
    }
    EXPECT_EQ(renumbered, (std::vector<unsigned>{10, 11}));
}

// Three 40-character calls at frame 7 take 96 codewords; the fourth row, 129
// characters at frame 0 (51 codewords), finds 23 left: 19 message codewords (54
// characters, 75 fewer) or none would do, and frame 0 is the earliest already.
TEST(CapacityAdvice, AShorterMessageOrAToneOnlyCall) {
    ProgrammerEntries entries;
    for (unsigned row = 0; row < 3; ++row) entries.rows[row] = alphanumericCall(std::to_string(8 * row + 7), std::string(40, 'A'));
    entries.rows[3] = alphanumericCall("8", std::string(129, 'x'));
    const SiteCapacity capacity = capacityOf(entries);
    const std::vector<Advice> advice = capacityAdvice(capacity, entries);
    EXPECT_EQ(advice, (std::vector<Advice>{ShorterMessage{3, 75}, ToneOnlyCall{3}, Transmitters{{{0, 1, 2}, {3}}}}));
    entries.rows[3].message.resize(54);
    EXPECT_TRUE(capacityOf(entries).allStored());
    entries.rows[3].message.resize(55);
    EXPECT_FALSE(capacityOf(entries).allStored());
}

TEST(CapacityWords, WhyARowIsLeftOutAndWhatWouldMakeItFit) {
    const ProgrammerEntries entries = restaurant();
    const SiteCapacity capacity = capacityOf(entries);
    const std::vector<Advice> advice = capacityAdvice(capacity, entries);
    EXPECT_EQ(formatted(leftOutRowMessages(capacity, advice, 11)),
              (std::vector<std::string>{
                  "Not stored: this call takes 24 words, 12 are left",
                  "24 words: 16 wait for the pager's frame 4 (capcode mod 8), 2 carry the message, 6 are sync, "
                  "address and end",
                  "row 12 fits with a capcode that leaves 1 or less when divided by 8, where its pager's capcode can be "
                  "chosen"}));
    EXPECT_EQ(formatted(leftOutRowMessages(capacity, advice, 15)),
              (std::vector<std::string>{"Not stored: rows are stored in order, and row 12 does not fit",
                                        "8 words: 0 wait for the pager's frame 0 (capcode mod 8), 2 carry the message, "
                                        "6 are sync, address and end"}));
    EXPECT_TRUE(leftOutRowMessages(capacity, advice, 10).empty());
    std::vector<std::string> site;
    for (std::size_t i = 1; i < advice.size(); ++i) {
        for (const std::string& line : formatted(adviceMessages(advice[i]))) site.push_back(line);
    }
    EXPECT_EQ(site, (std::vector<std::string>{
                        "12 of the 16 rows fit in another order, the shortest calls first: rows 8, 16, 1, 9, 2, 10, 3, "
                        "11, 4, 12, 5, 13",
                        "these 16 capcodes never all fit one transmitter: at most 13, as tone-only calls",
                        "all 16 rows fit on 2 transmitters", "transmitter 1: rows 1-11", "transmitter 2: rows 12-16"}));
    EXPECT_EQ(formatted(adviceMessages(ShorterMessage{3, 75})),
              std::vector<std::string>{"row 4 fits with 75 characters fewer in its message"});
    EXPECT_EQ(formatted(adviceMessages(EarlierFrame{3, 0})),
              std::vector<std::string>{
                  "row 4 fits with a capcode divisible by 8, where its pager's capcode can be chosen"});
    EXPECT_EQ(formatted(leftOutRowNames(capacity, entries)).front(), "row 12 Tisch 12 (capcode 100012 A)");
    ProgrammerEntries unlabelled = entries;
    unlabelled.labels = {};
    EXPECT_EQ(formatted(leftOutRowNames(capacity, unlabelled)).back(), "row 16 (capcode 100016 A)");
}

TEST(RowList, RunsOfRowsAsRanges) {
    const struct {
        std::vector<unsigned> rows;
        const char* list;
        const char* sequence;
    } cases[] = {{{}, "", ""},
                 {{0}, "1", "1"},
                 {{10, 11}, "11-12", "11, 12"},
                 {{11, 12, 13, 14, 15}, "12-16", "12, 13, 14, 15, 16"},
                 {{2, 4, 5, 6, 9}, "3, 5-7, 10", "3, 5, 6, 7, 10"}};
    for (const auto& c : cases) {
        EXPECT_EQ(rowList(c.rows), c.list);
        EXPECT_EQ(rowSequence(c.rows), c.sequence);
    }
}

// Each transmitter's configuration fits and keeps its rows in their places, with their
// labels; together they hold every row, and the settings stay.
TEST(SplitEntries, EachTransmitterHoldsItsRowsInTheirPlaces) {
    ProgrammerEntries entries = brigade();
    entries.dataRateIndex = 0;
    entries.labels[15] = "Wache";
    entries.labels[0] = "Vollalarm";
    entries.text.rowAlphabets[3] = paging::Alphabet::DE;
    const auto plan = transmitterPlan(capacityOf(entries));
    ASSERT_TRUE(plan);
    const std::vector<ProgrammerEntries> split = splitEntries(entries, *plan);
    ASSERT_EQ(split.size(), 3U);
    std::array<unsigned, kRowCount> holders{};
    for (const ProgrammerEntries& part : split) {
        EXPECT_TRUE(capacityOf(part).allStored());
        EXPECT_EQ(part.dataRateIndex, 0);
        for (unsigned row = 0; row < kRowCount; ++row) {
            if (!callsAPager(part.rows[row])) continue;
            ++holders[row];
            EXPECT_EQ(part.rows[row], entries.rows[row]);
            EXPECT_EQ(part.labels[row], entries.labels[row]);
            EXPECT_EQ(part.text.rowAlphabets[row], entries.text.rowAlphabets[row]);
        }
    }
    EXPECT_EQ(holders, (std::array<unsigned, kRowCount>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_TRUE(callsAPager(split[2].rows[15]));
    EXPECT_FALSE(callsAPager(split[2].rows[0]));
    EXPECT_EQ(split[2].labels[0], "");
}

}  // namespace
}  // namespace vostrel::image::capacity_tests
