#include "ui/language_texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "texts/language_file.h"
#include "texts/message_format.h"

namespace vostrel::ui {

LanguageTexts::LanguageTexts(QString filePath) : filePath_(std::move(filePath)) {}

LanguageTexts LanguageTexts::besideExecutable() {
    const QDir directory(QCoreApplication::applicationDirPath());
    return LanguageTexts(directory.filePath(QString::fromLatin1(texts::kLanguageFileName)));
}

std::string LanguageTexts::translation(std::string_view key) const {
    QFile file(filePath_);
    if (!file.open(QIODevice::ReadOnly)) return std::string(key);
    const QByteArray bytes = file.readAll();
    return texts::lookUpText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                             key);
}

QString LanguageTexts::text(std::string_view key) const {
    return QString::fromStdString(translation(key));
}

QString LanguageTexts::messageText(const texts::Message& message) const {
    // Only texts with placeholders are formats; any other is shown as it stands, so a
    // translation may hold a plain '%'.
    if (message.arguments.empty()) return text(message.key);
    return QString::fromStdString(texts::formatMessage(translation(message.key), message));
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
