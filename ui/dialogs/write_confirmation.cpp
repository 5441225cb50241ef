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
    const auto add = [&lines](const std::vector<std::string>& listed) {
        for (const std::string& line : listed) lines << QString::fromStdString(line);
    };
    // What changes is read first, not found among the rows that stay.
    add(image::changeLines(changes, image::ChangeListing::Differences, lookUp));
    const std::vector<std::string> unchanged = image::changeLines(changes, image::ChangeListing::Unchanged, lookUp);
    if (!unchanged.empty()) lines << QString();
    add(unchanged);
    lines << QString() << texts.text(texts::keys::kWriteTheseCalls);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace vostrel::ui
