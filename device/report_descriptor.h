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

namespace vostrel::device {

struct ReportLayout {
    // 0 when the device has no report of that kind; saturates at 65535.
    std::uint16_t inputReportLength = 0;
    std::uint16_t outputReportLength = 0;
    // True when the descriptor declares report IDs: every report then starts with
    // its own ID byte on the wire, and no ID byte is dropped on reading.
    bool numberedReports = false;
    // The report ID of the longest output report; 0 when reports are unnumbered.
    std::uint8_t outputReportId = 0;
};

// The lengths described by `descriptor`, or nothing when it is malformed: an item
// running past the end, a Pop without a Push, Push nesting deeper than a device
// needs, or report ID 0.
std::optional<ReportLayout> parseReportLayout(std::span<const std::uint8_t> descriptor);

}  // namespace vostrel::device
