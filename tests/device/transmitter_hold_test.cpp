// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// A Write under one hold on the transmitter: read first, write, read back, with the
// device opened once; a fault anywhere never ends as written and never loses what the
// transmitter held before.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device/emulator/emulated_transmitter.h"
#include "device/transmitter_hold.h"
#include "device_test_support.h"
#include "tests/device/weak_cell_transport.h"

namespace vostrel::device {
namespace {

using End = WriteOutcome::End;
using testing::partlyWritten;
using testing::patternImage;

constexpr unsigned kWordCount = 40;  // beyond the slot table: cleared first, written last

unsigned writeReports() { return static_cast<unsigned>(crashConsistentOrder(patternImage(0xC300), kWordCount).size()); }

WriteOutcome writeWithBothReads(HidTransport& transport, const BeforeWriting& beforeWriting = {},
                                const TransferProgress& progress = {}) {
    return writeUnderOneHold(transport, patternImage(0xC300), kWordCount, WriteSteps{true, true}, beforeWriting,
                             progress);
}

TEST(WriteUnderOneHold, ReadsWritesAndReadsBackInOneOpen) {
    EmulatedTransmitter transmitter;
    transmitter.setEeprom(patternImage());
    std::vector<std::pair<unsigned, unsigned>> progress;
    std::string pathSeen;
    const WriteOutcome outcome = writeWithBothReads(
        transmitter,
        [&](const image::EepromImage& held, const TransmitterHold& hold) {
            EXPECT_EQ(held, patternImage());
            EXPECT_TRUE(transmitter.receivedReports().size() == image::kImageWords) << "called before any write";
            pathSeen = hold.path();
            return Proceed::Write;
        },
        [&](unsigned done, unsigned total) { progress.emplace_back(done, total); });

    EXPECT_EQ(outcome.end, End::Written);
    EXPECT_EQ(outcome.held, patternImage());
    EXPECT_EQ(pathSeen, "emulated:memory");
    EXPECT_EQ(outcome.port(), "emulated:memory") << "no port: its path stands for it";
    EXPECT_EQ(transmitter.openCount(), 1U);
    EXPECT_EQ(transmitter.closeCount(), 1U);
    EXPECT_EQ(transmitter.eeprom(), partlyWritten(patternImage(), patternImage(0xC300), kWordCount, writeReports()));
    // One count over the three steps: 256 reads, the write, the written words read back.
    const unsigned total = image::kImageWords + writeReports() + kWordCount;
    ASSERT_EQ(transmitter.receivedReports().size(), total);
    ASSERT_EQ(progress.size(), total);
    for (unsigned n = 0; n < total; ++n) EXPECT_EQ(progress[n], std::make_pair(n + 1, total));
}

TEST(WriteUnderOneHold, SendsNothingWhenCancelledOrWhenTheWordsAreThere) {
    const struct {
        const char* what;
        image::EepromImage held;
        Proceed answer;
        End end;
        bool asked;
    } cases[] = {
        {"cancelled", patternImage(), Proceed::Cancel, End::Cancelled, true},
        {"already there", partlyWritten(patternImage(), patternImage(0xC300), kWordCount, writeReports()),
         Proceed::Write, End::AlreadyThere, false},
    };
    for (const auto& c : cases) {
        EmulatedTransmitter transmitter;
        transmitter.setEeprom(c.held);
        bool asked = false;
        unsigned lastDone = 0, lastTotal = 1;
        const WriteOutcome outcome = writeWithBothReads(
            transmitter,
            [&](const image::EepromImage&, const TransmitterHold&) {
                asked = true;
                return c.answer;
            },
            [&](unsigned done, unsigned total) { lastDone = done, lastTotal = total; });
        EXPECT_EQ(outcome.end, c.end) << c.what;
        EXPECT_EQ(asked, c.asked) << c.what;
        EXPECT_EQ(transmitter.receivedReports().size(), image::kImageWords) << c.what;
        EXPECT_EQ(transmitter.eeprom(), c.held) << c.what;
        EXPECT_EQ(lastDone == lastTotal, c.end == End::AlreadyThere) << c.what;
    }
}

TEST(WriteUnderOneHold, ReadBackNamesTheFirstWordThatDidNotTake) {
    EmulatedTransmitter transmitter;
    testing::WeakCellTransport weak(transmitter, 23);
    const WriteOutcome outcome = writeWithBothReads(weak);
    EXPECT_EQ(outcome.end, End::VerifyFailed);
    const std::uint16_t written = patternImage(0xC300).word(23);
    EXPECT_EQ(outcome.mismatch, (WordMismatch{23, static_cast<std::uint16_t>(written ^ 1U), written}));
    EXPECT_FALSE(outcome.failure);
}

// Every fault at every report of the read, the write and the read-back: never written,
// the device opened and closed once, and whenever a word was sent, what the transmitter
// held before is in the outcome.
TEST(WriteUnderOneHold, AFaultAtAnyReportOfAnyStepNeverEndsAsWritten) {
    const unsigned reads = image::kImageWords, writes = writeReports();
    for (const EmulatorFault fault : {EmulatorFault::RefuseSend, EmulatorFault::NoReply, EmulatorFault::ShortReply,
                                      EmulatorFault::Unplug}) {
        for (unsigned report = 0; report < reads + writes + kWordCount; ++report) {
            SCOPED_TRACE("fault " + std::to_string(static_cast<int>(fault)) + " at report " + std::to_string(report));
            EmulatedTransmitter transmitter;
            transmitter.setEeprom(patternImage());
            transmitter.injectFault(report, fault);
            const WriteOutcome outcome = writeWithBothReads(transmitter);
            const End expected = report < reads ? End::ReadFailed
                                 : report < reads + writes ? End::WriteFailed
                                                           : End::ReadBackFailed;
            ASSERT_EQ(outcome.end, expected);
            ASSERT_TRUE(outcome.failure);
            EXPECT_EQ(outcome.failure->message.key, texts::keys::kCommandFail);
            EXPECT_EQ(transmitter.openCount(), 1U);
            EXPECT_EQ(transmitter.closeCount(), 1U);
            if (expected == End::ReadFailed) {
                EXPECT_FALSE(outcome.held);
                EXPECT_EQ(transmitter.eeprom(), patternImage());
            } else {
                EXPECT_EQ(outcome.held, patternImage());
            }
        }
    }
}

}  // namespace
}  // namespace vostrel::device
