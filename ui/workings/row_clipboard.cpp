// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/workings/row_clipboard.h"

#include "config/row_fields.h"

#include <algorithm>

namespace vostrel::ui {

using texts::keys;
namespace {

constexpr QChar kTab = QLatin1Char('\t');
constexpr QChar kLineBreak = QLatin1Char('\n');
constexpr QChar kReturn = QLatin1Char('\r');
constexpr QChar kQuote = QLatin1Char('"');
constexpr std::array<QChar, 4> kToneLetters = {QLatin1Char('A'), QLatin1Char('B'), QLatin1Char('C'), QLatin1Char('D')};

QString quoted(const QString& cell) {
    const bool plain = !cell.contains(kTab) && !cell.contains(kLineBreak) && !cell.contains(kReturn) &&
                       !cell.startsWith(kQuote);
    if (plain) return cell;
    return kQuote + QString(cell).replace(kQuote, QStringLiteral("\"\"")) + kQuote;
}

texts::Message cellRefused(std::size_t line, int column) {
    return {keys::kCannotPasteCell, texts::Title::Error, {static_cast<int>(line) + 1, column}};
}

std::optional<unsigned> toneOf(const QString& cell) {
    const QString letter = cell.trimmed().toUpper();
    for (unsigned tone = 0; tone < kToneLetters.size(); ++tone) {
        if (letter == QString(kToneLetters[tone])) return tone;
    }
    return std::nullopt;
}

std::optional<paging::PagerType> typeOf(const QString& cell, const RowPasteRules& rules) {
    const QString name = cell.trimmed();
    for (std::size_t type = 0; type < rules.typeNames.size(); ++type) {
        if (rules.typeNames[type].contains(name, Qt::CaseInsensitive)) return static_cast<paging::PagerType>(type);
    }
    return std::nullopt;
}

bool isCapCode(const QString& cell, int limit) {
    if (cell.size() > limit) return false;
    for (const QChar character : cell) {
        if (character < QLatin1Char('0') || character > QLatin1Char('9')) return false;
    }
    return true;
}

}  // namespace

QString rowsAsText(const std::vector<QStringList>& rows) {
    QString text;
    for (const QStringList& row : rows) {
        QStringList cells;
        for (const QString& cell : row) cells << quoted(cell);
        text += cells.join(kTab) + kLineBreak;
    }
    return text;
}

QString withoutFinalLineBreak(const QString& text) {
    if (text.endsWith(QStringLiteral("\r\n"))) return text.chopped(2);
    if (text.endsWith(kLineBreak) || text.endsWith(kReturn)) return text.chopped(1);
    return text;
}

bool holdsRows(const QString& text) {
    const QString lines = withoutFinalLineBreak(text);
    return lines.contains(kTab) || lines.contains(kLineBreak) || lines.contains(kReturn);
}

qsizetype lineCount(const QString& text) {
    const QString lines = withoutFinalLineBreak(text);
    // Each CR LF, LF or CR alone ends a line.
    return lines.count(kLineBreak) + lines.count(kReturn) - lines.count(QStringLiteral("\r\n")) + 1;
}

bool typeable(const QString& text) {
    const QList<uint> characters = text.toUcs4();
    return std::all_of(characters.begin(), characters.end(), [](uint character) { return QChar::isPrint(character); });
}

std::vector<QStringList> tableCells(const QString& text) {
    const QString lines = withoutFinalLineBreak(text);
    std::vector<QStringList> table(1);
    QString cell;
    bool inQuotes = false;
    bool startOfCell = true;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QChar character = lines[i];
        if (inQuotes) {
            if (character != kQuote) {
                cell += character;
            } else if (i + 1 < lines.size() && lines[i + 1] == kQuote) {
                cell += kQuote;
                ++i;
            } else {
                inQuotes = false;
            }
            continue;
        }
        if (character == kQuote && startOfCell) {
            inQuotes = true;
            startOfCell = false;
        } else if (character == kTab) {
            table.back() << cell;
            cell.clear();
            startOfCell = true;
        } else if (character == kLineBreak || character == kReturn) {
            // A line ends with CR LF (Windows), LF or a CR alone (classic Mac OS).
            if (character == kReturn && i + 1 < lines.size() && lines[i + 1] == kLineBreak) ++i;
            table.back() << cell;
            cell.clear();
            table.emplace_back();
            startOfCell = true;
        } else {
            cell += character;
            startOfCell = false;
        }
    }
    table.back() << cell;
    return table;
}

std::variant<std::vector<PastedRow>, texts::Message> pastedRows(const std::vector<QStringList>& lines,
                                                                std::size_t firstRow,
                                                                const std::vector<image::RowState>& current,
                                                                const RowPasteRules& rules) {
    if (firstRow + lines.size() > current.size()) {
        return texts::Message{keys::kTooManyRowsToPaste, texts::Title::Error,
                              {static_cast<int>(lines.size()), static_cast<int>(firstRow) + 1}};
    }
    std::vector<PastedRow> rows;
    for (std::size_t line = 0; line < lines.size(); ++line) {
        const QStringList& cells = lines[line];
        // Cells past the label are refused unless a spreadsheet only left them empty.
        for (qsizetype column = kRowColumns; column < cells.size(); ++column) {
            if (!cells[column].isEmpty()) return cellRefused(line, static_cast<int>(column) + 1);
        }
        const auto cellAt = [&](int column) -> std::optional<QString> {
            if (column >= cells.size()) return std::nullopt;
            return cells[column];
        };
        PastedRow row{cellAt(0), current[firstRow + line], cellAt(3), cellAt(4)};
        if (row.capCode && !isCapCode(*row.capCode, rules.capCodeLimit)) return cellRefused(line, 1);

        // An empty tone or type cell leaves the row's choice; one given is chosen as
        // the user would, and the other follows it by the row rules.
        const QString toneCell = cellAt(1).value_or(QString());
        const QString typeCell = cellAt(2).value_or(QString());
        const auto tone = toneOf(toneCell);
        const auto type = typeOf(typeCell, rules);
        if (!toneCell.trimmed().isEmpty() && !tone) return cellRefused(line, 2);
        if (!typeCell.trimmed().isEmpty() && !type) return cellRefused(line, 3);
        if (tone && type) {
            const image::RowChoice choice{*tone, *type};
            row.state = image::applyToneRule(choice);
            // A pair the rules would not leave as given is refused rather than changed.
            if (row.state.choice != choice) return cellRefused(line, 3);
        } else if (tone) {
            row.state = image::applyToneRule({*tone, row.state.choice.type});
        } else if (type) {
            row.state = image::applyTypeRule({row.state.choice.tone, *type});
        }
        if (row.message && (row.message->size() > row.state.messageLimit || !typeable(*row.message))) {
            return cellRefused(line, kMessageColumn);
        }
        if (row.label && (static_cast<std::size_t>(row.label->toUcs4().size()) > config::kMaxLabelCharacters ||
                          !typeable(*row.label))) {
            return cellRefused(line, kLabelColumn);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace vostrel::ui
