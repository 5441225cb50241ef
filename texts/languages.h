// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The languages built into the programs, and how the user's language is found:
//
//   language  code  built-in texts
//   English   en    the keys themselves (texts/text_keys.def)
//   German    de    docs/kdx20Lang.example.ini
//   French    fr    docs/kdx20Lang.example.fr.ini
//
// The translations are compiled in from those very files (texts/CMakeLists.txt), so the
// example a user copies to start a translation and the texts the programs show cannot
// drift apart. The user's language is, in this order:
//   1. the one asked for by kLanguageVariable (--language sets it for its run);
//   2. on Windows the user's display language; elsewhere the locale's, read as gettext
//      reads it: LANGUAGE (a list, the first built-in language in it), then the locale
//      of LC_ALL, LC_MESSAGES or LANG, the first that is set. A locale of C or POSIX
//      (or none) is English, and makes gettext ignore LANGUAGE too;
//   3. English for any language not built in.

#include <optional>
#include <string>
#include <string_view>

namespace vostrel::texts {

enum class Language { English, German, French };

// "en", "de", "fr": the language's ISO 639-1 code.
std::string_view languageCode(Language language);

// The built-in language of that code, in any case; nothing for any other text.
std::optional<Language> languageCoded(std::string_view code);

// The built-in language of a locale name ("de_DE.UTF-8", "fr_CH", "de", "en-GB"):
// nothing for C, POSIX and languages not built in.
std::optional<Language> languageOfLocaleName(std::string_view name);

// The translation of the language as a language file holds it, section [Message];
// empty for English, whose texts are the keys.
std::string_view builtInTranslation(Language language);

// The variable that asks for a language for a run, with a code: VOSTREL_LANGUAGE=de.
inline constexpr std::string_view kLanguageVariable = "VOSTREL_LANGUAGE";

// The environment gettext reads; empty when unset.
struct LocaleEnvironment {
    std::string language;    // LANGUAGE: a list such as "de_AT:de:en"
    std::string lcAll;       // LC_ALL
    std::string lcMessages;  // LC_MESSAGES
    std::string lang;        // LANG
};
LocaleEnvironment processLocaleEnvironment();

// The language the environment asks for, in gettext's order (see above).
Language languageOfLocale(const LocaleEnvironment& environment);

// The language of a Windows language identifier (GetUserDefaultUILanguage's LANGID).
Language languageOfWindowsLanguageId(unsigned languageId);

// The language asked for by kLanguageVariable; nothing when it is unset or names no
// built-in language.
std::optional<Language> requestedLanguage();

// The user's language on this system: Windows' display language, elsewhere the
// locale's.
Language systemLanguage();

}  // namespace vostrel::texts
