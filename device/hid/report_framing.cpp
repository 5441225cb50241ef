// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "device/hid/report_framing.h"

#include <algorithm>

namespace vostrel::device {

std::vector<std::uint8_t> frameOutputReport(std::span<const std::uint8_t> report, const ReportLayout& layout) {
    std::vector<std::uint8_t> framed(std::max<std::size_t>(report.size(), layout.outputReportLength), 0);
    std::ranges::copy(report, framed.begin());
    if (framed[0] == 0) framed[0] = layout.outputReportId;
    return framed;
}

}  // namespace vostrel::device
