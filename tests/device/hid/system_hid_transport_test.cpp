// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The system's HID access on a machine without the transmitter: the "not found" path
// runs through hidapi, or Windows' SetupAPI, itself.

#include <gtest/gtest.h>

#include "device/eeprom_programmer.h"
#include "device/hid/system_hid_transport.h"
#include "tests/device/device_test_support.h"

namespace vostrel::device {
namespace {

using testing::expectFailure;

#if defined(_WIN32)
constexpr const char* kPathOfNoDevice = R"(\\?\hid#vid_0925&pid_1234#nonexistent)";
#else
constexpr const char* kPathOfNoDevice = "/nonexistent/hidraw99";
#endif

TEST(SystemHidTransport, WithoutTheTransmitterReadAndWriteSayNotFound) {
    const std::unique_ptr<HidTransport> transport = makeSystemHidTransport();
    if (!transport->enumerate(kTransmitterVendorId, kTransmitterProductId).empty()) {
        GTEST_SKIP() << "a transmitter is attached to this machine";
    }

    expectFailure(readEeprom(*transport), texts::keys::kDeviceNotFound);
    expectFailure(testing::writeOnly(*transport, image::EepromImage{}, 17), texts::keys::kDeviceNotFound);
}

TEST(SystemHidTransport, PathThatIsNoDeviceDoesNotOpen) {
    const std::unique_ptr<HidTransport> transport = makeSystemHidTransport();

    const OpenResult opened = transport->open(
        HidDeviceInfo{kPathOfNoDevice, kTransmitterVendorId, kTransmitterProductId, ReportLayout{65, 65}});

    EXPECT_EQ(opened.status, OpenStatus::Failed);
    EXPECT_EQ(opened.connection, nullptr);
}

}  // namespace
}  // namespace vostrel::device
