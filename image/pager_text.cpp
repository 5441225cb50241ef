// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "image/pager_text.h"

#include <algorithm>

#include "paging/numeric_characters.h"
#include "paging/transmission_decoder.h"
#include "texts/text_codec.h"

namespace vostrel::image {
namespace {

// What the row's alphabet sends for a character it lacks: its country's own letter
// first, then the general table.
std::optional<std::string_view> transliteration(char32_t character, paging::Alphabet alphabet) {
    for (const NationalTransliteration& entry : kNationalTransliterations) {
        if (entry.alphabet == alphabet && entry.characters.find(character) != std::u32string_view::npos) {
            return entry.replacement;
        }
    }
    for (const Transliteration& entry : kTransliterations) {
        if (entry.characters.find(character) != std::u32string_view::npos) return entry.replacement;
    }
    return std::nullopt;
}

// The codes of the replacement (UTF-8), when the alphabet shows every character of it.
std::optional<std::string> replacementCodes(std::string_view replacement, paging::Alphabet alphabet) {
    std::string codes;
    for (std::size_t i = 0; i < replacement.size();) {
        const auto character = texts::nextCodePoint(replacement, i);
        const auto code = character ? paging::codeOf(alphabet, *character) : std::nullopt;
        if (!code) return std::nullopt;
        codes += static_cast<char>(*code);
    }
    return codes;
}

// The letter that `base` and the combining `mark` make, when kCompositions knows it.
std::optional<char32_t> composed(char32_t base, char32_t mark) {
    for (const Composition& entry : kCompositions) {
        if (entry.mark != mark) continue;
        const std::size_t at = entry.bases.find(base);
        if (at != std::u32string_view::npos) return entry.composed[at];
        return std::nullopt;
    }
    return std::nullopt;
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

// The message's characters one by one, a letter and its combining mark as one.
class Characters {
public:
    explicit Characters(std::string_view message) : message_(message) {}

    bool done() const { return at_ >= message_.size(); }
    std::size_t index() const { return index_; }  // of the character next() gives, as typed
    std::size_t offset() const { return at_; }    // in bytes, of the character next() gives

    // Nothing for a byte that is not UTF-8.
    std::optional<char32_t> next() {
        index_ = nextIndex_;
        const auto character = decode(at_);
        ++nextIndex_;
        if (!character) {
            ++at_;
            return std::nullopt;
        }
        std::size_t afterMark = at_;
        const auto mark = decode(afterMark);
        if (const auto letter = mark ? composed(*character, *mark) : std::nullopt) {
            at_ = afterMark;
            ++nextIndex_;
            return letter;
        }
        return character;
    }

private:
    // The character at `i`, advancing `i` past it; most texts are ASCII.
    std::optional<char32_t> decode(std::size_t& i) const {
        if (i >= message_.size()) return std::nullopt;
        const auto byte = static_cast<unsigned char>(message_[i]);
        if (byte < 0x80) {
            ++i;
            return char32_t{byte};
        }
        return texts::nextCodePoint(message_, i);
    }

    std::string_view message_;
    std::size_t at_ = 0;
    std::size_t index_ = 0;
    std::size_t nextIndex_ = 0;
};

}  // namespace

std::variant<PagerCodes, UnsendableCharacter> pagerCodes(std::string_view message, paging::PagerType type,
                                                         paging::Alphabet alphabet, bool transliterate) {
    PagerCodes out;
    out.codes.reserve(message.size());
    for (Characters characters(message); !characters.done();) {
        const auto decoded = characters.next();
        const std::size_t index = characters.index();
        if (!decoded) return UnsendableCharacter{index, texts::kReplacementCharacter, std::nullopt};
        const char32_t character = *decoded;
        if (type == paging::PagerType::Numeric) {
            if (character >= 0x80 || !paging::isNumericCharacter(static_cast<unsigned char>(character))) {
                return unsendable(index, character, type, alphabet);
            }
            out.codes += static_cast<char>(character);
        } else if (const auto code = paging::codeOf(alphabet, character)) {
            out.codes += static_cast<char>(*code);
        } else {
            const auto replacement = transliterate ? transliteration(character, alphabet) : std::nullopt;
            const auto codes = replacement ? replacementCodes(*replacement, alphabet) : std::nullopt;
            if (!codes) return unsendable(index, character, type, alphabet);
            out.codes += *codes;
            out.replacements.push_back({index, character, *replacement});
        }
        // A Read shows no more than this: a Write of what it shows would store less.
        if (out.codes.size() > paging::kMaxDecodedText && !out.beyondReadBack) out.beyondReadBack = index;
    }
    return out;
}

std::string composedText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (Characters characters(text); !characters.done();) {
        const std::size_t at = characters.offset();
        if (const auto character = characters.next()) {
            texts::appendUtf8(out, *character);
        } else {
            out += text[at];
        }
    }
    return out;
}

std::size_t composedLength(std::string_view text) {
    std::size_t length = 0;
    for (Characters characters(text); !characters.done(); ++length) characters.next();
    return length;
}

std::string shownText(std::string_view codes, paging::PagerType type, paging::Alphabet alphabet) {
    if (type == paging::PagerType::Numeric) return std::string(codes);
    std::string text;
    text.reserve(codes.size());
    for (const char code : codes) texts::appendUtf8(text, paging::characterOf(alphabet, static_cast<std::uint8_t>(code)));
    return text;
}

}  // namespace vostrel::image
