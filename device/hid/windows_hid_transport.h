// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Real HID devices through Windows' own HID class library and SetupAPI. Report
// lengths come from each device's HID capabilities.

#include "device/hid_transport.h"

namespace vostrel::device {

class WindowsHidTransport final : public HidTransport {
public:
    // Present HID device interfaces with this vendor and product. Every HID device is
    // asked for its attributes without read or write access, so keyboards and other
    // devices the system holds are looked at without being disturbed.
    std::vector<HidDeviceInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) override;
    // Opens for overlapped reading and writing, shared as the HID class expects, and
    // holds the device's exclusive lock while the connection lives. The connection
    // must be destroyed on the thread that opened it (the lock belongs to that thread).
    OpenResult open(const HidDeviceInfo& device) override;
};

}  // namespace vostrel::device
