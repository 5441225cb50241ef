// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// A link that breaks anywhere in a transfer ends it with "USB Command fail": the
// device is closed once, a Read hands back no image, a Write stops at the broken word.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "device/eeprom_programmer.h"
#include "device/emulator/emulated_transmitter.h"
#include "tests/device/device_test_support.h"
#include "tests/device/forwarding_transport.h"
#include "image/image_builder.h"
#include "image/image_reader.h"

namespace vostrel::device {
namespace {

using testing::expectFailure;
using testing::partlyWritten;
using testing::patternImage;

enum class Direction { Read, Write };

// Whether the device took the broken report in before the link failed.
bool reportTaken(EmulatorFault fault) {
    return fault == EmulatorFault::NoReply || fault == EmulatorFault::ShortReply;
}

std::string faultName(EmulatorFault fault) {
    switch (fault) {
        case EmulatorFault::RefuseSend: return "RefuseSend";
        case EmulatorFault::ShortSend: return "ShortSend";
        case EmulatorFault::NoReply: return "NoReply";
        case EmulatorFault::ShortReply: return "ShortReply";
        case EmulatorFault::Unplug: return "Unplug";
    }
    return "Unknown";
}

void expectTransferEndsAt(Direction direction, EmulatorFault fault, unsigned brokenReport) {
    SCOPED_TRACE((direction == Direction::Read ? "Read, " : "Write, ") + faultName(fault) + " at report " +
                 std::to_string(brokenReport));
    EmulatedTransmitter transmitter;
    transmitter.setEeprom(patternImage());
    transmitter.injectFault(brokenReport, fault);
    const image::EepromImage written = patternImage(0xC300);

    if (direction == Direction::Read) {
        expectFailure(readEeprom(transmitter), texts::keys::kCommandFail);
    } else {
        expectFailure(testing::writeOnly(transmitter, written, image::kImageWords), texts::keys::kCommandFail);
    }

    EXPECT_EQ(transmitter.openCount(), 1U);
    EXPECT_EQ(transmitter.closeCount(), 1U);
    const unsigned taken = brokenReport + (reportTaken(fault) ? 1 : 0);
    EXPECT_EQ(transmitter.receivedReports().size(), taken);
    const image::EepromImage expected = direction == Direction::Write
                                            ? partlyWritten(patternImage(), written, image::kImageWords, taken)
                                            : patternImage();
    EXPECT_EQ(transmitter.eeprom(), expected);
}

// Every fault at every report of a Read and of the first 256 reports of a whole-image Write.
TEST(TransferFault, AtEveryWordEndsInCommandFailWithTheDeviceClosedOnce) {
    for (const Direction direction : {Direction::Read, Direction::Write}) {
        for (const EmulatorFault fault : {EmulatorFault::RefuseSend, EmulatorFault::ShortSend, EmulatorFault::NoReply,
                                          EmulatorFault::ShortReply, EmulatorFault::Unplug}) {
            for (unsigned report = 0; report < image::kImageWords; ++report) {
                expectTransferEndsAt(direction, fault, report);
            }
        }
    }
}

// Sixteen rows in use, all in frame 0 so that they fit; `alphanumeric` gives calls of
// other lengths, so the two layouts differ.
image::BuiltImage fullConfiguration(unsigned firstCapcode, bool alphanumeric) {
    image::ProgrammerEntries entries;
    for (unsigned row = 0; row < image::kRowCount; ++row) {
        const std::string message = alphanumeric ? std::string(row % 4 + 1, char('A' + row)) : std::to_string(row);
        entries.rows[row] = {std::to_string(firstCapcode + 8 * row), alphanumeric ? 3U : 0U,
                             alphanumeric ? paging::PagerType::Alphanumeric : paging::PagerType::Numeric, message};
    }
    auto built = std::get<image::BuiltImage>(image::buildImage(entries));
    EXPECT_FALSE(built.fullAtRow);
    return built;
}

// A Write cut off at any report leaves every row with its old call, its new call or
// none: never a table over transmissions it was not written for.
TEST(InterruptedWrite, LeavesEachRowOldNewOrEmpty) {
    const image::BuiltImage before = fullConfiguration(1000, false);
    const image::BuiltImage after = fullConfiguration(2000000, true);
    const image::ImageContents oldRows = image::decodeImage(before.image);
    const image::ImageContents newRows = image::decodeImage(after.image);
    const std::size_t reports = crashConsistentOrder(after.image, after.usedWords).size();
    for (unsigned cut = 0; cut <= reports; ++cut) {
        EmulatedTransmitter transmitter;
        transmitter.setEeprom(before.image);
        transmitter.injectFault(cut, EmulatorFault::Unplug);
        (void)testing::writeOnly(transmitter, after.image, after.usedWords);

        const image::ImageContents contents = image::decodeImage(transmitter.eeprom());
        ASSERT_FALSE(contents.readErrorRow) << "cut at report " << cut;
        for (unsigned row = 0; row < image::kRowCount; ++row) {
            const image::PagerItem& item = contents.rows[row];
            EXPECT_TRUE(item == oldRows.rows[row] || item == newRows.rows[row] || item == image::PagerItem{})
                << "cut at report " << cut << ", row " << row + 1 << ": capcode " << item.capcode;
        }
        if (cut == reports) {
            EXPECT_EQ(contents.rows, newRows.rows);
        }
    }
}

TEST(UnpluggedTransmitter, IsGoneForTheNextCommand) {
    EmulatedTransmitter transmitter;
    transmitter.injectFault(5, EmulatorFault::Unplug);

    expectFailure(readEeprom(transmitter), texts::keys::kCommandFail);
    expectFailure(readEeprom(transmitter), texts::keys::kDeviceNotFound);
    EXPECT_EQ(transmitter.openCount(), 1U);
    EXPECT_EQ(transmitter.closeCount(), 1U);
}

// Passes everything on to the emulated transmitter and notes each read's time-out.
class TimeoutObserver final : public testing::ForwardingTransport {
public:
    TimeoutObserver() : ForwardingTransport(transmitter) {}

    EmulatedTransmitter transmitter;
    std::vector<std::chrono::milliseconds> timeouts;

private:
    class Observed final : public testing::ForwardingConnection {
    public:
        Observed(std::unique_ptr<HidConnection> inner, std::vector<std::chrono::milliseconds>& timeouts)
            : ForwardingConnection(std::move(inner)), timeouts_(&timeouts) {}
        int readReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) override {
            timeouts_->push_back(timeout);
            return ForwardingConnection::readReport(buffer, timeout);
        }

    private:
        std::vector<std::chrono::milliseconds>* timeouts_;
    };

    std::unique_ptr<HidConnection> wrap(std::unique_ptr<HidConnection> connection) override {
        return std::make_unique<Observed>(std::move(connection), timeouts);
    }
};

TEST(ReplyWait, EveryReadIsBoundedByTheReplyTimeout) {
    TimeoutObserver observer;
    observer.transmitter.injectFault(40, EmulatorFault::NoReply);

    expectFailure(readEeprom(observer), texts::keys::kCommandFail);

    ASSERT_EQ(observer.timeouts.size(), 41U);
    for (const std::chrono::milliseconds timeout : observer.timeouts) {
        EXPECT_EQ(timeout, std::chrono::seconds(2));
    }
}

}  // namespace
}  // namespace vostrel::device
