// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// A row's fields as files give them (the configuration file, site lists, label lists)
// and the rules that tie them together, shared by every reader so that each takes
// exactly what the others take.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "image/pager_item.h"
#include "texts/message.h"

namespace vostrel::config {

// Blanks as every reader drops them around a cell, a key or a value: space and tab.
inline bool isBlank(char c) { return c == ' ' || c == '\t'; }
inline std::string_view trimLeft(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    return text;
}
inline std::string_view trim(std::string_view text) {
    text = trimLeft(text);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// What a reader found wrong, as a message the front ends word (texts/message.h): its
// arguments are the file's own texts, as written.
inline texts::Message readProblem(texts::TextKey key, std::vector<texts::MessageArgument> arguments = {}) {
    return {key, texts::Title::Error, std::move(arguments)};
}

// A text from the file as the readers' messages name it. What would show as nothing
// is written by its number, so that the message says what the file holds: a control
// character as \xNN, an invisible one (texts::isInvisible) as <U+FEFF>.
texts::Text fileText(std::string_view text);

// The capcode box holds seven characters; a capcode's digits are at most that many.
inline constexpr std::size_t kMaxCapcodeDigits = 7;
inline constexpr std::size_t kMaxLabelCharacters = 40;

// A capcode as installers write it: the decimal digits, leading zeros and all
// ("0200208", as pager-monitor filter files keep them), optionally followed by the
// sub-address letter A to D, which is this tool's tone ("1234567A", "1234567 a").
struct CapcodeNotation {
    std::string digits;           // empty for a row not in use
    std::optional<unsigned> tone;  // from the letter
};

// The notation, or what is wrong with the text. Blanks around it are dropped.
std::variant<CapcodeNotation, texts::Message> parseCapcodeNotation(std::string_view text);

// What is wrong with a label, if anything: longer than 40 characters, or a control
// character, which no box shows and a terminal could obey.
std::optional<texts::Message> labelProblem(std::string_view label);

// The fields of a row, for a problem that involves some of them.
enum class RowField { CapCode, Tone, Type, Message };

struct RowProblem {
    std::vector<RowField> fields;  // the fields that disagree, in no order
    texts::Message what;
};

// Which of a row's choices its file gave.
struct GivenChoices {
    bool tone = false;
    bool type = false;
    std::optional<unsigned> capcodeTone;  // the capcode's sub-address letter
    std::string capcodeText;             // as written, to name it
};

// The window's row rules (image::completeRow) for a row read from a file, worded for
// its reader: a tone or type the file left out follows the other; the capcode's letter
// gives the tone, and a Tone that says otherwise is a problem naming both.
std::optional<RowProblem> settleRowChoices(image::PagerItem& item, const GivenChoices& given);

}  // namespace vostrel::config
