// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Real HID devices through hidapi. Report lengths come from each device's report
// descriptor; devices whose descriptor cannot be read are listed with lengths 0,
// which the word transfer refuses.

#include "device/hid_transport.h"

namespace vostrel::device {

class HidapiTransport final : public HidTransport {
public:
    // Initialises hidapi; throws std::runtime_error when it cannot.
    HidapiTransport();
    // Shuts hidapi down once the last transport is gone. Connections must not
    // outlive the transport that opened them.
    ~HidapiTransport() override;
    HidapiTransport(const HidapiTransport&) = delete;
    HidapiTransport& operator=(const HidapiTransport&) = delete;

    std::vector<HidDeviceInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) override;
    OpenResult open(const HidDeviceInfo& device) override;
    // On Linux the udev rule that gives the user at the seat the transmitter's node.
    std::optional<texts::Message> accessDeniedRemedy() const override;
};

}  // namespace vostrel::device
