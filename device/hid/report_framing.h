// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Output reports as a device takes them, the same bytes on every platform.

#include <cstdint>
#include <span>
#include <vector>

#include "device/hid_transport.h"

namespace vostrel::device {

// `report` padded with zeros to the device's output report length (the system's HID
// access takes only whole reports, and only some hidapi backends pad), with report
// ID 0 in byte 0 replaced by the device's own output report ID: a device that
// numbers its reports knows no report 0. `report` must not be empty.
std::vector<std::uint8_t> frameOutputReport(std::span<const std::uint8_t> report, const ReportLayout& layout);

}  // namespace vostrel::device
