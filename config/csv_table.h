// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Comma-separated values as spreadsheets write them (RFC 4180): records of cells split
// by a separator, a cell in double quotes when it holds the separator, a quotation mark
// ("" inside) or a line break. Spreadsheets in most of Europe write ';' instead of ',',
// others a tab, and Excel may put a "sep=;" line first: the reader takes all of them
// without asking, choosing the separator under which the header line makes most sense.
// Texts are decoded UTF-8 (texts::readFileText) before they come here.

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "texts/message.h"

namespace vostrel::config {

inline constexpr std::array<char, 3> kCsvSeparators = {';', ',', '\t'};

struct CsvRecord {
    int line = 0;  // 1-based, where the record starts
    std::vector<std::string> cells;
};

// Where the text stops making sense: the 1-based line and column (the cell's number).
struct CsvProblem {
    int line = 0;
    int column = 0;
    texts::Message what;
};

struct CsvTable {
    char separator = ';';
    std::vector<CsvRecord> records;  // the header line first; records of empty cells left out
};

// How well a header line fits what the caller reads, for each candidate separator: for
// example the number of cells that name a known column.
using HeaderScore = std::function<int(const std::vector<std::string>& header)>;

// The records of the text. Every line end (LF, CRLF or CR) outside quotes ends one,
// inside quotes it is kept. With `commentLines` a record that starts with '#' is a
// comment (the label lists of other tools write them). The separator is the one a
// "sep=" first line names, or else the one whose header scores highest (then the one
// the header line holds most of, then ';', ',', tab). When no separator makes the
// header score, only the records up to the header are returned: the file is not what
// the caller reads, and what is wrong further on would only mislead.
std::variant<CsvTable, CsvProblem> readCsvTable(std::string_view text, bool commentLines, const HeaderScore& score);

// The cells split by one separator, lines counted from `firstLine`.
std::variant<std::vector<CsvRecord>, CsvProblem> splitCsv(std::string_view text, char separator, bool commentLines,
                                                         int firstLine = 1);

// A cell a spreadsheet would take for a formula ("=1+1", "+49 89", "-5", "@SUM(A1)", or
// one that starts with a tab or a carriage return) behind an apostrophe, the mark that
// spreadsheets hide and that keeps a cell text: opened as it is, LibreOffice and Excel
// compute it (a "=HYPERLINK(...)" label becomes a link), and a sheet saved again
// carries the result into the transmitter. A cell whose apostrophes come before such
// a character gets one more, so that withoutFormulaMark gives back exactly the cell.
std::string formulaSafe(std::string_view cell);
// The cell formulaSafe was given.
std::string_view withoutFormulaMark(std::string_view cell);

// One record as a line ending in CRLF, each cell formula-safe and quoted where it must
// be: when it holds a separator (any of the three, as spreadsheets may split at each),
// a quotation mark or a line break, or starts or ends with a blank that a reader could
// drop.
std::string csvLine(const std::vector<std::string>& cells, char separator);

}  // namespace vostrel::config
