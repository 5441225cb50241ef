// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Report descriptors come from whatever device is plugged in: the parser must stay
// in bounds and keep its promises on any input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

#include "device/hid/report_descriptor.h"

using vostrel::device::parseReportLayout;
using vostrel::device::ReportLayout;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> descriptor(data, size);
    const std::optional<ReportLayout> layout = parseReportLayout(descriptor);
    if (!layout) return 0;
    // Items only ever add to reports, so a part of the descriptor that parses on its
    // own never describes longer reports than the whole.
    const std::optional<ReportLayout> half = parseReportLayout(descriptor.first(size / 2));
    if (half && (half->inputReportLength > layout->inputReportLength ||
                 half->outputReportLength > layout->outputReportLength ||
                 (half->numberedReports && !layout->numberedReports))) {
        std::abort();
    }
    return 0;
}
