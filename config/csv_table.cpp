// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "config/csv_table.h"

#include <algorithm>
#include <optional>
#include <tuple>

#include "config/row_fields.h"

namespace vostrel::config {
namespace {

constexpr char kQuote = '"';

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// Walks the text one cell at a time, counting lines as spreadsheets show them.
class CsvSplitter {
public:
    CsvSplitter(std::string_view text, char separator, bool commentLines, int firstLine)
        : text_(text), separator_(separator), commentLines_(commentLines), line_(firstLine) {}

    std::variant<std::vector<CsvRecord>, CsvProblem> split() {
        std::vector<CsvRecord> records;
        while (i_ < text_.size()) {
            if (commentLines_ && text_[i_] == '#') {
                while (i_ < text_.size() && !isLineEnd(text_[i_])) ++i_;
                skipLineEnd();
                continue;
            }
            CsvRecord record{line_, {}};
            if (auto problem = readRecord(record.cells)) return std::move(*problem);
            if (std::ranges::any_of(record.cells, [](const std::string& cell) { return !cell.empty(); })) {
                records.push_back(std::move(record));
            }
        }
        return records;
    }

private:
    std::optional<CsvProblem> readRecord(std::vector<std::string>& cells) {
        while (true) {
            const int column = static_cast<int>(cells.size()) + 1;
            auto cell = startsQuoted() ? quotedCell(column) : plainCell(column);
            if (auto* problem = std::get_if<CsvProblem>(&cell)) return std::move(*problem);
            cells.push_back(std::move(std::get<std::string>(cell)));
            if (i_ < text_.size() && text_[i_] == separator_) {
                ++i_;
                continue;
            }
            skipLineEnd();
            return std::nullopt;
        }
    }

    // Blanks before an opening quotation mark are dropped, as they are after the
    // closing one: hand-written files put them there.
    bool startsQuoted() {
        std::size_t j = i_;
        while (j < text_.size() && text_[j] == ' ') ++j;
        if (j >= text_.size() || text_[j] != kQuote) return false;
        i_ = j;
        return true;
    }

    std::variant<std::string, CsvProblem> quotedCell(int column) {
        const int openedOn = line_;
        std::string cell;
        ++i_;
        while (true) {
            if (i_ >= text_.size()) {
                return CsvProblem{openedOn, column, readProblem(texts::keys::kCellQuoteNotClosed)};
            }
            const char c = text_[i_];
            if (c == kQuote && i_ + 1 < text_.size() && text_[i_ + 1] == kQuote) {
                cell += kQuote;
                i_ += 2;
            } else if (c == kQuote) {
                ++i_;
                break;
            } else if (c == '\0') {
                return nul(column);
            } else {
                cell += c;
                ++i_;
                // A line break inside the cell: CRLF counts as one line.
                if (c == '\n' || (c == '\r' && (i_ >= text_.size() || text_[i_] != '\n'))) ++line_;
            }
        }
        while (i_ < text_.size() && text_[i_] == ' ') ++i_;
        if (i_ < text_.size() && text_[i_] != separator_ && !isLineEnd(text_[i_])) {
            return CsvProblem{line_, column, readProblem(texts::keys::kTextAfterCellQuote)};
        }
        return cell;
    }

    std::variant<std::string, CsvProblem> plainCell(int column) {
        std::string cell;
        for (; i_ < text_.size() && text_[i_] != separator_ && !isLineEnd(text_[i_]); ++i_) {
            if (text_[i_] == kQuote) {
                return CsvProblem{line_, column, readProblem(texts::keys::kQuoteInsideCell)};
            }
            if (text_[i_] == '\0') return nul(column);
            cell += text_[i_];
        }
        return cell;
    }

    // No text holds one: a binary file is not taken for a list.
    CsvProblem nul(int column) const { return {line_, column, readProblem(texts::keys::kNulInCell)}; }

    void skipLineEnd() {
        if (i_ >= text_.size()) return;
        if (text_[i_] == '\r') {
            ++i_;
            if (i_ < text_.size() && text_[i_] == '\n') ++i_;
        } else if (text_[i_] == '\n') {
            ++i_;
        }
        ++line_;
    }

