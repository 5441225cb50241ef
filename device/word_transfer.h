// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The word protocol (its reports are laid out in device/transmitter.h): whole images
// read and written one word per exchange. The same code runs over every transport.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "device/hid_transport.h"
#include "device/transmitter.h"
#include "image/eeprom_image.h"

namespace vostrel::device {

// Called after each word exchange with (words done, words in all).
using TransferProgress = std::function<void(unsigned done, unsigned total)>;

// True when reports of these lengths can carry the protocol.
bool reportLengthsUsable(std::size_t inputReportLength, std::size_t outputReportLength);

// Reads words 0..255 in order; nothing unless every exchange succeeded.
std::optional<image::EepromImage> readAllWords(HidLink& link, const TransferProgress& progress = {});

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
bool writeWords(HidLink& link, const image::EepromImage& image, unsigned wordCount,
                const TransferProgress& progress = {});

}  // namespace vostrel::device
