// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Fuzzes the language file reader and the formatting of what it returns: any bytes
// a user puts beside the executable must neither crash nor read out of bounds.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "texts/language_file.h"
#include "texts/message_format.h"

namespace {

using vostrel::texts::Character;
using vostrel::texts::Message;
using vostrel::texts::Title;
using keys = vostrel::texts::keys;

const Message kMessages[] = {
    {keys::kInvalidCode, Title::Error, {Character{U'a'}, 3}},
    {keys::kOutOfEepromSize, Title::Warn, {11}},
    {keys::kCapCodeOutOfRange, Title::Error, {4}},
    {keys::kWriteCompleted, Title::Success, {}},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const Message& message : kMessages) {
        const std::string pattern = vostrel::texts::lookUpText(bytes, message.key.text());
        const std::string text = vostrel::texts::formatMessage(pattern, message);
        // A message with arguments always has text: the translation's or the key's.
        if (!message.arguments.empty() && text.empty()) __builtin_trap();
    }
    // Section and key names taken from the input itself reach the other paths.
    const std::size_t split = size / 2;
    (void)vostrel::texts::findIniValue(bytes, bytes.substr(0, split / 2), bytes.substr(split / 2, split / 2));
    return 0;
}
