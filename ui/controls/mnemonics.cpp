// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/controls/mnemonics.h"

#include <QSet>

namespace vostrel::ui {
namespace {

constexpr QChar kMark = QLatin1Char('&');

// Where the shortcut mark stands, if anywhere.
std::optional<qsizetype> markPosition(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != kMark) continue;
        if (caption[i + 1] != kMark) return i;
        ++i;  // "&&" stands for one literal ampersand
    }
    return std::nullopt;
}

// The caption with its shortcut mark (not a literal "&&") removed.
QString unmarked(const QString& caption) {
    QString text = caption;
    if (const auto at = markPosition(caption)) text.remove(*at, 1);
    return text;
}

// A caption that has no mark at `position` of its unmarked text, or a mark before it.
QString markedAt(const QString& text, std::optional<qsizetype> position) {
    QString caption = text;
    if (position) caption.insert(*position, kMark);
    return caption;
}

}  // namespace

std::optional<QChar> mnemonic(const QString& caption) {
    const auto at = markPosition(caption);
    if (!at) return std::nullopt;
    return caption[*at + 1].toUpper();
}

QString withoutMnemonic(const QString& caption) {
    QString text = unmarked(caption);
    return text.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

QStringList distinctMnemonics(const QStringList& captions) {
    QSet<QChar> taken;
    QStringList result;
    for (const QString& caption : captions) {
        const auto letter = mnemonic(caption);
        if (!letter || !taken.contains(*letter)) {
            if (letter) taken.insert(*letter);
            result << caption;
            continue;
        }
        // The first free letter or digit of the text, skipping literal ampersands.
        const QString text = unmarked(caption);
        std::optional<qsizetype> free;
        for (qsizetype i = 0; i < text.size() && !free; ++i) {
            if (text[i] == kMark) {
                ++i;
                continue;
            }
            if (text[i].isLetterOrNumber() && !taken.contains(text[i].toUpper())) free = i;
        }
        if (free) taken.insert(text[*free].toUpper());
        result << markedAt(text, free);
    }
    return result;
}

}  // namespace vostrel::ui
