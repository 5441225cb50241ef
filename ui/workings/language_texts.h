// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Display texts from the language file "kdx20Lang.ini", with the built-in English
// text (the key) wherever the file has no translation.

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "texts/message.h"

namespace vostrel::ui {

class LanguageTexts {
public:
    // The language file is the first of `places` that exists.
    explicit LanguageTexts(std::vector<std::filesystem::path> places);
    // The language file beside the executable, else in the user's or the system's
    // configuration directories; beside a portable copy alone (files/program_folders.h).
    static LanguageTexts ofThisProgram();

    // The text for `key`. The file is looked for and read anew on every call, so that
    // a file changed while the tool runs applies to the next message.
    QString text(texts::TextKey key) const;
    // The message's text, its translation formatted safely.
    QString messageText(const texts::Message& message) const;
    // The window's language as a code ("de", "en"), which Help opens the user guide in:
    // the one the language file names (LanguageCode), in lower case; English without one.
    // The one place that says which language the window speaks.
    std::string languageCode() const;

private:
    std::string translation(std::string_view key) const;

    std::vector<std::filesystem::path> places_;
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
