#include "ui/language_texts.h"

#include <QCoreApplication>
#include <QFile>

#include "texts/language_file.h"
#include "texts/message_format.h"

namespace vostrel::ui {
namespace {

// Valid UTF-8 never holds this byte, so it can stand in for a character argument.
constexpr char kStandIn = '\xFF';

std::string latin1CharacterAsUtf8(char character) {
    return QString(QChar(static_cast<unsigned char>(character))).toUtf8().toStdString();
}

// A %c argument is one Latin-1 byte while the texts are UTF-8: each non-ASCII
// character goes in as the stand-in byte, which is then replaced by its UTF-8 form.
QString formatLatin1Arguments(std::string_view pattern, const texts::Message& message) {
    texts::Message standInMessage = message;
    std::vector<char> replaced;
    for (auto& argument : standInMessage.arguments) {
        char* character = std::get_if<char>(&argument);
        if (character == nullptr || static_cast<unsigned char>(*character) < 0x80) continue;
        replaced.push_back(*character);
        *character = kStandIn;
    }
    const std::string formatted = texts::formatMessage(pattern, standInMessage);
    std::string text;
    auto next = replaced.begin();
    for (const char c : formatted) {
        if (c == kStandIn && next != replaced.end()) {
            text += latin1CharacterAsUtf8(*next++);
        } else {
            text += c;
        }
    }
    return QString::fromStdString(text);
}

}  // namespace

LanguageTexts::LanguageTexts(std::vector<std::filesystem::path> places) : places_(std::move(places)) {}

LanguageTexts LanguageTexts::ofThisProgram() {
    const std::filesystem::path programDirectory(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    return LanguageTexts(texts::languageFilePlaces(programDirectory, texts::processConfigEnvironment()));
}

std::string LanguageTexts::translation(std::string_view key) const {
    const std::optional<std::string> bytes = texts::readLanguageFile(places_);
    return bytes ? texts::lookUpText(*bytes, key) : std::string(key);
}

QString LanguageTexts::text(std::string_view key) const {
    return QString::fromStdString(translation(key));
}

QString LanguageTexts::messageText(const texts::Message& message) const {
    // Only texts with placeholders are formats; any other is shown as it stands, so a
    // translation may hold a plain '%'.
    if (message.arguments.empty()) return text(message.key);
    return formatLatin1Arguments(translation(message.key), message);
}

MessageTitles::MessageTitles(const LanguageTexts& texts)
    : success_(texts.text("Success")), error_(texts.text("Error")), warn_(texts.text("Warn")) {}

const QString& MessageTitles::operator[](texts::Title title) const {
    switch (title) {
        case texts::Title::Success: return success_;
        case texts::Title::Warn: return warn_;
        case texts::Title::Error: break;
    }
    return error_;
}

}  // namespace vostrel::ui
