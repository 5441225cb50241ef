// A link that breaks anywhere in a transfer ends it with "USB Command fail": the
// device is closed once, a Read hands back no image, a Write stops at the broken word.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "device/eeprom_programmer.h"
#include "device/emulated_transmitter.h"
#include "device_test_support.h"

namespace vostrel::device {
namespace {

using testing::expectFailure;
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

void expectTransferEndsAt(Direction direction, EmulatorFault fault, unsigned brokenWord) {
    SCOPED_TRACE((direction == Direction::Read ? "Read, " : "Write, ") + faultName(fault) + " at word " +
                 std::to_string(brokenWord));
    EmulatedTransmitter transmitter;
    transmitter.setEeprom(patternImage());
    transmitter.injectFault(brokenWord, fault);
    const image::EepromImage written = patternImage(0xC300);

    if (direction == Direction::Read) {
        expectFailure(readEeprom(transmitter), texts::keys::kCommandFail);
    } else {
        expectFailure(writeEeprom(transmitter, written, image::kImageWords), texts::keys::kCommandFail);
    }

    EXPECT_EQ(transmitter.openCount(), 1U);
    EXPECT_EQ(transmitter.closeCount(), 1U);
    const unsigned taken = brokenWord + (reportTaken(fault) ? 1 : 0);
    EXPECT_EQ(transmitter.receivedReports().size(), taken);
    const image::EepromImage& expected = direction == Direction::Write ? written : patternImage();
    for (unsigned word = 0; word < image::kImageWords; ++word) {
        ASSERT_EQ(transmitter.eeprom().word(word), word < taken ? expected.word(word) : patternImage().word(word))
            << "word " << word;
    }
}

// Every fault at every word of a Read and of a whole-image Write.
TEST(TransferFault, AtEveryWordEndsInCommandFailWithTheDeviceClosedOnce) {
    for (const Direction direction : {Direction::Read, Direction::Write}) {
        for (const EmulatorFault fault : {EmulatorFault::RefuseSend, EmulatorFault::ShortSend, EmulatorFault::NoReply,
                                          EmulatorFault::ShortReply, EmulatorFault::Unplug}) {
            for (unsigned word = 0; word < image::kImageWords; ++word) expectTransferEndsAt(direction, fault, word);
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
class TimeoutObserver final : public HidTransport {
public:
    std::vector<HidDeviceInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) override {
        return transmitter.enumerate(vendorId, productId);
    }

    OpenResult open(const HidDeviceInfo& device) override {
        OpenResult opened = transmitter.open(device);
        if (opened.connection) opened.connection = std::make_unique<Observed>(std::move(opened.connection), timeouts);
        return opened;
    }

    EmulatedTransmitter transmitter;
    std::vector<std::chrono::milliseconds> timeouts;

private:
    class Observed final : public HidConnection {
    public:
        Observed(std::unique_ptr<HidConnection> inner, std::vector<std::chrono::milliseconds>& timeouts)
            : inner_(std::move(inner)), timeouts_(&timeouts) {}
        int writeReport(std::span<const std::uint8_t> report) override { return inner_->writeReport(report); }
        int readReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) override {
            timeouts_->push_back(timeout);
            return inner_->readReport(buffer, timeout);
        }

    private:
        std::unique_ptr<HidConnection> inner_;
        std::vector<std::chrono::milliseconds>* timeouts_;
    };
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
