// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The window's texts: the user's language file "kdx20Lang.ini" over the built-in
// texts of the run's language (texts/translation.h), as QStrings.

#include <QString>
#include <string>
#include <vector>

#include "texts/message.h"
#include "texts/translation.h"

namespace vostrel::ui {

class LanguageTexts {
public:
    explicit LanguageTexts(texts::Translation translation) : translation_(std::move(translation)) {}
    // The run's language (texts/languages.h) under the language file beside the
    // executable, else in the user's or the system's configuration directories; beside
    // a portable copy alone (files/program_folders.h).
    static LanguageTexts ofThisProgram();

    // The text for `key`. The file is looked for and read anew on every call, so that
    // a file changed while the tool runs applies to the next message.
    QString text(texts::TextKey key) const;
    // The message's text, its translation formatted safely.
    QString messageText(const texts::Message& message) const;
    // The window's language as a code ("de", "en"): the one its texts name (LanguageCode,
    // texts/translation.h). Help opens the user guide in it, Qt's own texts follow it.
    std::string languageCode() const;
    const texts::Translation& translation() const { return translation_; }

private:
    texts::Translation translation_;
};

// The messages' texts, joined by "; ".
QString joinedTexts(const std::vector<texts::Message>& messages, const LanguageTexts& texts);

// The three message-box titles, looked up once when the window is created.
class MessageTitles {
public:
    explicit MessageTitles(const LanguageTexts& texts);
    const QString& operator[](texts::Title title) const;

private:
    QString success_;
    QString error_;
    QString warn_;
};

}  // namespace vostrel::ui
