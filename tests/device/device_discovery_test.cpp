// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Which transmitter a command ends up with, and what it says when it gets none.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_discovery.h"
#include "device/eeprom_programmer.h"
#include "device/emulator/emulated_transmitter.h"
#include "tests/device/device_test_support.h"

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

// Each transmitter on the bus holds patternImage(0x1100 * its position + 0x1100). A
// command either reads the one transmitter it should use, opened and closed once with
// every other match left unopened, or fails with the key and sends nothing.
TEST(DeviceDiscovery, WhichMatchIsUsedAndWhatIsSaidWhenNoneIs) {
    using enum EmulatorPresence;
    struct Case {
        const char* bus;
        std::vector<EmulatorPresence> presences;
        std::optional<std::size_t> used;  // the transmitter read, or none
        std::optional<texts::TextKey> failureKey;  // when none is used
    };
    const Case cases[] = {
        {"nothing plugged in", {Absent}, std::nullopt, texts::keys::kDeviceNotFound},
        {"access denied", {AccessDenied}, std::nullopt, texts::keys::kDeviceAccessDenied},
        {"busy", {Busy}, std::nullopt, texts::keys::kDeviceBusy},
        {"denied, then one that opens", {AccessDenied, Present}, 1, std::nullopt},
        {"two that open: the first", {Present, Present}, 0, std::nullopt},
        {"absent and denied", {Absent, AccessDenied}, std::nullopt, texts::keys::kDeviceAccessDenied},
        {"busy outranks denied", {AccessDenied, Busy}, std::nullopt, texts::keys::kDeviceBusy},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bus);
        std::vector<EmulatedTransmitter> transmitters;
        for (std::size_t n = 0; n < c.presences.size(); ++n) {
            transmitters.push_back(
                transmitterHolding(patternImage(static_cast<std::uint16_t>(0x1100 * (n + 1))), c.presences[n]));
        }
        std::vector<EmulatedTransmitter*> onBus;
        for (EmulatedTransmitter& transmitter : transmitters) onBus.push_back(&transmitter);
        EmulatedBus bus(onBus);

        if (c.used) {
            EXPECT_EQ(readContents(bus), patternImage(static_cast<std::uint16_t>(0x1100 * (*c.used + 1))));
        } else {
            expectFailure(readEeprom(bus), *c.failureKey);
            expectFailure(testing::writeOnly(bus, patternImage(), 17), *c.failureKey);
        }
        for (std::size_t n = 0; n < transmitters.size(); ++n) {
            const unsigned opens = c.used == n ? 1U : 0U;
            EXPECT_EQ(transmitters[n].openCount(), opens) << "transmitter " << n;
            EXPECT_EQ(transmitters[n].closeCount(), opens) << "transmitter " << n;
            if (c.used != n) {
                EXPECT_TRUE(transmitters[n].receivedReports().empty()) << "transmitter " << n;
            }
        }
    }
}

TEST(DeviceDiscovery, DeviceOfAnotherProductIsNeverOpened) {
    EmulatorOptions options;
    options.productId = kTransmitterProductId + 1;
    EmulatedTransmitter other(options);

    expectFailure(readEeprom(other), texts::keys::kDeviceNotFound);
    EXPECT_EQ(other.openCount(), 0U);
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
