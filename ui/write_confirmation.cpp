// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/write_confirmation.h"

#include <QStringList>
#include <array>
#include <string_view>

namespace vostrel::ui {
namespace {

using texts::keys;

using image::RowChange;

constexpr std::string_view kArrow = " \u2192 ";

// A call read from the transmitter as one line: capcode, tone letter, pager type and
// the message in quotes. Characters that would break the line or drive a terminal are
// shown as \xNN.
QString callText(const image::PagerItem& item, const LanguageTexts& texts) {
    QString message;
    // The message is UTF-8, as the rows' pager alphabets show it.
    for (const QChar character : QString::fromStdString(item.message)) {
        const char16_t code = character.unicode();
        message += code < 0x20 || code == 0x7F ? QStringLiteral("\\x%1").arg(code, 2, 16, QLatin1Char('0')).toUpper()
                                               : QString(character);
    }
    const QString type = texts.text(item.type == paging::PagerType::Alphanumeric ? keys::kAlphnumeric : keys::kNumeric);
    return QStringLiteral("%1 %2 %3 \"%4\"")
        .arg(QString::fromLatin1(item.capcode), QChar(char16_t(u'A' + item.tone)), type, message);
}

// The heading of a row that has a line; an empty row has none.
texts::TextKey rowKey(RowChange change) {
    switch (change) {
        case RowChange::Unchanged: return keys::kRowUnchanged;
        case RowChange::Changed: return keys::kRowChanged;
        case RowChange::Added: return keys::kRowNew;
        case RowChange::Cleared:
        case RowChange::Empty: break;
    }
    return keys::kRowCleared;
}

QString rowLine(unsigned row, const image::RowDifference& difference, const LanguageTexts& texts) {
    const QString heading =
        texts.messageText({rowKey(difference.change), texts::Title::Warn, {static_cast<int>(row + 1)}});
    const QString arrow = QString::fromUtf8(kArrow.data(), static_cast<qsizetype>(kArrow.size()));
    switch (difference.change) {
        case RowChange::Changed:
            return heading + QLatin1Char(' ') + callText(difference.held, texts) + arrow +
                   callText(difference.written, texts);
        case RowChange::Added: return heading + QLatin1Char(' ') + callText(difference.written, texts);
        default: return heading + QLatin1Char(' ') + callText(difference.held, texts);
    }
}

QString rateText(unsigned index) {
    return index < image::kDataRates.size() ? QString::number(image::kDataRates[index]) : QStringLiteral("-");
}

void addSettingLine(QStringList& lines, const LanguageTexts& texts, texts::TextKey heading, texts::TextKey unit,
                    const QString& held, const QString& written) {
    if (held == written) return;
    const QString arrow = QString::fromUtf8(kArrow.data(), static_cast<qsizetype>(kArrow.size()));
    lines << texts.text(heading) + QStringLiteral(": ") + held + arrow + written + QLatin1Char(' ') + texts.text(unit);
}

}  // namespace

QString writeConfirmationText(const image::ImageChanges& changes, const LanguageTexts& texts) {
    QStringList lines{texts.text(keys::kOverwriteQuestion)};
    for (unsigned row = 0; row < image::kRowCount; ++row) {
        if (changes.rows[row].change != RowChange::Empty) lines << rowLine(row, changes.rows[row], texts);
    }
    const image::TransmitterSettings& held = changes.heldSettings;
    const image::TransmitterSettings& written = changes.writtenSettings;
    addSettingLine(lines, texts, keys::kDataRateHeading, keys::kBitRateUnit, rateText(held.dataRateIndex), rateText(written.dataRateIndex));
    addSettingLine(lines, texts, keys::kPreambleHeading, keys::kBitsUnit, QString::number(held.preambleBits),
                   QString::number(written.preambleBits));
    addSettingLine(lines, texts, keys::kRepeaterHeading, keys::kTimesUnit, QString::number(held.repeatIndex + 1),
                   QString::number(written.repeatIndex + 1));
    lines << QString() << texts.text(keys::kWriteTheseCalls);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace vostrel::ui
