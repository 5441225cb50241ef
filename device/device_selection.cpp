// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "device/device_selection.h"

#include <algorithm>
#include <cctype>

namespace vostrel::device {
namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// Blanks and line ends around a name are no part of it: a path taken from the output
// of a program on Windows ends in a carriage return.
std::string_view trimmed(std::string_view name) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!name.empty() && blank(name.front())) name.remove_prefix(1);
    while (!name.empty() && blank(name.back())) name.remove_suffix(1);
    return name;
}

}  // namespace

bool namesDevice(std::string_view name, const HidDeviceInfo& device) {
    name = trimmed(name);
    if (name.empty()) return false;
    return sameIgnoringCase(name, device.path) || sameIgnoringCase(name, device.location);
}

std::string portOf(const HidDeviceInfo& device) { return device.location.empty() ? device.path : device.location; }

SelectedDevice::SelectedDevice(HidTransport& transport, std::string name)
    : transport_(transport), name_(std::move(name)) {}

SelectedDevice::SelectedDevice(std::unique_ptr<HidTransport> transport, std::string name)
    : owned_(std::move(transport)), transport_(*owned_), name_(std::move(name)) {}

std::vector<HidDeviceInfo> SelectedDevice::enumerate(std::uint16_t vendorId, std::uint16_t productId) {
    std::vector<HidDeviceInfo> devices = transport_.enumerate(vendorId, productId);
    std::erase_if(devices, [this](const HidDeviceInfo& device) { return !namesDevice(name_, device); });
    return devices;
}

OpenResult SelectedDevice::open(const HidDeviceInfo& device) { return transport_.open(device); }

std::optional<texts::Message> SelectedDevice::accessDeniedRemedy() const { return transport_.accessDeniedRemedy(); }

}  // namespace vostrel::device
