// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "config/row_fields.h"

#include <algorithm>
#include <cstdio>

#include "image/row_rules.h"
#include "image/pager_text.h"
#include "texts/text_codec.h"

namespace vostrel::config {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

texts::Text toneLetter(unsigned tone) { return texts::Text{std::string(1, static_cast<char>('A' + tone))}; }

}  // namespace

std::variant<CapcodeNotation, texts::Message> parseCapcodeNotation(std::string_view text) {
    text = trim(text);
    const auto digitsEnd = std::ranges::find_if_not(text, isDigit);
    CapcodeNotation notation{std::string(text.begin(), digitsEnd), std::nullopt};
    const std::string_view letter = trim(text.substr(notation.digits.size()));
    if (notation.digits.size() > kMaxCapcodeDigits) return readProblem(texts::keys::kCapCodeTooLong);
    if (letter.empty()) return notation;
    const char upper = letter.size() == 1 ? static_cast<char>(letter[0] & ~0x20) : '\0';
    if (notation.digits.empty() || upper < 'A' || upper > 'Z') {
        return readProblem(texts::keys::kCapCodeNotDigits, {fileText(text)});
    }
    const int tone = upper - 'A';
    if (tone >= static_cast<int>(image::kToneCount)) {
        return readProblem(texts::keys::kSubAddressLetter, {fileText(text), fileText(letter)});
    }
    notation.tone = static_cast<unsigned>(tone);
    return notation;
}

texts::Text fileText(std::string_view text) {
    std::string shown;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        const auto c = texts::nextCodePoint(text, i);
        char number[16];
        if (c && (*c < 0x20 || (*c >= 0x7F && *c <= 0x9F))) {
            std::snprintf(number, sizeof number, "\\x%02X", static_cast<unsigned>(*c));
            shown += number;
        } else if (c && texts::isInvisible(*c)) {
            std::snprintf(number, sizeof number, "<U+%04X>", static_cast<unsigned>(*c));
            shown += number;
        } else {
            if (!c) i = start + 1;
            shown.append(text.substr(start, i - start));
        }
    }
    return texts::Text{shown};
}

std::optional<texts::Message> labelProblem(std::string_view label) {
    if (image::composedLength(label) > kMaxLabelCharacters) {
        return readProblem(texts::keys::kLabelTooLong, {static_cast<int>(kMaxLabelCharacters)});
    }
    for (std::size_t i = 0; i < label.size();) {
        const auto c = texts::nextCodePoint(label, i);
        if (!c) return readProblem(texts::keys::kLabelNotUtf8);
        if (*c < 0x20 || (*c >= 0x7F && *c <= 0x9F)) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned>(*c));
            return readProblem(texts::keys::kLabelControlCharacter, {fileText(code)});
        }
    }
    return std::nullopt;
}

std::optional<RowProblem> settleRowChoices(image::PagerItem& item, const GivenChoices& given) {
    bool toneGiven = given.tone;
    RowField toneField = RowField::Tone;
    if (given.capcodeTone) {
        if (given.tone && item.tone != *given.capcodeTone) {
            return RowProblem{{RowField::CapCode, RowField::Tone},
                              readProblem(texts::keys::kCapCodeNamesOtherTone,
                                          {fileText(given.capcodeText), toneLetter(*given.capcodeTone),
                                           toneLetter(item.tone)})};
        }
        item.tone = *given.capcodeTone;
        if (!given.tone) toneField = RowField::CapCode;
        toneGiven = true;
    }
    auto completed = image::completeRow(item, {.tone = toneGiven, .type = given.type});
    if (auto* row = std::get_if<image::PagerItem>(&completed)) {
        item = std::move(*row);
        return std::nullopt;
    }
    switch (std::get<image::RowBreach>(completed)) {
        case image::RowBreach::AlphanumericWithoutToneD:
            return RowProblem{{toneField, RowField::Type},
                              readProblem(texts::keys::kAlphanumericNeedsToneD, {toneLetter(item.tone)})};
        case image::RowBreach::ToneDWithoutAlphanumeric:
            return RowProblem{{toneField, RowField::Type}, readProblem(texts::keys::kToneDNeedsAlphanumeric)};
        case image::RowBreach::MessageOnToneOnlyCall: break;
    }
    return RowProblem{{toneField, RowField::Message}, readProblem(texts::keys::kToneOnlyCall, {toneLetter(item.tone)})};
}

}  // namespace vostrel::config
