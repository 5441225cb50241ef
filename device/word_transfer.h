// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The word protocol: one output report per 16-bit EEPROM word, answered by one input
// report. The same code runs over every transport.
//
// Output report (the device's output report length, every other byte 0):
//   byte 0 report ID 0, byte 1 command, bytes 2-3 word low/high (write only),
//   byte 4 word address.
// Input report after a read-word: bytes 2-3 hold the word, low byte first.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "device/device_discovery.h"
#include "image/eeprom_image.h"

namespace vostrel::device {

// Called after each word exchange with (words done, words in all).
using TransferProgress = std::function<void(unsigned done, unsigned total)>;

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

// True when reports of these lengths can carry the protocol.
bool reportLengthsUsable(std::size_t inputReportLength, std::size_t outputReportLength);

// Reads words 0..255 in order; nothing unless every exchange succeeded.
std::optional<image::EepromImage> readImage(HidLink& link, const TransferProgress& progress = {});

// Reads words 0..wordCount-1 in order (the others are 0); nothing unless every exchange
// succeeded. `wordCount` is at most 256.
std::optional<image::EepromImage> readWords(HidLink& link, unsigned wordCount, const TransferProgress& progress = {});

struct WordWrite {
    unsigned address = 0;
    std::uint16_t value = 0;

    friend bool operator==(const WordWrite&, const WordWrite&) = default;
};

// The reports that bring words 0..wordCount-1 of `image` onto the device, in the order
// sent. Beyond the slot table: the table cleared (words 1-16 as 0), the transmissions,
// then the header and the table. Otherwise words 0..wordCount-1 in order.
std::vector<WordWrite> crashConsistentOrder(const image::EepromImage& image, unsigned wordCount);

// Writes words 0..wordCount-1 of `image` in crashConsistentOrder; false at the first
// failed exchange. Words already written stay written. `wordCount` is at most 256.
bool writeImage(HidLink& link, const image::EepromImage& image, unsigned wordCount,
                const TransferProgress& progress = {});

}  // namespace vostrel::device
