// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// One transmitter of several, named by the user: its path as `vostrel-cli devices`
// prints it, or the USB port it is plugged into (HidDeviceInfo::location). Without a
// name every command takes the first match.

#include <memory>
#include <string>
#include <string_view>

#include "device/hid_transport.h"

namespace vostrel::device {

// True when `name` is the device's path or its port location. Letters match in either
// case (Windows spells its device paths both ways); blanks and line ends around the
// name are left out.
bool namesDevice(std::string_view name, const HidDeviceInfo& device);

// The port a transmitter's name is kept by (files/transmitter_names.h): the port it is
// plugged into, else its path where the system names no port.
std::string portOf(const HidDeviceInfo& device);

// The transport narrowed to the device `name` names: a command finds that one or none,
// never another that happens to come first.
class SelectedDevice final : public HidTransport {
public:
    SelectedDevice(HidTransport& transport, std::string name);
    SelectedDevice(std::unique_ptr<HidTransport> transport, std::string name);

    const std::string& name() const { return name_; }

    std::vector<HidDeviceInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) override;
    OpenResult open(const HidDeviceInfo& device) override;
    std::optional<texts::Message> accessDeniedRemedy() const override;

private:
    std::unique_ptr<HidTransport> owned_;
    HidTransport& transport_;
    std::string name_;
};

}  // namespace vostrel::device
