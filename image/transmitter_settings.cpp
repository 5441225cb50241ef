// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "image/transmitter_settings.h"

namespace vostrel::image {

void storeHeader(EepromImage& image, const TransmitterSettings& settings) {
    image.bytes[0] = static_cast<std::uint8_t>(settings.preambleBits & 0xFFU);
    image.bytes[1] = static_cast<std::uint8_t>(((settings.preambleBits >> 8) & 3U) |
                                               ((settings.repeatIndex & 3U) << 2) |
                                               ((settings.dataRateIndex & 3U) << 4));
}

TransmitterSettings loadHeader(const EepromImage& image) {
    TransmitterSettings settings;
    settings.preambleBits = image.word(0) & 0x3FFU;
    settings.repeatIndex = (image.bytes[1] >> 2) & 3U;
    settings.dataRateIndex = (image.bytes[1] >> 4) & 3U;
    return settings;
}

}  // namespace vostrel::image
