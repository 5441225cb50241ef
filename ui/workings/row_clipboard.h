// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Rows on the clipboard as tab-separated text, the form spreadsheets copy and paste:
// one line a row (ended by CR LF, LF or CR), its cells capcode, tone (A to D), pager
// type and message. A cell
// holding a tab, a line break or a leading quotation mark is quoted, "" standing for
// one quotation mark, as spreadsheets write it.

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <variant>
#include <vector>

#include "texts/message.h"
#include "image/row_rules.h"

namespace vostrel::ui {

inline constexpr int kRowColumns = 5;  // capcode, tone, type, message, label
inline constexpr int kMessageColumn = 4;
inline constexpr int kLabelColumn = 5;

QString rowsAsText(const std::vector<QStringList>& rows);

// Text that holds cells of rows rather than one box's text: a tab or a second line.
bool holdsRows(const QString& text);

// Whether typing could have entered `text`: no control or other unprintable character
// (a tab, a line break, a NUL), which a paste would otherwise put into a message.
bool typeable(const QString& text);

// More than any rows a paste can fill: a clipboard beyond it is refused before it is
// read cell by cell, which for tens of megabytes would hold the window for seconds.
inline constexpr qsizetype kMaxPastedCharacters = 256 * 1024;

// `text` without the one line break a spreadsheet puts after its last line.
QString withoutFinalLineBreak(const QString& text);

// The number of lines of `text`, each ended by CR LF, LF or a CR alone; found without
// reading the cells.
qsizetype lineCount(const QString& text);

// The lines of tab-separated text and their cells.
std::vector<QStringList> tableCells(const QString& text);

// What each box and list of a row takes.
struct RowPasteRules {
    int capCodeLimit = 0;
    // The names each pager type is known by (index 0 numeric, 1 alphanumeric), any case.
    std::array<QStringList, 2> typeNames;
};

// A row as a paste leaves it: a text is set only where the line holds its cell.
struct PastedRow {
    std::optional<QString> capCode;
    image::RowState state;
    std::optional<QString> message;
    std::optional<QString> label;
};

// Checks every cell as typing into its box or choosing in its list would take it, the
// tone and type under the row rules, before anything is changed: the rows from
// `firstRow` (0-based) on, or the message that says which cell does not fit.
// `current` holds the state of every row of the window now.
std::variant<std::vector<PastedRow>, texts::Message> pastedRows(const std::vector<QStringList>& lines,
                                                                std::size_t firstRow,
                                                                const std::vector<image::RowState>& current,
                                                                const RowPasteRules& rules);

}  // namespace vostrel::ui
