// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The small HID surface the word transfer needs: list matching devices, open one,
// send one output report, read one input report with a time-out, close. Two
// implementations: hidapi for real hardware and an emulated transmitter.

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vostrel::device {

struct HidDeviceInfo {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    // Report lengths in bytes, report-ID byte included; 0 when unknown.
    std::uint16_t inputReportLength = 0;
    std::uint16_t outputReportLength = 0;
};

// An open device. Closing happens when the connection is destroyed, exactly once.
class HidConnection {
public:
    virtual ~HidConnection() = default;
    // Sends one output report; byte 0 is the report ID. Returns the bytes sent, or -1.
    virtual int writeReport(std::span<const std::uint8_t> report) = 0;
    // Reads one input report into `buffer` as the device sends it, report-ID byte
    // first (0 for unnumbered reports). Returns the bytes read, 0 on time-out, -1 on error.
    virtual int readReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) = 0;
};

// Busy: another program holds the device; it is never shared, because every open
// file of a HID device receives every reply and two transfers would take each
// other's words.
enum class OpenStatus { Opened, AccessDenied, Busy, Failed };

struct OpenResult {
    OpenStatus status = OpenStatus::Failed;
    std::unique_ptr<HidConnection> connection;  // set when Opened
};

class HidTransport {
public:
    virtual ~HidTransport() = default;
    // Present HID devices with this vendor and product, in enumeration order.
    virtual std::vector<HidDeviceInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) = 0;
    virtual OpenResult open(const HidDeviceInfo& device) = 0;
};

}  // namespace vostrel::device
