// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Which transmitter a command ends up with, and what it says when it gets none.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_discovery.h"
#include "device/device_selection.h"
#include "device/device_survey.h"
#include "device/eeprom_programmer.h"
#include "device/emulator/emulated_transmitter.h"
#include "tests/device/device_test_support.h"
#include "tests/device/emulated_bus.h"

namespace vostrel::device {
namespace {

using testing::EmulatedBus;
using testing::expectFailure;
using testing::patternImage;

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
// command either reads the one transmitter it should use (the first, or the one named
// by its path or port), opened and closed once with every other match left unopened,
// or fails with the key and sends nothing.
TEST(DeviceDiscovery, WhichMatchIsUsedAndWhatIsSaidWhenNoneIs) {
    using enum EmulatorPresence;
    struct Case {
        const char* bus;
        std::vector<EmulatorPresence> presences;
        std::optional<std::size_t> used;  // the transmitter read, or none
        std::optional<texts::TextKey> failureKey;  // when none is used
        std::string chosen = {};  // a name as --device takes it; none takes the first
    };
    const Case cases[] = {
        {"nothing plugged in", {Absent}, std::nullopt, texts::keys::kDeviceNotFound},
        {"access denied", {AccessDenied}, std::nullopt, texts::keys::kDeviceAccessDenied},
        {"busy", {Busy}, std::nullopt, texts::keys::kDeviceBusy},
        {"denied, then one that opens", {AccessDenied, Present}, 1, std::nullopt},
        {"two that open: the first", {Present, Present}, 0, std::nullopt},
        {"absent and denied", {Absent, AccessDenied}, std::nullopt, texts::keys::kDeviceAccessDenied},
        {"busy outranks denied", {AccessDenied, Busy}, std::nullopt, texts::keys::kDeviceBusy},
        {"the second, named by its port", {Present, Present}, 1, std::nullopt, "1-1.3"},
        {"the second, named by its path in other case", {Present, Present}, 1, std::nullopt, "1|EMULATED:MEMORY"},
        {"a port as a Windows program prints it, line end and all", {Present, Present}, 1, std::nullopt, "1-1.3\r\n"},
        {"a port nothing is plugged into", {Present, Present}, std::nullopt, texts::keys::kDeviceNotFound, "1-1.9"},
        {"the named one busy, the first free", {Present, Busy}, std::nullopt, texts::keys::kDeviceBusy, "1-1.3"},
        {"the named one denied: the remedy", {Present, AccessDenied}, std::nullopt,
         texts::keys::kDeviceAccessDenied, "1-1.3"},
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
        EmulatedBus wholeBus(onBus);
        SelectedDevice named(wholeBus, c.chosen);
        HidTransport& bus = c.chosen.empty() ? static_cast<HidTransport&>(wholeBus) : named;

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

// The remedy under "access denied" is the transport's: an emulated transmitter's file
// needs no udev rule.
TEST(DeviceDiscovery, AccessDeniedCarriesTheTransportsRemedy) {
    EmulatedTransmitter denied = transmitterHolding(patternImage(), EmulatorPresence::AccessDenied);
    const ReadOutcome emulated = readEeprom(denied);
    expectFailure(emulated, texts::keys::kDeviceAccessDenied);
    EXPECT_FALSE(std::get<DeviceFailure>(emulated).remedy);

    struct WithRemedy final : public HidTransport {
        EmulatedTransmitter& inner;
        explicit WithRemedy(EmulatedTransmitter& transmitter) : inner(transmitter) {}
        std::vector<HidDeviceInfo> enumerate(std::uint16_t vendor, std::uint16_t product) override {
            return inner.enumerate(vendor, product);
        }
        OpenResult open(const HidDeviceInfo& device) override { return inner.open(device); }
        std::optional<texts::Message> accessDeniedRemedy() const override {
            return texts::Message{texts::keys::kCancel, texts::Title::Error, {}};
        }
    } system(denied);
    SelectedDevice named(system, "emulated:memory");
    const ReadOutcome read = readEeprom(named);
    expectFailure(read, texts::keys::kDeviceAccessDenied);
    ASSERT_TRUE(std::get<DeviceFailure>(read).remedy);
    EXPECT_EQ(std::get<DeviceFailure>(read).remedy->key, texts::keys::kCancel);
    EXPECT_FALSE(deviceFailure(DiscoveryFailure::Busy, system).remedy);
}

// Every transmitter on the bus in order; each read whole under its own lock, one at a
// time, a busy one said so and the others still read; without reads none is opened.
TEST(DeviceSurvey, ListsEveryTransmitterAndReadsEachThatCanBeRead) {
    using enum EmulatorPresence;
    std::vector<EmulatedTransmitter> transmitters;
    for (const EmulatorPresence presence : {Present, Busy, Present}) {
        transmitters.push_back(
            transmitterHolding(patternImage(static_cast<std::uint16_t>(0x1100 * (transmitters.size() + 1))), presence));
    }
    EmulatedBus bus({&transmitters[0], &transmitters[1], &transmitters[2]});

    const std::vector<SurveyedDevice> listed = surveyTransmitters(bus, SurveyReads::None);
    ASSERT_EQ(listed.size(), 3U);
    for (const SurveyedDevice& surveyed : listed) EXPECT_FALSE(surveyed.contents || surveyed.failure);
    for (const EmulatedTransmitter& transmitter : transmitters) EXPECT_EQ(transmitter.openCount(), 0U);

    const std::vector<SurveyedDevice> read = surveyTransmitters(bus, SurveyReads::Each);
    ASSERT_EQ(read.size(), 3U);
    for (std::size_t n = 0; n < read.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(read[n].device.location, testing::portOfPosition(n));
        if (n == 1) {
            ASSERT_TRUE(read[n].failure);
            EXPECT_EQ(read[n].failure->message.key, texts::keys::kDeviceBusy);
            EXPECT_FALSE(read[n].contents);
        } else {
            EXPECT_EQ(read[n].contents, patternImage(static_cast<std::uint16_t>(0x1100 * (n + 1))));
            EXPECT_FALSE(read[n].failure);
        }
        EXPECT_EQ(transmitters[n].openCount(), transmitters[n].closeCount());
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
