// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The small HID surface the word transfer needs: list matching devices, open one,
// send one output report, read one input report with a time-out, close. The system's
// HID access implements it in device/hid/, the emulated transmitter in
// device/emulator/.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "texts/message.h"

namespace vostrel::device {

// How a device frames its reports, as its report descriptor (or the system's HID
// capabilities) tells it.
struct ReportLayout {
    // The largest input and output report in bytes, report-ID byte included (one byte
    // even for unnumbered reports); 0 when unknown or absent, saturating at 65535.
    std::uint16_t inputReportLength = 0;
    std::uint16_t outputReportLength = 0;
    // True when the device numbers its reports: every report then starts with its own
    // ID byte on the wire, and no ID byte is dropped on reading.
    bool numberedReports = false;
    // The report ID of the longest output report; 0 when reports are unnumbered.
    std::uint8_t outputReportId = 0;
};

// A present device as enumeration finds it. Its report layout is read once, here, so
// that opening it need not ask the device again.
struct HidDeviceInfo {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    ReportLayout reports;
    // The USB port the device is plugged into, which stays the same across boots while
    // paths need not (hidraw numbers follow the order devices were found in): on Linux
    // the port path from sysfs ("1-1.3"), on Windows the device's location path. Empty
    // where the system names none.
    std::string location;
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
    // What the user can do when this system denies access to a device, shown beneath
    // "USB Device found, but access denied"; nothing where no step of the user's helps.
    virtual std::optional<texts::Message> accessDeniedRemedy() const { return std::nullopt; }
};

// An open transmitter, owned by one command. Destroying it closes the device.
struct HidLink {
    std::unique_ptr<HidConnection> connection;
    // Report lengths in bytes, report-ID byte included.
    std::uint16_t inputReportLength = 0;
    std::uint16_t outputReportLength = 0;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    // The device as the transport names it (HidDeviceInfo::path).
    std::string path;
    // Its port (HidDeviceInfo::location); empty where the system names none.
    std::string location;
};

}  // namespace vostrel::device
