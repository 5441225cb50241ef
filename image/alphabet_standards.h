// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The standard each pager alphabet comes from, as a text the language file
// translates: the window's alphabet choice and the site sheet name it alike.

#include <array>

#include "paging/alphabets.h"
#include "texts/text_keys.h"

namespace vostrel::image {

inline constexpr std::array kAlphabetStandards = {
    texts::keys::kStandardUS, texts::keys::kStandardDE, texts::keys::kStandardDK,
    texts::keys::kStandardNO, texts::keys::kStandardSE, texts::keys::kStandardFR,
    texts::keys::kStandardES, texts::keys::kStandardIT, texts::keys::kStandardYU};
static_assert(
    [] {
        if (kAlphabetStandards.size() != paging::kAlphabets.size()) return false;
        for (std::size_t i = 0; i < kAlphabetStandards.size(); ++i) {
            if (kAlphabetStandards[i].text() != paging::kAlphabets[i].standard) return false;
        }
        return true;
    }(),
    "every pager alphabet's standard is a key of the list, in the alphabets' order");

constexpr texts::TextKey alphabetStandard(paging::Alphabet alphabet) {
    return kAlphabetStandards[static_cast<std::size_t>(alphabet) % kAlphabetStandards.size()];
}

}  // namespace vostrel::image
