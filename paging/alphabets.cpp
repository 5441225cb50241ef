// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "paging/alphabets.h"

#include <algorithm>

namespace vostrel::paging {
namespace {

constexpr std::uint8_t kSevenBits = 0x7F;

static_assert(
    [] {
        for (std::size_t i = 0; i < kAlphabets.size(); ++i) {
            if (static_cast<std::size_t>(kAlphabets[i].alphabet) != i) return false;
        }
        return true;
    }(),
    "kAlphabets lists the alphabets in the order of the enumeration");

char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The position of the code among kNationalCodes, if it is one.
std::optional<std::size_t> nationalIndex(std::uint8_t code) {
    const auto* found = std::ranges::find(kNationalCodes, code);
    if (found == kNationalCodes.end()) return std::nullopt;
    return static_cast<std::size_t>(found - kNationalCodes.begin());
}

}  // namespace

const AlphabetTable& alphabetTable(Alphabet alphabet) {
    return kAlphabets[static_cast<std::size_t>(alphabet) % kAlphabets.size()];
}

std::optional<Alphabet> alphabetNamed(std::string_view name) {
    for (const AlphabetTable& table : kAlphabets) {
        if (std::ranges::equal(table.name, name, {}, {}, asciiUpper)) return table.alphabet;
    }
    return std::nullopt;
}

char32_t characterOf(Alphabet alphabet, std::uint8_t code) {
    code &= kSevenBits;
    if (const auto index = nationalIndex(code)) return alphabetTable(alphabet).national[*index];
    return code;
}

std::optional<std::uint8_t> codeOf(Alphabet alphabet, char32_t character) {
    const auto& national = alphabetTable(alphabet).national;
    if (const auto* found = std::ranges::find(national, character); found != national.end()) {
        return kNationalCodes[static_cast<std::size_t>(found - national.begin())];
    }
    // Any other 7-bit character is its own code, unless that code shows a national letter.
    if (character > kSevenBits || nationalIndex(static_cast<std::uint8_t>(character))) return std::nullopt;
    return static_cast<std::uint8_t>(character);
}

}  // namespace vostrel::paging
