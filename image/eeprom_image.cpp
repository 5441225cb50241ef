// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "image/eeprom_image.h"

#include "texts/text_codec.h"

namespace vostrel::image {

std::uint16_t EepromImage::word(unsigned address) const {
    return static_cast<std::uint16_t>(bytes[2 * address] | (bytes[2 * address + 1] << 8));
}

void EepromImage::setWord(unsigned address, std::uint16_t value) {
    bytes[2 * address] = static_cast<std::uint8_t>(value & 0xFFU);
    bytes[2 * address + 1] = static_cast<std::uint8_t>(value >> 8);
}

void EepromImage::storeCodeword(unsigned wordAddress, paging::Codeword codeword) {
    setWord(wordAddress, static_cast<std::uint16_t>(codeword >> 16));
    setWord(wordAddress + 1, static_cast<std::uint16_t>(codeword & 0xFFFFU));
}

paging::Codeword EepromImage::loadCodeword(unsigned wordAddress) const {
    if (wordAddress + 1 >= kImageWords) return 0;
    return (static_cast<paging::Codeword>(word(wordAddress)) << 16) | word(wordAddress + 1);
}

bool isImageFile(std::string_view bytes) {
    if (bytes.size() != kImageBytes) return false;
    return bytes.find('\0') != std::string_view::npos || !texts::isValidUtf8(bytes);
}

}  // namespace vostrel::image
