// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Report lengths from a HID report descriptor, as the operating system's HID
// capabilities give them: the largest input and output report in bytes, report-ID
// byte included (one byte even for unnumbered reports). Needed where the HID library
// does not tell the lengths itself. The descriptor comes from the device, so it is
// treated as untrusted input.

#include <cstdint>
#include <optional>
#include <span>

#include "device/hid_transport.h"

namespace vostrel::device {

// The lengths described by `descriptor`, or nothing when it is malformed: an item
// running past the end, a Pop without a Push, Push nesting deeper than a device
// needs, or report ID 0.
std::optional<ReportLayout> parseReportLayout(std::span<const std::uint8_t> descriptor);

}  // namespace vostrel::device
