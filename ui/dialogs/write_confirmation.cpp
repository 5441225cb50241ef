// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/dialogs/write_confirmation.h"

#include <QStringList>
#include <string>

namespace vostrel::ui {

QString writeConfirmationText(const image::ImageChanges& changes, const LanguageTexts& texts) {
    const image::TextLookup lookUp = [&texts](const texts::Message& message) {
        return texts.messageText(message).toStdString();
    };
    QStringList lines{texts.text(texts::keys::kOverwriteQuestion)};
    for (const std::string& line : image::changeLines(changes, image::ChangeListing::RowsInUse, lookUp)) {
        lines << QString::fromStdString(line);
    }
    lines << QString() << texts.text(texts::keys::kWriteTheseCalls);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace vostrel::ui
