// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Finds the transmitter among the present HID devices and opens it.

#include <cstdint>
#include <variant>

#include "device/hid_transport.h"

namespace vostrel::device {

enum class DiscoveryFailure {
    NotFound,
    // At least one match was present but none could be opened (on Linux almost
    // always missing permissions on the device node).
    AccessDenied,
    // A match was present but another program holds it (and no other match opened).
    Busy,
};

using Discovery = std::variant<HidLink, DiscoveryFailure>;

// Opens the first device in enumeration order whose vendor and product match
// exactly. Matches that cannot be opened are passed over; later matches are never
// opened once one is.
Discovery findDevice(HidTransport& transport, std::uint16_t vendorId, std::uint16_t productId);

// Opens one device as enumeration listed it, or says why it cannot be had.
Discovery openDevice(HidTransport& transport, const HidDeviceInfo& device);

}  // namespace vostrel::device
