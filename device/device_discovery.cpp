// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "device/device_discovery.h"

namespace vostrel::device {

namespace {

bool matches(const HidDeviceInfo& device, std::uint16_t vendorId, std::uint16_t productId) {
    return device.vendorId == vendorId && device.productId == productId;
}

HidLink linkTo(const HidDeviceInfo& device, std::unique_ptr<HidConnection> connection) {
    return HidLink{std::move(connection), device.reports.inputReportLength, device.reports.outputReportLength,
                   device.vendorId, device.productId, device.path};
}

}  // namespace

Discovery findDevice(HidTransport& transport, std::uint16_t vendorId, std::uint16_t productId) {
    bool denied = false;
    bool busy = false;
    for (const HidDeviceInfo& device : transport.enumerate(vendorId, productId)) {
        // The transport filters already; the exact comparison is the contract.
        if (!matches(device, vendorId, productId)) continue;
        OpenResult opened = transport.open(device);
        if (opened.status == OpenStatus::Opened && opened.connection) {
            return linkTo(device, std::move(opened.connection));
        }
        denied = denied || opened.status == OpenStatus::AccessDenied;
        busy = busy || opened.status == OpenStatus::Busy;
    }
    if (busy) return DiscoveryFailure::Busy;
    return denied ? DiscoveryFailure::AccessDenied : DiscoveryFailure::NotFound;
}

}  // namespace vostrel::device
