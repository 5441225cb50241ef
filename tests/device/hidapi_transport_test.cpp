// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The real HID backend on a machine without the transmitter: the "not found" path
// runs through hidapi itself.

#include <gtest/gtest.h>

#include "device/eeprom_programmer.h"
#include "device/hidapi_transport.h"
#include "device_test_support.h"

namespace vostrel::device {
namespace {

using testing::expectFailure;

TEST(HidapiTransport, WithoutTheTransmitterReadAndWriteSayNotFound) {
    HidapiTransport transport;
    if (!transport.enumerate(kTransmitterVendorId, kTransmitterProductId).empty()) {
        GTEST_SKIP() << "a transmitter is attached to this machine";
    }

    expectFailure(readEeprom(transport), texts::keys::kDeviceNotFound);
    expectFailure(writeEeprom(transport, image::EepromImage{}, 17), texts::keys::kDeviceNotFound);
}

TEST(HidapiTransport, PathThatIsNoDeviceDoesNotOpen) {
    HidapiTransport transport;

    const OpenResult opened =
        transport.open(HidDeviceInfo{"/nonexistent/hidraw99", kTransmitterVendorId, kTransmitterProductId, 65, 65});

    EXPECT_EQ(opened.status, OpenStatus::Failed);
    EXPECT_EQ(opened.connection, nullptr);
}

}  // namespace
}  // namespace vostrel::device
