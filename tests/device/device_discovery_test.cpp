// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Which transmitter a command ends up with, and what it says when it gets none.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "device/device_discovery.h"
#include "device/eeprom_programmer.h"
#include "device/emulated_transmitter.h"
#include "device_test_support.h"

namespace vostrel::device {
namespace {

using testing::expectFailure;
using testing::patternImage;

// Several emulated transmitters on one bus, listed in the order given. Each path is
// prefixed with its transmitter's position so that two in-memory ones stay apart.
class EmulatedBus final : public HidTransport {
public:
    explicit EmulatedBus(std::vector<EmulatedTransmitter*> transmitters) : transmitters_(std::move(transmitters)) {}

    std::vector<HidDeviceInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) override {
        std::vector<HidDeviceInfo> devices;
        for (std::size_t index = 0; index < transmitters_.size(); ++index) {
            for (HidDeviceInfo device : transmitters_[index]->enumerate(vendorId, productId)) {
                device.path = std::to_string(index) + "|" + device.path;
                devices.push_back(device);
            }
        }
        return devices;
    }

    OpenResult open(const HidDeviceInfo& device) override {
        const std::size_t separator = device.path.find('|');
        HidDeviceInfo inner = device;
        inner.path = device.path.substr(separator + 1);
        return transmitters_.at(std::stoul(device.path.substr(0, separator)))->open(inner);
    }

private:
    std::vector<EmulatedTransmitter*> transmitters_;
};

EmulatedTransmitter transmitterHolding(const image::EepromImage& contents,
                                       EmulatorPresence presence = EmulatorPresence::Present) {
    EmulatedTransmitter transmitter;
    transmitter.setEeprom(contents);
    transmitter.setPresence(presence);
    return transmitter;
}

image::EepromImage readContents(HidTransport& transport) {
    ReadOutcome outcome = readEeprom(transport);
    EXPECT_TRUE(std::holds_alternative<image::EepromImage>(outcome)) << "the Read failed";
    auto* image = std::get_if<image::EepromImage>(&outcome);
    return image ? *image : image::EepromImage{};
}

TEST(DeviceDiscovery, NothingPluggedInIsNotFound) {
    EmulatedTransmitter transmitter;
    transmitter.setPresence(EmulatorPresence::Absent);

    expectFailure(readEeprom(transmitter), texts::keys::kDeviceNotFound);
    expectFailure(writeEeprom(transmitter, patternImage(), 17), texts::keys::kDeviceNotFound);
    EXPECT_EQ(transmitter.openCount(), 0U);
}

TEST(DeviceDiscovery, DeviceOfAnotherProductIsNeverOpened) {
    EmulatorOptions options;
    options.productId = kTransmitterProductId + 1;
    EmulatedTransmitter other(options);

    expectFailure(readEeprom(other), texts::keys::kDeviceNotFound);
    EXPECT_EQ(other.openCount(), 0U);
}

TEST(DeviceDiscovery, MatchThatCannotBeOpenedSaysWhyAndSendsNothing) {
    const std::pair<EmulatorPresence, std::string_view> cases[] = {
        {EmulatorPresence::AccessDenied, texts::keys::kDeviceAccessDenied},
        {EmulatorPresence::Busy, texts::keys::kDeviceBusy},
    };
    for (const auto& [presence, key] : cases) {
        SCOPED_TRACE(key);
        EmulatedTransmitter transmitter;
        transmitter.setPresence(presence);

        expectFailure(readEeprom(transmitter), key);
        expectFailure(writeEeprom(transmitter, patternImage(), 17), key);
        EXPECT_EQ(transmitter.openCount(), 0U);
        EXPECT_TRUE(transmitter.receivedReports().empty());
    }
}

TEST(DeviceDiscovery, DeniedMatchIsPassedOverForOneThatOpens) {
    EmulatedTransmitter denied = transmitterHolding(patternImage(0x1100), EmulatorPresence::AccessDenied);
    EmulatedTransmitter usable = transmitterHolding(patternImage(0x2200));
    EmulatedBus bus({&denied, &usable});

    EXPECT_EQ(readContents(bus), patternImage(0x2200));
    EXPECT_EQ(usable.openCount(), 1U);
    EXPECT_EQ(usable.closeCount(), 1U);
}

TEST(DeviceDiscovery, FirstOfTwoMatchesIsUsedAndTheOtherNeverOpened) {
    EmulatedTransmitter first = transmitterHolding(patternImage(0x1100));
    EmulatedTransmitter second = transmitterHolding(patternImage(0x2200));
    EmulatedBus bus({&first, &second});

    EXPECT_EQ(readContents(bus), patternImage(0x1100));
    EXPECT_EQ(first.closeCount(), 1U);
    EXPECT_EQ(second.openCount(), 0U);
}

TEST(DeviceDiscovery, DeniedAndAbsentMatchesAreAccessDeniedAndBusyOutranksDenied) {
    EmulatedTransmitter absent = transmitterHolding(patternImage(), EmulatorPresence::Absent);
    EmulatedTransmitter denied = transmitterHolding(patternImage(), EmulatorPresence::AccessDenied);
    EmulatedBus bus({&absent, &denied});
    expectFailure(readEeprom(bus), texts::keys::kDeviceAccessDenied);

    EmulatedTransmitter busy = transmitterHolding(patternImage(), EmulatorPresence::Busy);
    EmulatedBus busyBus({&denied, &busy});
    expectFailure(readEeprom(busyBus), texts::keys::kDeviceBusy);
}

TEST(DeviceDiscovery, LinkCarriesTheDevicesReportLengthsAndClosesWhenDropped) {
    EmulatedTransmitter transmitter(testing::withReportLengths(9, 33));
    {
        Discovery found = findDevice(transmitter, kTransmitterVendorId, kTransmitterProductId);
        ASSERT_TRUE(std::holds_alternative<HidLink>(found));
        const HidLink& link = std::get<HidLink>(found);
        EXPECT_NE(link.connection, nullptr);
        EXPECT_EQ(link.inputReportLength, 9);
        EXPECT_EQ(link.outputReportLength, 33);
        EXPECT_EQ(link.vendorId, kTransmitterVendorId);
        EXPECT_EQ(link.productId, kTransmitterProductId);
        EXPECT_EQ(transmitter.closeCount(), 0U);
    }
    EXPECT_EQ(transmitter.closeCount(), 1U);
}

}  // namespace
}  // namespace vostrel::device
