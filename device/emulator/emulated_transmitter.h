// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// A transmitter in software: one HID device whose 512-byte EEPROM answers the
// read-word and write-word reports as the real device does, optionally kept in a
// file, and able to fail on request. It records all traffic so that tests and the
// command-line tool can run the whole Read and Write path without hardware.

#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/transmitter.h"
#include "device/exclusive_lock.h"
#include "device/hid_transport.h"
#include "image/eeprom_image.h"

namespace vostrel::device {

struct EmulatorOptions {
    std::uint16_t inputReportLength = 65;
    std::uint16_t outputReportLength = 65;
    std::uint16_t vendorId = kTransmitterVendorId;
    std::uint16_t productId = kTransmitterProductId;
    // The EEPROM's file: a missing or empty file is made erased (all 0xFF) when the
    // device is first opened, and every stored word is written into it at once, in
    // place. Any other file must be an image (image::isImageFile), so that a
    // configuration named in its place is never written over. While a
    // connection is open the file is locked: another program opening it is told the
    // device is busy, and a file without write permission is a device whose access is
    // denied. Without a file the EEPROM lives in memory, erased.
    std::optional<std::filesystem::path> backingFile;
    // False for a command that only looks (vostrel-cli devices, verify, read): a missing
    // file is then an erased EEPROM in memory, and no file is made.
    bool makeMissingFile = true;
    // How long opening waits for another program to let go of the file.
    std::chrono::milliseconds lockWait = ExclusiveLock::kDefaultWait;
    // How long the device takes over each report it receives.
    std::chrono::microseconds latency{0};
};

enum class EmulatorPresence {
    Present,
    Absent,        // not plugged in: enumeration finds nothing
    AccessDenied,  // listed, but opening it is refused for lack of permission
    Busy,          // listed, but another program holds it
};

enum class EmulatorFault {
    RefuseSend,  // the send call fails
    ShortSend,   // the send call reports fewer bytes than given; the device ignores it
    NoReply,     // the report is taken but never answered: the read times out
    ShortReply,  // the reply is one byte shorter than the input report
    Unplug,      // the device vanishes: this send and every later call fail
};

class EmulatedTransmitter final : public HidTransport {
public:
    // Throws std::runtime_error naming the file when the backing file cannot be read
    // or is not an image (also when a connection opens it).
    explicit EmulatedTransmitter(EmulatorOptions options = {});
    ~EmulatedTransmitter() override;
    // Only while no connection is open: a connection refers to its transmitter.
    EmulatedTransmitter(EmulatedTransmitter&&) noexcept;
    EmulatedTransmitter& operator=(EmulatedTransmitter&&) noexcept;

    std::vector<HidDeviceInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) override;
    // The connection must not outlive this transmitter.
    OpenResult open(const HidDeviceInfo& device) override;

    // "emulated:" followed by the backing file, or "emulated:memory".
    std::string path() const;

    void setPresence(EmulatorPresence presence);
    // Makes the send of report `reportIndex` (0-based, counting every send since
    // this transmitter was made, across connections) fail as `fault` says.
    void injectFault(unsigned reportIndex, EmulatorFault fault);

    const image::EepromImage& eeprom() const;
    // Replaces the EEPROM contents, saving them when file-backed (throws
    // std::runtime_error when the file cannot be opened or written).
    void setEeprom(const image::EepromImage& contents);

    unsigned openCount() const;
    unsigned closeCount() const;
    // Every report the device accepted, in order, byte for byte.
    const std::vector<std::vector<std::uint8_t>>& receivedReports() const;

private:
    class Connection;
    class EepromFile;

    int acceptReport(std::span<const std::uint8_t> report);
    int deliverReply(std::span<std::uint8_t> buffer);
    void connectionClosed();
    std::optional<std::vector<std::uint8_t>> handleRequest(std::span<const std::uint8_t> report);
    std::optional<EmulatorFault> faultAt(unsigned reportIndex) const;

    EmulatorOptions options_;
    image::EepromImage eeprom_;
    std::unique_ptr<EepromFile> file_;  // the locked backing file, while a connection is open
    EmulatorPresence presence_ = EmulatorPresence::Present;
    std::map<unsigned, EmulatorFault> faults_;
    bool unplugged_ = false;
    unsigned sendCount_ = 0;
    unsigned openCount_ = 0;
    unsigned closeCount_ = 0;
    std::deque<std::vector<std::uint8_t>> pendingReplies_;
    std::vector<std::vector<std::uint8_t>> receivedReports_;
};

}  // namespace vostrel::device
