// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "texts/message_format.h"

#include <charconv>
#include <cstdio>

#include "texts/text_codec.h"

namespace vostrel::texts {
namespace {

enum class Kind { Character, Number, TwoDigitNumber, Decimal, Text };

struct Placeholder {
    Kind kind;
    int decimals = 0;             // for a decimal: 1 to 3
    char decimalSeparator = '.';  // for a decimal: '.' or ','
};

// Recognises the placeholder at the start of `rest`, the text just after a '%'; sets
// `length` to the number of characters it spans there.
std::optional<Placeholder> placeholderAt(std::string_view rest, std::size_t& length) {
    if (rest.starts_with("c")) { length = 1; return Placeholder{Kind::Character}; }
    if (rest.starts_with("d")) { length = 1; return Placeholder{Kind::Number}; }
    if (rest.starts_with("02d")) { length = 3; return Placeholder{Kind::TwoDigitNumber}; }
    if (rest.starts_with("s")) { length = 1; return Placeholder{Kind::Text}; }
    // Only one digit of precision: a translation cannot ask for a text of any length.
    if (rest.size() >= 3 && (rest[0] == '.' || rest[0] == ',') && rest[1] >= '1' && rest[1] <= '3' &&
        rest[2] == 'f') {
        length = 3;
        return Placeholder{Kind::Decimal, rest[1] - '0', rest[0]};
    }
    return std::nullopt;
}

std::optional<std::string> renderDecimal(const Placeholder& placeholder, const MessageArgument& argument) {
    const auto* decimal = std::get_if<Decimal>(&argument);
    if (decimal == nullptr) return std::nullopt;
    char digits[400];  // room for the largest double in fixed notation
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, decimal->value,
                                            std::chars_format::fixed, placeholder.decimals);
    if (error != std::errc()) return std::nullopt;
    std::string text(digits, end);
    if (const auto point = text.find('.'); point != std::string::npos) text[point] = placeholder.decimalSeparator;
    return text;
}

std::optional<std::string> render(const Placeholder& placeholder, const MessageArgument& argument) {
    if (placeholder.kind == Kind::Decimal) return renderDecimal(placeholder, argument);
    if (placeholder.kind == Kind::Character) {
        if (const auto* character = std::get_if<Character>(&argument)) return encodeUtf8(character->codePoint);
        return std::nullopt;
    }
    if (placeholder.kind == Kind::Text) {
        if (const auto* text = std::get_if<Text>(&argument)) return text->utf8;
        return std::nullopt;
    }
    const int* number = std::get_if<int>(&argument);
    if (number == nullptr) return std::nullopt;
    char digits[16];
    std::snprintf(digits, sizeof digits, placeholder.kind == Kind::TwoDigitNumber ? "%02d" : "%d",
                  *number);
    return std::string(digits);
}

}  // namespace

std::optional<std::string> formatPattern(std::string_view pattern,
                                         std::span<const MessageArgument> arguments) {
    std::string out;
    std::size_t used = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            out += pattern[i];
            continue;
        }
        std::string_view rest = pattern.substr(i + 1);
        if (rest.starts_with("%")) {
            out += '%';
            ++i;
            continue;
        }
        std::size_t length = 0;
        const auto placeholder = placeholderAt(rest, length);
        if (!placeholder || used == arguments.size()) return std::nullopt;
        const auto text = render(*placeholder, arguments[used++]);
        if (!text) return std::nullopt;
        out += *text;
        i += length;
    }
    if (used != arguments.size()) return std::nullopt;
    return out;
}

std::string formatMessage(std::string_view pattern, const Message& message) {
    if (auto text = formatPattern(pattern, message.arguments)) return *text;
    return formatMessage(message);
}

std::string formatMessage(const Message& message) {
    // The built-in keys always match their own arguments.
    return formatPattern(message.key.text(), message.arguments).value_or(std::string(message.key.text()));
}

std::string joinedAlternatives(const std::vector<std::string>& alternatives, std::string_view orWord) {
    std::string joined;
    for (std::size_t i = 0; i < alternatives.size(); ++i) {
        if (i > 0) joined.append(i + 1 < alternatives.size() ? ", " : " " + std::string(orWord) + " ");
        joined += alternatives[i];
    }
    return joined;
}

Message encodingProblemMessage(const EncodingProblem& problem, EncodingRemedy remedy) {
    using Kind = EncodingProblem::Kind;
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned>(problem.byte));
    const auto wider = [remedy](const char* form, const char* order) {
        return Message{remedy == EncodingRemedy::SaveListAsCsv ? keys::kListInWiderUnicodeForm : keys::kWiderUnicodeForm,
                       Title::Error, {Text{form}, Text{order}}};
    };
    switch (problem.kind) {
    case Kind::Mixed:
        if (problem.utf8Character == 0xFEFF) return {keys::kMixedEncodingWithBom, Title::Error, {Text{byte}}};
        return {keys::kMixedEncoding, Title::Error,
                {Text{byte}, static_cast<int>(problem.utf8Line), static_cast<int>(problem.utf8Column),
                 Text{shownCharacter(problem.utf8Character)}}};
    case Kind::Utf16LittleEndian: return wider("UTF-16", "little-endian");
    case Kind::Utf16BigEndian: return wider("UTF-16", "big-endian");
    case Kind::Utf32LittleEndian: return wider("UTF-32", "little-endian");
    case Kind::Utf32BigEndian: return wider("UTF-32", "big-endian");
    }
    return wider("UTF-16", "little-endian");
}

}  // namespace vostrel::texts
