// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The three transmitter settings and their header word (word 0 of the image):
// bits 0-9 preamble length, 10-11 repeat index, 12-13 data-rate index, 14-15 zero.

#include <array>
#include <cstdint>

#include "image/eeprom_image.h"

namespace vostrel::image {

inline constexpr unsigned kMinPreambleBits = 576;
inline constexpr unsigned kMaxPreambleBits = 1023;
// bps of data-rate indexes 0 to 2; index 3 names no rate.
inline constexpr std::array<unsigned, 3> kDataRates = {512, 1200, 2400};
inline constexpr unsigned kRepeatChoices = 4;  // index 0..3 means 1..4 times

struct TransmitterSettings {
    unsigned dataRateIndex = 1;
    unsigned preambleBits = 1023;
    unsigned repeatIndex = 1;

    friend bool operator==(const TransmitterSettings&, const TransmitterSettings&) = default;
};

void storeHeader(EepromImage& image, const TransmitterSettings& settings);
TransmitterSettings loadHeader(const EepromImage& image);

}  // namespace vostrel::image
