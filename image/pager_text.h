// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Between the text the user types and the codes the pager receives. Messages are
// UTF-8 everywhere above this point: what the pager will show. Here they become one
// byte per pager character (7-bit codes of the row's alphabet, or the numeric
// characters), and the codes read back become text again.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "image/eeprom_image.h"
#include "paging/alphabets.h"
#include "paging/transmission.h"

namespace vostrel::image {

// How the rows' messages become pager characters. None of it is stored in the EEPROM,
// which holds the codes only.
struct PagerTextSettings {
    paging::Alphabet alphabet = paging::Alphabet::US;  // of every row without its own
    std::array<std::optional<paging::Alphabet>, kRowCount> rowAlphabets;
    // Characters outside a row's alphabet are replaced (kTransliterations) instead of
    // refused.
    bool transliterate = false;

    paging::Alphabet alphabetOf(unsigned row) const { return rowAlphabets[row].value_or(alphabet); }

    friend bool operator==(const PagerTextSettings&, const PagerTextSettings&) = default;
};

// The fallback for characters a row's alphabet does not hold, used only when
// transliteration is on and only for characters outside the row's alphabet (an ä
// stays ä on a German row). Each replacement is made of characters that every
// alphabet shows at the same code.
struct Transliteration {
    std::u32string_view characters;
    std::string_view replacement;
};

inline constexpr auto kTransliterations = std::to_array<Transliteration>({
    // Letters written with two where they are missing, as the languages themselves do.
    {U"Ä", "Ae"}, {U"Ö", "Oe"}, {U"Ü", "Ue"}, {U"ä", "ae"}, {U"ö", "oe"}, {U"ü", "ue"},
    {U"ß", "ss"}, {U"ẞ", "SS"}, {U"Æ", "Ae"}, {U"æ", "ae"}, {U"Ø", "Oe"}, {U"ø", "oe"},
    {U"Å", "Aa"}, {U"å", "aa"}, {U"Œ", "Oe"}, {U"œ", "oe"},
    // Letters with accents: the letter alone.
    {U"Đ", "Dj"}, {U"đ", "dj"},
    {U"ÀÁÂÃĀĂĄ", "A"}, {U"àáâãāăą", "a"}, {U"ÇĆČ", "C"}, {U"çćč", "c"}, {U"Ď", "D"}, {U"ď", "d"},
    {U"ÈÉÊËĒĖĘĚ", "E"}, {U"èéêëēėęě", "e"}, {U"Ğ", "G"}, {U"ğ", "g"}, {U"ÌÍÎÏĪĮİ", "I"}, {U"ìíîïīįı", "i"},
    {U"ŁĽĹ", "L"}, {U"łľĺ", "l"}, {U"ÑŃŇ", "N"}, {U"ñńň", "n"}, {U"ÒÓÔÕŌŐ", "O"}, {U"òóôõōő", "o"},
    {U"ŔŘ", "R"}, {U"ŕř", "r"}, {U"ŚŠŞȘ", "S"}, {U"śšşș", "s"}, {U"ŤŢȚ", "T"}, {U"ťţț", "t"},
    {U"ÙÚÛŪŮŰŲ", "U"}, {U"ùúûūůűų", "u"}, {U"ÝŸ", "Y"}, {U"ýÿ", "y"}, {U"ŹŻŽ", "Z"}, {U"źżž", "z"},
    // Punctuation that keyboards and word processors put in for the plain characters.
    {U"‘’‚‛′´", "'"}, {U"“”„‟″«»", "\""}, {U"‐‑‒–—―−", "-"}, {U"…", "..."}, {U"\u00A0\u2007\u202F", " "},
    {U"¡", "!"}, {U"¿", "?"},
    // Currency that no pager alphabet holds, written as its code.
    {U"€", "EUR"},
});

// Where a row's alphabet has a letter of its own for one it lacks, the letter its
// country writes instead; looked up before kTransliterations.
struct NationalTransliteration {
    paging::Alphabet alphabet;
    std::u32string_view characters;
    std::string_view replacement;  // one letter of the alphabet, UTF-8
};

inline constexpr auto kNationalTransliterations = std::to_array<NationalTransliteration>({
    // Danish and Norwegian write Æ and Ø for the Swedish and German Ä and Ö, Swedes the other way round.
    {paging::Alphabet::DK, U"Ä", "Æ"}, {paging::Alphabet::DK, U"Ö", "Ø"},
    {paging::Alphabet::DK, U"ä", "æ"}, {paging::Alphabet::DK, U"ö", "ø"},
    {paging::Alphabet::NO, U"Ä", "Æ"}, {paging::Alphabet::NO, U"Ö", "Ø"},
    {paging::Alphabet::NO, U"ä", "æ"}, {paging::Alphabet::NO, U"ö", "ø"},
    {paging::Alphabet::SE, U"Æ", "Ä"}, {paging::Alphabet::SE, U"Ø", "Ö"},
    {paging::Alphabet::SE, U"æ", "ä"}, {paging::Alphabet::SE, U"ø", "ö"},
    // The capital sharp s, where the pager has the small one.
    {paging::Alphabet::DE, U"ẞ", "ß"},
});

// A letter written as its base letter and a combining mark, as macOS and many web
// pages give them, is checked and sent as the one precomposed letter (Unicode's
// canonical composition, NFC) for every letter the alphabets and the transliteration
// know: a German "A" + U+0308 is "Ä". Each mark with the base letters it composes
// with and, at the same places, the letters they make.
struct Composition {
    char32_t mark;
    std::u32string_view bases;
    std::u32string_view composed;
};

inline constexpr auto kCompositions = std::to_array<Composition>({
    {U'\u0300', U"AEIOUaeiou", U"ÀÈÌÒÙàèìòù"},  // grave accent
    {U'\u0301', U"AEIOUYaeiouyCcLlNnRrSsZz", U"ÁÉÍÓÚÝáéíóúýĆćĹĺŃńŔŕŚśŹź"},  // acute accent
    {U'\u0302', U"AEIOUaeiou", U"ÂÊÎÔÛâêîôû"},  // circumflex accent
    {U'\u0303', U"ANOano", U"ÃÑÕãñõ"},  // tilde
    {U'\u0304', U"AaEeIiOoUu", U"ĀāĒēĪīŌōŪū"},  // macron
    {U'\u0306', U"AaGg", U"ĂăĞğ"},  // breve
    {U'\u0307', U"EeIZz", U"ĖėİŻż"},  // dot above
    {U'\u0308', U"AEIOUaeiouyY", U"ÄËÏÖÜäëïöüÿŸ"},  // diaeresis
    {U'\u030A', U"AaUu", U"ÅåŮů"},  // ring above
    {U'\u030B', U"OoUu", U"ŐőŰű"},  // double acute accent
    {U'\u030C', U"CcDdEeLlNnRrSsTtZz", U"ČčĎďĚěĽľŇňŘřŠšŤťŽž"},  // caron
    {U'\u0326', U"SsTt", U"ȘșȚț"},  // comma below
    {U'\u0327', U"CcSsTt", U"ÇçŞşŢţ"},  // cedilla
    {U'\u0328', U"AaEeIiUu", U"ĄąĘęĮįŲų"},  // ogonek
});

// The text with each letter and combining mark of kCompositions as the one letter
// they make; bytes that are not UTF-8 stay as they are.
std::string composedText(std::string_view text);

// The number of characters of the text as composed (composedText), as every limit
// counts them: "A" + U+0308 is one character, "Ä". Each byte that is not UTF-8
// counts as one.
std::size_t composedLength(std::string_view text);

// A character replaced before sending.
struct Replacement {
    std::size_t index = 0;  // in the message, counted in characters
    char32_t character = 0;
    std::string_view replacement;

