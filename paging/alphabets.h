// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The pager alphabets: what an alphanumeric pager shows for each 7-bit code. Pagers
// sold outside the English-speaking world show the ISO 646 national variant of their
// country, which differs from US-ASCII at twelve codes only (kNationalCodes); the
// table kAlphabets below gives, for each alphabet, the character shown at each of
// them, in code order:
//
//   code   0x23 0x24 0x40 0x5B 0x5C 0x5D 0x5E 0x60 0x7B 0x7C 0x7D 0x7E
//   US      #    $    @    [    \    ]    ^    `    {    |    }    ~
//   DE      #    $    §    Ä    Ö    Ü    ^    `    ä    ö    ü    ß
//
// Every other code (the controls 0x00-0x1F and 0x7F, letters, digits and the rest of
// the punctuation) shows the same character everywhere. The tables are those of the
// standards as glibc's iconv implements them (the tests compare them with it).
// The stored bytes are the same 7-bit codes whatever the alphabet: it decides only
// which character a code stands for, so it is kept outside the EEPROM.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vostrel::paging {

enum class Alphabet : std::uint8_t { US, DE, DK, NO, SE, FR, ES, IT, YU };

inline constexpr std::size_t kNationalCodeCount = 12;
inline constexpr std::array<std::uint8_t, kNationalCodeCount> kNationalCodes = {
    0x23, 0x24, 0x40, 0x5B, 0x5C, 0x5D, 0x5E, 0x60, 0x7B, 0x7C, 0x7D, 0x7E};

struct AlphabetTable {
    Alphabet alphabet;
    std::string_view name;      // in configuration files and on the command line
    std::string_view standard;  // the national standard the table comes from
    std::array<char32_t, kNationalCodeCount> national;  // shown at kNationalCodes
};

inline constexpr std::array<AlphabetTable, 9> kAlphabets = {{
    //                                                  0x23    0x24    0x40    0x5B    0x5C    0x5D    0x5E    0x60    0x7B    0x7C    0x7D    0x7E
    {Alphabet::US, "US", "US-ASCII (ISO 646-US)",       {U'#',   U'$',   U'@',   U'[',   U'\\',  U']',   U'^',   U'`',   U'{',   U'|',   U'}',   U'~'}},
    {Alphabet::DE, "DE", "German (DIN 66003)",          {U'#',   U'$',   U'§',   U'Ä',   U'Ö',   U'Ü',   U'^',   U'`',   U'ä',   U'ö',   U'ü',   U'ß'}},
    {Alphabet::DK, "DK", "Danish (DS 2089)",            {U'#',   U'$',   U'@',   U'Æ',   U'Ø',   U'Å',   U'^',   U'`',   U'æ',   U'ø',   U'å',   U'~'}},
    {Alphabet::NO, "NO", "Norwegian (NS 4551-1)",       {U'#',   U'$',   U'@',   U'Æ',   U'Ø',   U'Å',   U'^',   U'`',   U'æ',   U'ø',   U'å',   U'‾'}},
    {Alphabet::SE, "SE", "Swedish/Finnish (SEN 850200 B)", {U'#', U'¤',   U'@',   U'Ä',   U'Ö',   U'Å',   U'^',   U'`',   U'ä',   U'ö',   U'å',   U'‾'}},
    {Alphabet::FR, "FR", "French (NF Z 62-010)",        {U'£',   U'$',   U'à',   U'°',   U'ç',   U'§',   U'^',   U'µ',   U'é',   U'ù',   U'è',   U'¨'}},
    {Alphabet::ES, "ES", "Spanish (ISO 646-ES)",        {U'£',   U'$',   U'§',   U'¡',   U'Ñ',   U'¿',   U'^',   U'`',   U'°',   U'ñ',   U'ç',   U'~'}},
    {Alphabet::IT, "IT", "Italian (ISO 646-IT)",        {U'£',   U'$',   U'§',   U'°',   U'ç',   U'é',   U'^',   U'ù',   U'à',   U'ò',   U'è',   U'ì'}},
    {Alphabet::YU, "YU", "Slovenian/Croatian/Serbian (JUS I.B1.002)",
                                                        {U'#',   U'$',   U'Ž',   U'Š',   U'Đ',   U'Ć',   U'Č',   U'ž',   U'š',   U'đ',   U'ć',   U'č'}},
}};

static_assert(
    [] {
        for (std::size_t i = 0; i < kAlphabets.size(); ++i) {
            if (static_cast<std::size_t>(kAlphabets[i].alphabet) != i) return false;
        }
        return true;
    }(),
    "kAlphabets lists the alphabets in the order of the enumeration");

inline constexpr std::uint8_t kSevenBits = 0x7F;

// For each 7-bit code, its position among kNationalCodes, or -1: one look-up per
// character, as every message character passes here.
inline constexpr auto kNationalIndex = [] {
    std::array<std::int8_t, kSevenBits + 1> index{};
    index.fill(-1);
    for (std::size_t i = 0; i < kNationalCodes.size(); ++i) index[kNationalCodes[i]] = static_cast<std::int8_t>(i);
    return index;
}();

constexpr const AlphabetTable& alphabetTable(Alphabet alphabet) {
    return kAlphabets[static_cast<std::size_t>(alphabet) % kAlphabets.size()];
}

// The alphabet of that name, in any case; nothing for an unknown name.
std::optional<Alphabet> alphabetNamed(std::string_view name);

// What the pager shows for the 7-bit code (bit 7 is ignored, as on air).
constexpr char32_t characterOf(Alphabet alphabet, std::uint8_t code) {
    code &= kSevenBits;
    const std::int8_t index = kNationalIndex[code];
    return index < 0 ? char32_t{code} : alphabetTable(alphabet).national[static_cast<std::size_t>(index)];
}

// The 7-bit code at which the pager shows `character`; nothing when it shows it at
// no code.
constexpr std::optional<std::uint8_t> codeOf(Alphabet alphabet, char32_t character) {
    // A 7-bit character at a code that shows the same everywhere is its own code.
    if (character <= kSevenBits && kNationalIndex[character] < 0) return static_cast<std::uint8_t>(character);
    const auto& national = alphabetTable(alphabet).national;
    for (std::size_t i = 0; i < national.size(); ++i) {
        if (national[i] == character) return kNationalCodes[i];
    }
    // Beyond 7 bits, or a 7-bit character whose code shows a national letter here.
    return std::nullopt;
}

}  // namespace vostrel::paging