    std::string_view text_;
    char separator_;
    bool commentLines_;
    int line_;
    std::size_t i_ = 0;
};

// Excel's first line "sep=;" names the separator of the rest. Nothing when the text
// has no such line; a problem when it names no separator this reader knows.
std::variant<std::optional<char>, CsvProblem> separatorLine(std::string_view text) {
    const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
    const std::string_view line = text.substr(0, end);
    if (line.size() < 4 || (line.substr(0, 4) != "sep=" && line.substr(0, 4) != "SEP=")) return std::nullopt;
    const std::string_view named = line.substr(4);
    if (named.size() == 1 && std::ranges::find(kCsvSeparators, named[0]) != kCsvSeparators.end()) return named[0];
    return CsvProblem{1, 1, readProblem(texts::keys::kUnknownSeparator, {fileText(line)})};
}

std::string_view afterFirstLine(std::string_view text) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) return {};
    const std::size_t next = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    return text.substr(next);
}

// Where the line that holds the header ends: the first line with a cell that is not
// empty and not a comment.
std::size_t headerEnd(std::string_view text, bool commentLines) {
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        const std::string_view line = text.substr(start, end - start);
        const bool comment = commentLines && line.starts_with('#');
        if (!comment && line.find_first_not_of(" ;,\t") != std::string_view::npos) return end;
        start = end + 1;
    }
    return text.size();
}

}  // namespace

std::variant<std::vector<CsvRecord>, CsvProblem> splitCsv(std::string_view text, char separator, bool commentLines,
                                                         int firstLine) {
    return CsvSplitter(text, separator, commentLines, firstLine).split();
}

std::variant<CsvTable, CsvProblem> readCsvTable(std::string_view text, bool commentLines, const HeaderScore& score) {
    auto named = separatorLine(text);
    if (auto* problem = std::get_if<CsvProblem>(&named)) return std::move(*problem);
    if (const auto separator = std::get<std::optional<char>>(named)) {
        auto records = splitCsv(afterFirstLine(text), *separator, commentLines, 2);
        if (auto* problem = std::get_if<CsvProblem>(&records)) return std::move(*problem);
        return CsvTable{*separator, std::move(std::get<std::vector<CsvRecord>>(records))};
    }
    // Each candidate on the first line alone; the best header wins, ties go to the
    // separator the line holds most of, then to the order of kCsvSeparators.
    const std::string_view firstLine = text.substr(0, headerEnd(text, commentLines));
    char best = kCsvSeparators.front();
    std::tuple<int, std::size_t> bestRank{-1, 0};
    for (const char separator : kCsvSeparators) {
        const auto header = splitCsv(firstLine, separator, commentLines);
        const auto* records = std::get_if<std::vector<CsvRecord>>(&header);
        if (records == nullptr || records->empty()) continue;
        const std::tuple<int, std::size_t> rank{score(records->front().cells), records->front().cells.size()};
        if (rank > bestRank) {
            bestRank = rank;
            best = separator;
        }
    }
    // A header that names nothing is the file's problem, whatever follows it (a
    // configuration or another file given by mistake): it alone is returned.
    auto records = splitCsv(std::get<0>(bestRank) > 0 ? text : firstLine, best, commentLines);
    if (auto* problem = std::get_if<CsvProblem>(&records)) return std::move(*problem);
    return CsvTable{best, std::move(std::get<std::vector<CsvRecord>>(records))};
}

namespace {

// Whether a formula mark goes before the cell, or comes off it: its first character
// after any apostrophes starts a formula.
bool startsFormula(std::string_view cell) {
    const std::size_t first = cell.find_first_not_of('\'');
    return first != std::string_view::npos && std::string_view("=+-@\t\r").find(cell[first]) != std::string_view::npos;
}

}  // namespace

std::string formulaSafe(std::string_view cell) { return (startsFormula(cell) ? "'" : "") + std::string(cell); }

std::string_view withoutFormulaMark(std::string_view cell) {
    return cell.starts_with('\'') && startsFormula(cell) ? cell.substr(1) : cell;
}

std::string csvLine(const std::vector<std::string>& cells, char separator) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) line += separator;
        const std::string cell = formulaSafe(cells[i]);
        // Any of the separators, not only this one: LibreOffice's import splits at ',',
        // ';' and tab alike unless told otherwise.
        const bool quote = cell.find_first_of(std::string{';', ',', '\t', kQuote, '\r', '\n'}) != std::string::npos ||
                           (!cell.empty() && (cell.front() == ' ' || cell.back() == ' '));
        if (!quote) {
            line += cell;
            continue;
        }
        line += kQuote;
        for (const char c : cell) {
            if (c == kQuote) line += kQuote;
            line += c;
        }
        line += kQuote;
    }
    return line + "\r\n";
}

}  // namespace vostrel::config
