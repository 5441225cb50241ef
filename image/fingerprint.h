// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The contents fingerprint: one short value that names what a transmitter pages, the
// same for a configuration, the image built from it and a transmitter holding it.
//
//   CRC-32 (IEEE 802.3: polynomial 0x04C11DB7 reflected, initial value and final XOR
//   0xFFFFFFFF, as zlib, PNG and Python's zlib.crc32 compute it) over
//     bytes 0-33         the header word and the slot table, as stored
//     then, row 1 to 16, for each slot in use (start word not 0): the bytes of words
//                        start to end-1 (none when end is not above start)
//   printed as 8 upper-case hexadecimal digits.
//
// Words no slot points at are left out: a built image holds 0 there, a transmitter
// whatever an earlier Write left, and neither is paged.

#include <cstdint>
#include <span>
#include <string>

#include "image/eeprom_image.h"

namespace vostrel::image {

std::uint32_t crc32(std::span<const std::uint8_t> bytes);

std::uint32_t contentsFingerprint(const EepromImage& image);

// Whether the two hold the same bytes where the fingerprint looks: then they page
// the same, and their fingerprints are the same. Equal fingerprints alone do not say
// so: a CRC-32 tells damage and mistakes apart, but anyone can make other contents
// with a given fingerprint.
bool sameContents(const EepromImage& a, const EepromImage& b);

// "1A2B3C4D".
std::string fingerprintText(std::uint32_t fingerprint);

}  // namespace vostrel::image
