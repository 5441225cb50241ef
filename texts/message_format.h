// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Safe formatting of message texts. A translation is never handed to printf: the
// placeholders %c, %d, %02d, %s and the decimals %.1f to %.3f (%,1f to %,3f with a
// decimal comma) are substituted here, in order, and a text whose placeholders do not
// match the arguments is not used.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "texts/message.h"

namespace vostrel::texts {

// The formatted text, or nothing when the pattern holds another conversion, fewer or
// more placeholders than arguments, or a placeholder of the wrong kind. "%%" is a
// literal percent sign.
std::optional<std::string> formatPattern(std::string_view pattern,
                                         std::span<const MessageArgument> arguments);

// The message's text from `pattern` (a translation of its key); when the pattern
// does not fit the arguments, the built-in text of the key is used instead.
std::string formatMessage(std::string_view pattern, const Message& message);

// The built-in English text of the message.
std::string formatMessage(const Message& message);

// Texts offered as alternatives, the way a sentence lists them: "a", "a or b",
// "a, b or c", with `orWord` in the language shown (the key "or" translated).
std::string joinedAlternatives(const std::vector<std::string>& alternatives, std::string_view orWord);

}  // namespace vostrel::texts
