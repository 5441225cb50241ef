// Read and Write through the emulated transmitter: the exact traffic, the words left
// untouched, and the report lengths the protocol accepts.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "device/eeprom_programmer.h"
#include "device/emulated_transmitter.h"
#include "device_test_support.h"
#include "image/image_builder.h"

namespace vostrel::device {
namespace {

using testing::expectFailure;
using testing::expectReadReports;
using testing::expectWriteReports;
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

    EXPECT_FALSE(writeEeprom(transmitter, built.image, built.usedWords));

    expectWriteReports(transmitter.receivedReports(), 65, built.image, 17);
    expectClosedOnce();
}

TEST_F(WordTransferTest, WriteLeavesWordsFromTheCountOnAsTheyWere) {
    const image::EepromImage before = transmitter.eeprom();
    const image::EepromImage written = patternImage(0xC300);

    EXPECT_FALSE(writeEeprom(transmitter, written, 121));

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

TEST_F(WordTransferTest, ProgressFollowsEachExchange) {
    std::vector<std::pair<unsigned, unsigned>> calls;
    const TransferProgress record = [&](unsigned done, unsigned total) { calls.emplace_back(done, total); };

    EXPECT_FALSE(writeEeprom(transmitter, patternImage(0xC300), 3, record));
    (void)readEeprom(transmitter, record);

    ASSERT_EQ(calls.size(), 3U + image::kImageWords);
    EXPECT_EQ(calls[0], std::make_pair(1U, 3U));
    EXPECT_EQ(calls[2], std::make_pair(3U, 3U));
    EXPECT_EQ(calls[3], std::make_pair(1U, image::kImageWords));
    EXPECT_EQ(calls.back(), std::make_pair(image::kImageWords, image::kImageWords));
}

TEST_F(WordTransferTest, WordCountBeyondTheImageIsRefused) {
    EXPECT_THROW((void)writeEeprom(transmitter, patternImage(), image::kImageWords + 1), std::invalid_argument);
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

    EXPECT_FALSE(writeEeprom(transmitter, written, image::kImageWords));
    const ReadOutcome outcome = readEeprom(transmitter);

    ASSERT_TRUE(std::holds_alternative<image::EepromImage>(outcome));
    EXPECT_EQ(std::get<image::EepromImage>(outcome), written);
    const std::span<const std::vector<std::uint8_t>> reports = transmitter.receivedReports();
    ASSERT_EQ(reports.size(), 2 * image::kImageWords);
    expectWriteReports(reports.first(image::kImageWords), output, written, image::kImageWords);
    expectReadReports(reports.subspan(image::kImageWords), output);
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
    expectFailure(writeEeprom(transmitter, patternImage(), 17), texts::keys::kCommandFail);

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
