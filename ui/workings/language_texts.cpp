// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/workings/language_texts.h"

#include <QStringList>

#include "files/program_folders.h"

namespace vostrel::ui {

LanguageTexts LanguageTexts::ofThisProgram() {
    return LanguageTexts(texts::processTranslation(files::programPlaces().languageFilePlaces()));
}

QString LanguageTexts::text(texts::TextKey key) const { return QString::fromStdString(translation_.text(key)); }

QString LanguageTexts::messageText(const texts::Message& message) const {
    return QString::fromStdString(translation_.messageText(message));
}

std::string LanguageTexts::languageCode() const { return translation_.languageCode(); }

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
