// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// What each pager will show, before anything is sent: the text is found by decoding
// the very codewords a Write stores for the row with the decoder a Read uses, so that
// what the encoding does to a message shows as the pager will show it: a numeric
// message padded with blanks to a multiple of five ("123" arrives as "123  "), a
// transliterated or national character, a message cut at the decoder's 129
// characters (which a Write refuses, but an older image may hold). Control codes, which a pager shows as nothing readable, are named in
// angle brackets as POCSAG decoders print them:
//
//   code  0x00  0x01  ...  0x07  ...  0x0A  ...  0x1B  ...  0x1F  0x7F
//   shown <NUL> <SOH>      <BEL>      <LF>       <ESC>      <US>  <DEL>

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "image/eeprom_image.h"
#include "image/image_builder.h"
#include "image/pager_text.h"

namespace vostrel::image {

inline constexpr std::array<std::string_view, 0x20> kControlNames = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
    "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
inline constexpr std::string_view kDeleteName = "DEL";

// The text with every control code (0x00-0x1F, 0x7F) written as its name: "<BEL>".
std::string withControlNames(std::string_view text);

// What each row's pager shows (UTF-8), for the rows a Write stores; nothing for a row
// that it does not (not in use, refused, past a full image).
using PagerDisplays = std::array<std::optional<std::string>, kRowCount>;

// For what a Write of `entries` would store, laid out as `layout` (layOutRows) says:
// each placed row, even while another row is refused, as the window shows them while
// the user types.
PagerDisplays plannedDisplays(const ProgrammerEntries& entries, const RowLayout& layout);

// For every row the image stores, alphanumeric ones through the row's alphabet in
// `text`; rows from one that cannot be read on ("EEPROM read error") are nothing.
PagerDisplays storedDisplays(const EepromImage& image, const PagerTextSettings& text);

}  // namespace vostrel::image
