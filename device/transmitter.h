// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The transmitter as the USB bus sees it: its identifiers and the two reports of the
// word protocol. One output report per 16-bit EEPROM word, answered by one input report.
//
// Output report (the device's output report length, every other byte 0):
//   byte 0 report ID 0, byte 1 command, bytes 2-3 word low/high (write only),
//   byte 4 word address.
// Input report after a read-word: bytes 2-3 hold the word, low byte first.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vostrel::device {

inline constexpr std::uint16_t kTransmitterVendorId = 0x0925;
inline constexpr std::uint16_t kTransmitterProductId = 0x1234;
// The udev rule that gives the user at the local seat access to the transmitter's
// hidraw node (packaging/udev/, installed by the Debian package).
inline constexpr std::string_view kUdevRuleFile = "70-vostrel-transmitter.rules";

enum class WordCommand : std::uint8_t { ReadWord = 2, WriteWord = 3 };

inline constexpr std::size_t kCommandByte = 1;
inline constexpr std::size_t kLowByte = 2;
inline constexpr std::size_t kHighByte = 3;
inline constexpr std::size_t kAddressByte = 4;
inline constexpr std::size_t kMinOutputReportLength = kAddressByte + 1;
inline constexpr std::size_t kMinInputReportLength = kHighByte + 1;
// No HID report is longer; anything above is a broken descriptor, not a device.
inline constexpr std::size_t kMaxReportLength = 4096;
// How long one exchange may wait for the device's reply.
inline constexpr std::chrono::milliseconds kReplyTimeout{2000};

}  // namespace vostrel::device
