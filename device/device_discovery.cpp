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
                   device.vendorId, device.productId, device.path, device.location};
}

}  // namespace

Discovery openDevice(HidTransport& transport, const HidDeviceInfo& device) {
    OpenResult opened = transport.open(device);
    if (opened.status == OpenStatus::Opened && opened.connection) return linkTo(device, std::move(opened.connection));
    switch (opened.status) {
        case OpenStatus::AccessDenied: return DiscoveryFailure::AccessDenied;
        case OpenStatus::Busy: return DiscoveryFailure::Busy;
        case OpenStatus::Opened:  // without a connection
        case OpenStatus::Failed: break;
    }
    return DiscoveryFailure::NotFound;
}

Discovery findDevice(HidTransport& transport, std::uint16_t vendorId, std::uint16_t productId) {
    bool denied = false;
    bool busy = false;
    for (const HidDeviceInfo& device : transport.enumerate(vendorId, productId)) {
        // The transport filters already; the exact comparison is the contract.
        if (!matches(device, vendorId, productId)) continue;
        Discovery opened = openDevice(transport, device);
        const auto* failure = std::get_if<DiscoveryFailure>(&opened);
        if (failure == nullptr) return opened;
        denied = denied || *failure == DiscoveryFailure::AccessDenied;
        busy = busy || *failure == DiscoveryFailure::Busy;
    }
    if (busy) return DiscoveryFailure::Busy;
    return denied ? DiscoveryFailure::AccessDenied : DiscoveryFailure::NotFound;
}

}  // namespace vostrel::device
