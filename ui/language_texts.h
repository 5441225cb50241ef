#pragma once
// Display texts from the language file "kdx20Lang.ini" beside the executable, with
// the built-in English text (the key) wherever the file has no translation.

#include <QString>
#include <string_view>

#include "texts/message.h"

namespace vostrel::ui {

class LanguageTexts {
public:
    explicit LanguageTexts(QString filePath);
    // The language file in the executable's directory.
    static LanguageTexts besideExecutable();

    // The text for `key`. The file is read anew on every call, so that a file changed
    // while the tool runs applies to the next message.
    QString text(std::string_view key) const;
    // The message's text, its translation formatted safely.
    QString messageText(const texts::Message& message) const;

private:
    std::string translation(std::string_view key) const;

    QString filePath_;
};

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
