// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/workings/language_texts.h"

#include <QStringList>

#include "files/program_folders.h"
#include "texts/language_file.h"
#include "texts/message_format.h"

namespace vostrel::ui {

LanguageTexts::LanguageTexts(std::vector<std::filesystem::path> places) : places_(std::move(places)) {}

LanguageTexts LanguageTexts::ofThisProgram() { return LanguageTexts(files::programPlaces().languageFilePlaces()); }

std::string LanguageTexts::translation(std::string_view key) const {
    const std::optional<std::string> bytes = texts::readLanguageFile(places_);
    return bytes ? texts::lookUpText(*bytes, key) : std::string(key);
}

QString LanguageTexts::text(texts::TextKey key) const {
    return QString::fromStdString(translation(key.text()));
}

QString LanguageTexts::messageText(const texts::Message& message) const {
    // Only texts with placeholders are formats; any other is shown as it stands, so a
    // translation may hold a plain '%'.
    if (message.arguments.empty()) return text(message.key);
    return QString::fromStdString(texts::formatMessage(translation(message.key.text()), message));
}

std::string LanguageTexts::languageCode() const {
    const std::string_view key = texts::keys::kLanguageCode.text();
    const QString named = QString::fromStdString(translation(key)).trimmed().toLower();
    // Without a translation the key stands for itself: the built-in texts are English.
    const QString untranslated = QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())).toLower();
    return named.isEmpty() || named == untranslated ? std::string("en") : named.toStdString();
}

QString joinedTexts(const std::vector<texts::Message>& messages, const LanguageTexts& texts) {
    QStringList shown;
    for (const auto& message : messages) shown << texts.messageText(message);
    return shown.join(QStringLiteral("; "));
}

MessageTitles::MessageTitles(const LanguageTexts& texts)
    : success_(texts.text(texts::keys::kSuccessTitle)),
      error_(texts.text(texts::keys::kErrorTitle)),
      warn_(texts.text(texts::keys::kWarnTitle)) {}

const QString& MessageTitles::operator[](texts::Title title) const {
    switch (title) {
        case texts::Title::Success: return success_;
        case texts::Title::Warn: return warn_;
        case texts::Title::Error: break;
    }
    return error_;
}

}  // namespace vostrel::ui