    friend bool operator==(const Replacement&, const Replacement&) = default;
};

// A character the pager cannot show, by its place in the message.
struct UnsendableCharacter {
    std::size_t index = 0;  // counted in characters
    char32_t character = 0;
    // Set for a 7-bit character whose code shows a national letter on the row's
    // alphabet: the letter the pager would show instead.
    std::optional<char32_t> shownAs;

    friend bool operator==(const UnsendableCharacter&, const UnsendableCharacter&) = default;
};

struct PagerCodes {
    std::string codes;  // one byte per pager character
    std::vector<Replacement> replacements;
    // The character whose codes go beyond the most a Read gives back
    // (paging::kMaxDecodedText), counted as Replacement::index; nothing while all fit.
    std::optional<std::size_t> beyondReadBack;

    friend bool operator==(const PagerCodes&, const PagerCodes&) = default;
};

// The message as the pager's codes. A numeric pager takes its own characters only;
// an alphanumeric one the characters of `alphabet`, and with `transliterate` the
// replacements for others. A letter and its combining mark (kCompositions) are taken
// as the one letter, but count as the two characters typed. Bytes that are not UTF-8
// are unsendable characters (U+FFFD), each counted as one character.
std::variant<PagerCodes, UnsendableCharacter> pagerCodes(std::string_view message, paging::PagerType type,
                                                         paging::Alphabet alphabet, bool transliterate);

// The text a pager shows for the codes: numeric characters as they are, alphanumeric
// codes through the alphabet. UTF-8.
std::string shownText(std::string_view codes, paging::PagerType type, paging::Alphabet alphabet);

}  // namespace vostrel::image
