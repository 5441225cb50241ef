// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The keys of the texts the tool shows in the user's language. A text is looked up
// by a TextKey, and only the list in texts/text_keys.def makes one: a key spelled
// anywhere else does not compile, so that no text is shown that the example
// translation cannot have.

#include <string_view>

namespace vostrel::texts {

class TextKey {
public:
    // The built-in English text, which is also the key its translation is found by.
    constexpr std::string_view text() const { return text_; }

    friend constexpr bool operator==(TextKey, TextKey) = default;

private:
    friend struct keys;
    constexpr explicit TextKey(std::string_view text) : text_(text) {}

    std::string_view text_;
};

// keys::kDeviceNotFound and the like, and keys::kAll, every key in the list's order.
struct keys {
#define VOSTREL_TEXT_KEY(name, text) static constexpr TextKey name{text};
#include "texts/text_keys.def"
#undef VOSTREL_TEXT_KEY

    static constexpr TextKey kAll[] = {
#define VOSTREL_TEXT_KEY(name, text) name,
#include "texts/text_keys.def"
#undef VOSTREL_TEXT_KEY
    };
};

}  // namespace vostrel::texts
