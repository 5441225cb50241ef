// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Read and Write through the emulated transmitter: the exact traffic, the words left
// untouched, and the report lengths the protocol accepts.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "device/eeprom_programmer.h"
#include "device/emulator/emulated_transmitter.h"
#include "tests/device/device_test_support.h"
#include "image/image_builder.h"

namespace vostrel::device {
namespace {

using testing::expectFailure;
using testing::expectReadReports;
using testing::expectWriteReports;
using testing::partlyWritten;
using testing::patternImage;

class WordTransferTest : public ::testing::Test {
protected:
    WordTransferTest() { transmitter.setEeprom(patternImage()); }

    void expectClosedOnce() const {
        EXPECT_EQ(transmitter.openCount(), 1U);
        EXPECT_EQ(transmitter.closeCount(), 1U);
    }

    EmulatedTransmitter transmitter;
};

TEST_F(WordTransferTest, WriteOfImageWithoutItemsSendsHeaderAndSlotTableOnly) {
    const auto built = std::get<image::BuiltImage>(image::buildImage(image::ProgrammerEntries{}));

    EXPECT_FALSE(testing::writeOnly(transmitter, built.image, built.usedWords));

    expectWriteReports(transmitter.receivedReports(), 65, built.image, 17);
    expectClosedOnce();
}

TEST_F(WordTransferTest, WriteLeavesWordsFromTheCountOnAsTheyWere) {
    const image::EepromImage before = transmitter.eeprom();
    const image::EepromImage written = patternImage(0xC300);

    EXPECT_FALSE(testing::writeOnly(transmitter, written, 121));

    expectWriteReports(transmitter.receivedReports(), 65, written, 121);
    for (unsigned word = 0; word < image::kImageWords; ++word) {
        EXPECT_EQ(transmitter.eeprom().word(word), word < 121 ? written.word(word) : before.word(word))
            << "word " << word;
    }
    expectClosedOnce();
}

TEST_F(WordTransferTest, ReadAsksForEveryWordInOrderAndReturnsTheEeprom) {
    const ReadOutcome outcome = readEeprom(transmitter);

    ASSERT_TRUE(std::holds_alternative<image::EepromImage>(outcome));
    EXPECT_EQ(std::get<image::EepromImage>(outcome), patternImage());
    expectReadReports(transmitter.receivedReports(), 65);
    expectClosedOnce();
}

// Beyond the slot table a Write first empties the table, then sends the
// transmissions, then the header and the table; progress counts reports.
TEST_F(WordTransferTest, WriteOrderAndProgressPerWordCount) {
    struct Case {
        unsigned wordCount;
        unsigned reports;
        std::vector<unsigned> firstAddresses;
    };
    const std::vector<Case> cases = {
        {3, 3, {0, 1, 2}},
        {17, 17, {0, 1, 2}},
        {18, 34, {1, 2, 3}},
        {121, 137, {1, 2, 3}},
        {image::kImageWords, 272, {1, 2, 3}},
    };
    const image::EepromImage written = patternImage(0xC300);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wordCount);
        const std::vector<WordWrite> order = crashConsistentOrder(written, c.wordCount);
        ASSERT_EQ(order.size(), c.reports);
        for (std::size_t n = 0; n < c.firstAddresses.size(); ++n) EXPECT_EQ(order[n].address, c.firstAddresses[n]);
        const bool clearsFirst = c.wordCount > image::kFirstTransmissionWord;
        for (std::size_t n = 0; n < order.size(); ++n) {
            const bool clearing = clearsFirst && n < image::kRowCount;
            EXPECT_EQ(order[n].value, clearing ? 0 : written.word(order[n].address)) << "report " << n;
        }
        // The table's final entries are the last reports.
        if (clearsFirst) {
            EXPECT_EQ(order.back().address, image::kRowCount);
        }

        std::vector<std::pair<unsigned, unsigned>> calls;
        transmitter.setEeprom(patternImage());
        EXPECT_FALSE(testing::writeOnly(transmitter, written, c.wordCount,
                                 [&](unsigned done, unsigned total) { calls.emplace_back(done, total); }));
        ASSERT_EQ(calls.size(), c.reports);
        for (unsigned n = 0; n < c.reports; ++n) EXPECT_EQ(calls[n], std::make_pair(n + 1, c.reports));
        EXPECT_EQ(transmitter.eeprom(), partlyWritten(patternImage(), written, c.wordCount, c.reports));
    }
}

TEST_F(WordTransferTest, WordCountBeyondTheImageIsRefused) {
    EXPECT_THROW((void)testing::writeOnly(transmitter, patternImage(), image::kImageWords + 1), std::invalid_argument);
    EXPECT_TRUE(transmitter.receivedReports().empty());
    EXPECT_EQ(transmitter.openCount(), transmitter.closeCount());
}

struct ReportLengths {
    std::uint16_t input;
    std::uint16_t output;
};

class ReportLengthTest : public ::testing::TestWithParam<ReportLengths> {};

TEST_P(ReportLengthTest, WriteThenReadRoundTripsWithReportsOfTheDevicesLength) {
    const auto [input, output] = GetParam();
    EmulatedTransmitter transmitter(testing::withReportLengths(input, output));
    const image::EepromImage written = patternImage(0xC300);

    EXPECT_FALSE(testing::writeOnly(transmitter, written, image::kImageWords));
    const ReadOutcome outcome = readEeprom(transmitter);

    ASSERT_TRUE(std::holds_alternative<image::EepromImage>(outcome));
    EXPECT_EQ(std::get<image::EepromImage>(outcome), written);
    const std::span<const std::vector<std::uint8_t>> reports = transmitter.receivedReports();
    const std::size_t writes = crashConsistentOrder(written, image::kImageWords).size();
    ASSERT_EQ(reports.size(), writes + image::kImageWords);
    expectWriteReports(reports.first(writes), output, written, image::kImageWords);
    expectReadReports(reports.subspan(writes), output);
}

INSTANTIATE_TEST_SUITE_P(UsableLengths, ReportLengthTest,
                         ::testing::Values(ReportLengths{65, 65}, ReportLengths{9, 9}, ReportLengths{33, 33},
                                           ReportLengths{4, 5}, ReportLengths{9, 65}, ReportLengths{65, 9},
                                           ReportLengths{4096, 4096}));

class AbsurdReportLengthTest : public ::testing::TestWithParam<ReportLengths> {};

TEST_P(AbsurdReportLengthTest, DeviceIsRefusedBeforeAnyReport) {
    const auto [input, output] = GetParam();
    EmulatedTransmitter transmitter(testing::withReportLengths(input, output));

    expectFailure(readEeprom(transmitter), texts::keys::kCommandFail);
    expectFailure(testing::writeOnly(transmitter, patternImage(), 17), texts::keys::kCommandFail);

    EXPECT_TRUE(transmitter.receivedReports().empty());
    EXPECT_EQ(transmitter.openCount(), 2U);
    EXPECT_EQ(transmitter.closeCount(), 2U);
}

INSTANTIATE_TEST_SUITE_P(RefusedLengths, AbsurdReportLengthTest,
                         ::testing::Values(ReportLengths{0, 0}, ReportLengths{65, 4}, ReportLengths{3, 65},
                                           ReportLengths{65, 4097}, ReportLengths{4097, 65},
                                           ReportLengths{65535, 65535}));

}  // namespace
}  // namespace vostrel::device
