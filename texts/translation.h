// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The texts a run shows, for the window and vostrel-cli's site sheet alike. A text is
// looked up, in this order, in
//   1. the user's language file (texts/language_file.h), read anew at each lookup so
//      that a file changed while the program runs applies to the next message;
//   2. the built-in translation of the run's language (texts/languages.h);
//   3. the key itself, the built-in English text.
// A language asked for by the user for a run (--language, kLanguageVariable) stands
// alone: the language file is not read, so that the run shows what was asked for.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "texts/languages.h"
#include "texts/message.h"

namespace vostrel::texts {

class Translation {
public:
    // The first of `languageFilePlaces` that exists over `language`'s built-in texts.
    explicit Translation(Language language, std::vector<std::filesystem::path> languageFilePlaces = {});

    // The text of `key`, at most kMaxLookedUpCharacters characters of it.
    std::string text(std::string_view key) const;
    std::string text(TextKey key) const { return text(key.text()); }

    // The message's text: the first of the file's and the built-in pattern that fits its
    // placeholders, else the English one, formatted safely. A text without arguments is
    // shown as it stands, so that it may hold a plain '%'.
    std::string messageText(const Message& message) const;

    // The code of the language the texts are in ("de"): languageCodeOf the text of
    // kLanguageCode, the language file's or else the built-in language's.
    std::string languageCode() const;

private:
    std::optional<std::string> fileText(std::string_view key) const;

    Language language_;
    std::vector<std::filesystem::path> places_;
};

// The language's code that the text of kLanguageCode gives, in lower case: "en" where
// it is empty or the key itself (no translation names a language). The user guide,
// Qt's own texts and the site sheet's lang follow it.
std::string languageCodeOf(std::string_view text);

// The run's texts: the language `requested` alone, or else the language file of
// `places` over the user's `systemLanguage`.
Translation chosenTranslation(std::optional<Language> requested, Language systemLanguage,
                              std::vector<std::filesystem::path> places);

// This process's: requestedLanguage() and systemLanguage() of texts/languages.h.
Translation processTranslation(std::vector<std::filesystem::path> places);

}  // namespace vostrel::texts
