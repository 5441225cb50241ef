// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "texts/translation.h"

#include "texts/language_file.h"
#include "texts/message_format.h"

namespace vostrel::texts {

Translation::Translation(Language language, std::vector<std::filesystem::path> languageFilePlaces)
    : language_(language), places_(std::move(languageFilePlaces)) {}

std::optional<std::string> Translation::fileText(std::string_view key) const {
    if (places_.empty()) return std::nullopt;
    const std::optional<std::string> bytes = readLanguageFile(places_);
    if (!bytes || !findIniValue(*bytes, kLanguageSection, key)) return std::nullopt;
    return lookUpText(*bytes, key);
}

std::string Translation::text(std::string_view key) const {
    if (auto translated = fileText(key)) return std::move(*translated);
    return lookUpText(builtInTranslation(language_), key);
}

std::string Translation::messageText(const Message& message) const {
    if (message.arguments.empty()) return text(message.key);
    for (const auto& pattern : {fileText(message.key.text()), findIniValue(builtInTranslation(language_),
                                                                          kLanguageSection, message.key.text())}) {
        if (!pattern) continue;
        if (auto formatted = formatPattern(*pattern, message.arguments)) return std::move(*formatted);
    }
    return formatMessage(message);
}

std::string Translation::languageCode() const { return languageCodeOf(text(keys::kLanguageCode)); }

namespace {

std::string asciiLowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return lower;
}

}  // namespace

std::string languageCodeOf(std::string_view text) {
    constexpr std::string_view kBlanks = " \t";
    const std::size_t first = text.find_first_not_of(kBlanks);
    text = first == std::string_view::npos ? std::string_view() : text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
    const std::string code = asciiLowerCase(text);
    return code.empty() || code == asciiLowerCase(keys::kLanguageCode.text()) ? std::string("en") : code;
}

Translation chosenTranslation(std::optional<Language> requested, Language systemLanguage,
                              std::vector<std::filesystem::path> places) {
    if (requested) return Translation(*requested);
    return Translation(systemLanguage, std::move(places));
}

Translation processTranslation(std::vector<std::filesystem::path> places) {
    return chosenTranslation(requestedLanguage(), systemLanguage(), std::move(places));
}

}  // namespace vostrel::texts
