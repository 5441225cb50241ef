// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// An outcome to show the user: a text key (texts/text_keys.h), its arguments and the
// title it is shown under.
// Formatted texts are UTF-8.
// The libraries below the front ends never format texts themselves, so that one
// translation applies to the command-line tool and the window alike.

#include <cstdio>
#include <string>
#include <variant>
#include <vector>

#include "texts/text_codec.h"
#include "texts/text_keys.h"

namespace vostrel::texts {

enum class Title { Error, Warn, Success };

// A character for %c, as its Unicode code point: the character the user typed, even
// one that no 8-bit code page holds.
struct Character {
    char32_t codePoint = 0;

    friend bool operator==(const Character&, const Character&) = default;
};

// A number with a fraction for %.1f, %.2f or %.3f, written with a decimal point, or
// for %,1f, %,2f or %,3f, written with a decimal comma as German and many other
// languages write it. Never formatted by the C library, whose decimal separator
// follows the process's locale.
struct Decimal {
    double value = 0;

    friend bool operator==(const Decimal&, const Decimal&) = default;
};

// A text for %s, UTF-8: a replacement, an alphabet's name. Never a translation, so it
// is inserted as it stands.
struct Text {
    std::string utf8;

    friend bool operator==(const Text&, const Text&) = default;
};

// One placeholder's value: a character for %c, a number for %d and %02d, a decimal
// for %.Nf and %,Nf, a text for %s.
using MessageArgument = std::variant<Character, int, Decimal, Text>;

struct Message {
    TextKey key;
    Title title = Title::Error;
    std::vector<MessageArgument> arguments;

    friend bool operator==(const Message&, const Message&) = default;
};

// What the message on a text file in a wider Unicode form tells the user to do: save
// it as UTF-8, or (a site list) as a spreadsheet's CSV.
enum class EncodingRemedy { SaveAsUtf8, SaveListAsCsv };

// What is wrong with a text file that texts::readFileText refuses, for the message
// that names the file, the line and the column: the mixture's first byte that is not
// UTF-8 (as 0xNN) and the UTF-8 text that makes the file a mixture, or the wider
// Unicode form the file is in, and what to do.
Message encodingProblemMessage(const EncodingProblem& problem, EncodingRemedy remedy = EncodingRemedy::SaveAsUtf8);

// The note, said once, that the text file named `fileName` held no UTF-8 and was read
// as Windows-1252.
inline Message readAsWindows1252Note(std::string fileName) {
    return {keys::kReadAsWindows1252, Title::Warn, {Text{std::move(fileName)}}};
}

}  // namespace vostrel::texts
