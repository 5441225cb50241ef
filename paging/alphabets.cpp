// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "paging/alphabets.h"

#include <algorithm>

namespace vostrel::paging {
namespace {

char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::optional<Alphabet> alphabetNamed(std::string_view name) {
    for (const AlphabetTable& table : kAlphabets) {
        if (std::ranges::equal(table.name, name, {}, {}, asciiUpper)) return table.alphabet;
    }
    return std::nullopt;
}

}  // namespace vostrel::paging
