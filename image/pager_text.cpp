// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "image/pager_text.h"

#include <algorithm>

#include "paging/numeric_characters.h"
#include "texts/text_codec.h"

namespace vostrel::image {
namespace {

std::optional<std::string_view> transliteration(char32_t character) {
    for (const Transliteration& entry : kTransliterations) {
        if (entry.characters.find(character) != std::u32string_view::npos) return entry.replacement;
    }
    return std::nullopt;
}

// The codes of the replacement, when the alphabet shows every character of it.
std::optional<std::string> replacementCodes(std::string_view replacement, paging::Alphabet alphabet) {
    std::string codes;
    for (const char character : replacement) {
        const auto code = paging::codeOf(alphabet, static_cast<unsigned char>(character));
        if (!code) return std::nullopt;
        codes += static_cast<char>(*code);
    }
    return codes;
}

UnsendableCharacter unsendable(std::size_t index, char32_t character, paging::PagerType type,
                               paging::Alphabet alphabet) {
    UnsendableCharacter refused{index, character, std::nullopt};
    // A 7-bit character is refused on an alphanumeric row only because its code shows
    // a national letter; the user must learn which.
    if (type == paging::PagerType::Alphanumeric && character < 0x80) {
        refused.shownAs = paging::characterOf(alphabet, static_cast<std::uint8_t>(character));
    }
    return refused;
}

}  // namespace

std::variant<PagerCodes, UnsendableCharacter> pagerCodes(std::string_view message, paging::PagerType type,
                                                         paging::Alphabet alphabet, bool transliterate) {
    PagerCodes out;
    out.codes.reserve(message.size());
    std::size_t index = 0;
    for (std::size_t i = 0; i < message.size(); ++index) {
        char32_t character = static_cast<unsigned char>(message[i]);
        if (character < 0x80) {
            ++i;  // most texts are ASCII: no decoding needed
        } else if (const auto decoded = texts::nextCodePoint(message, i)) {
            character = *decoded;
        } else {
            return UnsendableCharacter{index, texts::kReplacementCharacter, std::nullopt};
        }
        if (type == paging::PagerType::Numeric) {
            if (character >= 0x80 || !paging::isNumericCharacter(static_cast<unsigned char>(character))) {
                return unsendable(index, character, type, alphabet);
            }
            out.codes += static_cast<char>(character);
            continue;
        }
        if (const auto code = paging::codeOf(alphabet, character)) {
            out.codes += static_cast<char>(*code);
            continue;
        }
        const auto replacement = transliterate ? transliteration(character) : std::nullopt;
        const auto codes = replacement ? replacementCodes(*replacement, alphabet) : std::nullopt;
        if (!codes) return unsendable(index, character, type, alphabet);
        out.codes += *codes;
        out.replacements.push_back({index, character, *replacement});
    }
    return out;
}

std::string shownText(std::string_view codes, paging::PagerType type, paging::Alphabet alphabet) {
    if (type == paging::PagerType::Numeric) return std::string(codes);
    std::string text;
    text.reserve(codes.size());
    for (const char code : codes) texts::appendUtf8(text, paging::characterOf(alphabet, static_cast<std::uint8_t>(code)));
    return text;
}

}  // namespace vostrel::image
