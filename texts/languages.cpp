// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "texts/languages.h"

#include <array>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vostrel::embedded {
// Generated from the translations in docs/ (texts/CMakeLists.txt).
std::string_view germanTranslation();
std::string_view frenchTranslation();
}  // namespace vostrel::embedded

namespace vostrel::texts {
namespace {

struct BuiltIn {
    Language language;
    std::string_view code;
};
constexpr std::array<BuiltIn, 3> kBuiltIn = {{
    {Language::English, "en"},
    {Language::German, "de"},
    {Language::French, "fr"},
}};

bool sameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
    }
    return true;
}

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// The locale gettext takes messages from: the first of LC_ALL, LC_MESSAGES and LANG
// that is set.
std::string_view messagesLocale(const LocaleEnvironment& environment) {
    for (const std::string* name : {&environment.lcAll, &environment.lcMessages, &environment.lang}) {
        if (!name->empty()) return *name;
    }
    return "C";
}

bool isCLocale(std::string_view name) {
    // "C.UTF-8" is the C locale with UTF-8 characters: no language either.
    const std::string_view base = name.substr(0, name.find('.'));
    return base == "C" || base == "POSIX";
}

}  // namespace

std::string_view languageCode(Language language) {
    for (const BuiltIn& builtIn : kBuiltIn) {
        if (builtIn.language == language) return builtIn.code;
    }
    return "en";
}

std::optional<Language> languageCoded(std::string_view code) {
    for (const BuiltIn& builtIn : kBuiltIn) {
        if (sameIgnoringAsciiCase(builtIn.code, code)) return builtIn.language;
    }
    return std::nullopt;
}

std::optional<Language> languageOfLocaleName(std::string_view name) {
    // language[_territory][.codeset][@modifier], or a tag such as en-GB.
    return languageCoded(name.substr(0, name.find_first_of("_.@-")));
}

std::string_view builtInTranslation(Language language) {
    switch (language) {
        case Language::German: return embedded::germanTranslation();
        case Language::French: return embedded::frenchTranslation();
        case Language::English: break;
    }
    return {};
}

LocaleEnvironment processLocaleEnvironment() {
    return {variable("LANGUAGE"), variable("LC_ALL"), variable("LC_MESSAGES"), variable("LANG")};
}

Language languageOfLocale(const LocaleEnvironment& environment) {
    const std::string_view locale = messagesLocale(environment);
    if (isCLocale(locale)) return Language::English;
    std::string_view list = environment.language;
    while (!list.empty()) {
        const std::size_t end = std::min(list.find(':'), list.size());
        if (const auto listed = languageOfLocaleName(list.substr(0, end))) return *listed;
        list.remove_prefix(std::min(end + 1, list.size()));
    }
    // gettext would look no further once LANGUAGE lists a language it has no texts
    // for; English is what it would show then, and what the locale gives otherwise.
    if (!environment.language.empty()) return Language::English;
    return languageOfLocaleName(locale).value_or(Language::English);
}

Language languageOfWindowsLanguageId(unsigned languageId) {
    // PRIMARYLANGID: the language without its country (German of Austria, French of
    // Canada). LANG_GERMAN and LANG_FRENCH.
    switch (languageId & 0x3FFU) {
        case 0x07: return Language::German;
        case 0x0C: return Language::French;
        default: return Language::English;
    }
}

std::optional<Language> requestedLanguage() {
    return languageCoded(variable(std::string(kLanguageVariable).c_str()));
}

Language systemLanguage() {
#ifdef _WIN32
    return languageOfWindowsLanguageId(GetUserDefaultUILanguage());
#else
    return languageOfLocale(processLocaleEnvironment());
#endif
}

}  // namespace vostrel::texts
