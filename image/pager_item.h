// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// One call item as the user enters it: the texts of the row's boxes and its choices.
// Texts are UTF-8; the message is what the pager shows (image/pager_text.h turns it
// into the pager's codes).

#include <array>
#include <string>

#include "image/eeprom_image.h"
#include "paging/transmission.h"

namespace vostrel::image {

inline constexpr unsigned kMaxCapcode = 2097151;  // 21-bit POCSAG address range
inline constexpr unsigned kToneCount = 4;         // A to D, the function bits

struct PagerItem {
    std::string capcode;  // as typed; empty, 0 or no number means the row is unused
    unsigned tone = 0;
    paging::PagerType type = paging::PagerType::Numeric;
    std::string message;

    friend bool operator==(const PagerItem&, const PagerItem&) = default;
};

using PagerRows = std::array<PagerItem, kRowCount>;

}  // namespace vostrel::image
