// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Several emulated transmitters on one bus, listed in the order given, the one at
// position n plugged into USB port "1-1.(n+2)". Each path is prefixed with the
// transmitter's position so that two in-memory ones stay apart.

#include <string>
#include <vector>

#include "device/emulator/emulated_transmitter.h"
#include "device/hid_transport.h"

namespace vostrel::device::testing {

inline std::string portOfPosition(std::size_t position) { return "1-1." + std::to_string(position + 2); }

class EmulatedBus final : public HidTransport {
public:
    explicit EmulatedBus(std::vector<EmulatedTransmitter*> transmitters) : transmitters_(std::move(transmitters)) {}

    std::vector<HidDeviceInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) override {
        std::vector<HidDeviceInfo> devices;
        for (std::size_t index = 0; index < transmitters_.size(); ++index) {
            for (HidDeviceInfo device : transmitters_[index]->enumerate(vendorId, productId)) {
                device.path = std::to_string(index) + "|" + device.path;
                device.location = portOfPosition(index);
                devices.push_back(device);
            }
        }
        return devices;
    }

    OpenResult open(const HidDeviceInfo& device) override {
        const std::size_t separator = device.path.find('|');
        HidDeviceInfo inner = device;
        inner.path = device.path.substr(separator + 1);
        inner.location.clear();
        return transmitters_.at(std::stoul(device.path.substr(0, separator)))->open(inner);
    }

private:
    std::vector<EmulatedTransmitter*> transmitters_;
};

}  // namespace vostrel::device::testing
