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

std::string Translation::languageCode() const { return text(keys::kLanguageCode); }

Translation chosenTranslation(std::optional<Language> requested, Language systemLanguage,
                              std::vector<std::filesystem::path> places) {
    if (requested) return Translation(*requested);
    return Translation(systemLanguage, std::move(places));
}

Translation processTranslation(std::vector<std::filesystem::path> places) {
    return chosenTranslation(requestedLanguage(), systemLanguage(), std::move(places));
}

}  // namespace vostrel::texts
