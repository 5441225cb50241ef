// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The transmitter's 512-byte EEPROM image: 256 little-endian 16-bit words. Word 0 is
// the header, words 1-16 the slot table, words 17-255 the stored transmissions.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "paging/codeword.h"

namespace vostrel::image {

inline constexpr std::size_t kImageBytes = 512;
inline constexpr unsigned kImageWords = 256;
inline constexpr unsigned kRowCount = 16;
inline constexpr unsigned kFirstTransmissionWord = 17;
// A slot's end address travels in one byte, so no transmission reaches word 255.
inline constexpr unsigned kMaxEndWord = 255;
inline constexpr unsigned kMaxSlotCodewords = (kMaxEndWord - kFirstTransmissionWord) / 2;

class EepromImage {
public:
    std::array<std::uint8_t, kImageBytes> bytes{};

    std::uint16_t word(unsigned address) const;
    void setWord(unsigned address, std::uint16_t value);

    // A codeword occupies two words: its high half first, each half little-endian.
    void storeCodeword(unsigned wordAddress, paging::Codeword codeword);
    // The codeword at `wordAddress`; 0 when it is not wholly inside the image.
    paging::Codeword loadCodeword(unsigned wordAddress) const;

    friend bool operator==(const EepromImage&, const EepromImage&) = default;
};

// Whether a file's bytes are an EEPROM image rather than text: exactly kImageBytes,
// holding a NUL byte or a byte sequence that is not UTF-8. Every image holds one: an
// unused slot's zero address, a stored sync codeword (D2 7C ...), an erased word's
// 0xFF. Nothing the configuration writer produces holds either, so an image whose
// header bytes read as a comment ('#' is preamble 803) is never taken for an empty
// configuration, which a Write would send as sixteen cleared calls.
bool isImageFile(std::string_view bytes);

}  // namespace vostrel::image
