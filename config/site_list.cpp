// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "config/site_list.h"

#include <algorithm>
#include <map>

#include "config/config_file.h"
#include "config/csv_table.h"
#include "config/row_fields.h"
#include "image/row_rules.h"
#include "image/pager_text.h"
#include "texts/text_codec.h"

namespace vostrel::config {
namespace {

using image::kRowCount;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";


// The headings every reader knows, English and German, each column's in a row.
const std::array<std::vector<std::string_view>, kSiteColumnCount> kKnownHeadings = {{
    {"Row", "Zeile", "Item"},
    {"Label", "Bezeichnung", "Description", "Beschreibung"},
    {"CapCode", "RIC", "Rufnummer", "Address", "Adresse"},
    {"Tone", "Ton", "Sub-address", "Subadresse", "Function", "Funktion"},
    {"Type", "Typ", "Pager type", "Pagertyp"},
    {"Message", "Nachricht", "Text"},
    {"Alphabet", "Pager alphabet", "Pager-Alphabet"},
}};

const std::array<std::vector<std::string_view>, 2> kKnownTypes = {{
    {"Numeric", "Numerisch"},
    {"Alphanumeric", "Alphnumeric", "Alphanumerisch"},
}};

// A heading or name without what spreadsheets and editors leave around it that shows
// as nothing: blanks, no-break spaces, a byte-order mark written twice, a zero-width
// space.
std::string_view nameText(std::string_view text) {
    const auto isEdge = [](char32_t c) { return c == ' ' || c == '\t' || c == 0xA0 || texts::isInvisible(c); };
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        const auto c = texts::nextCodePoint(text, i);
        if (!c || !isEdge(*c)) {
            text.remove_prefix(start);
            break;
        }
        if (i == text.size()) return {};
    }
    while (!text.empty()) {
        std::size_t last = text.size() - 1;
        while (last > 0 && (static_cast<unsigned char>(text[last]) & 0xC0) == 0x80) --last;
        std::size_t end = last;
        const auto c = texts::nextCodePoint(text, end);
        if (!c || end != text.size() || !isEdge(*c)) break;
        text.remove_suffix(text.size() - last);
    }
    return text;
}

bool sameName(std::string_view a, std::string_view b) {
    a = nameText(a);
    b = nameText(b);
    return std::ranges::equal(a, b, [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

template <typename Names>
bool anyNamed(const Names& names, std::string_view text) {
    return std::ranges::any_of(names, [&](const auto& name) { return sameName(name, text); });
}

std::string alphabetNames() {
    std::string names;
    for (const paging::AlphabetTable& table : paging::kAlphabets) names += (names.empty() ? "" : ", ") + std::string(table.name);
    return names;
}

using texts::keys;

std::string typeName(paging::PagerType type) {
    return type == paging::PagerType::Alphanumeric ? "Alphanumeric" : "Numeric";
}

// ---- reading one line ---------------------------------------------------------------

// Which cell of a line holds each column; 0 when the file has no such column.
using ColumnCells = std::array<int, kSiteColumnCount>;

int cellOf(const ColumnCells& cells, SiteColumn column) { return cells[static_cast<std::size_t>(column)]; }

class LineReader {
public:
    LineReader(const CsvRecord& record, const ColumnCells& cells, const SiteListReading& reading)
        : record_(record), cells_(cells), reading_(reading) {}

    std::variant<unsigned, SiteListError> rowNumber(unsigned nextRow) const {
        if (cellOf(cells_, SiteColumn::Row) == 0) {
            if (nextRow >= kRowCount) return error(1, readProblem(keys::kMoreThan16Rows));
            return nextRow;
        }
        const std::string_view text = trim(cell(SiteColumn::Row));
        const bool digits = !text.empty() && text.size() <= 2 && std::ranges::all_of(text, [](char c) {
            return c >= '0' && c <= '9';
        });
        const int row = digits ? std::stoi(std::string(text)) : 0;
        if (row < 1 || row > static_cast<int>(kRowCount)) {
            return error(SiteColumn::Row, readProblem(keys::kRowChoices, {fileText(text)}));
        }
        return static_cast<unsigned>(row - 1);
    }

    // The row's cells as an item, its label and alphabet, checked as the configuration
    // and Write check them.
    std::optional<SiteListError> read(unsigned row, SiteList& list) const {
        auto problem = readRow(row, list);
        if (problem) problem->row = static_cast<int>(row) + 1;
        return problem;
    }

private:
    std::optional<SiteListError> readRow(unsigned row, SiteList& list) const {
        image::PagerItem& item = list.rows[row];
        GivenChoices given;
        if (auto problem = readCapcode(item, given)) return problem;
        if (auto problem = readTone(item, given)) return problem;
        if (auto problem = readType(item, given)) return problem;
        if (auto problem = readAlphabet(list.alphabets[row])) return problem;
        if (auto problem = labelProblem(cell(SiteColumn::Label))) return error(SiteColumn::Label, *problem);
        list.labels[row] = std::string(cell(SiteColumn::Label));
        item.message = std::string(cell(SiteColumn::Message));
        if (auto problem = settleRowChoices(item, given)) return error(lastColumnOf(problem->fields), problem->what);
        if (auto problem = messageLength(item)) return problem;
        return refusalOf(row, item, *list.alphabets[row]);
    }

    // A view into the record, which outlives the reader.
    std::string_view cell(SiteColumn column) const {
        const int index = cellOf(cells_, column);
        if (index == 0 || static_cast<std::size_t>(index) > record_.cells.size()) return {};
        return record_.cells[static_cast<std::size_t>(index) - 1];
    }

    SiteListError error(int column, texts::Message what) const { return {record_.line, column, std::move(what), {}}; }
    SiteListError error(SiteColumn column, texts::Message what) const {
        return error(cellOf(cells_, column), std::move(what));
    }

    int lastColumnOf(const std::vector<RowField>& fields) const {
        static constexpr std::array kFieldColumns = {SiteColumn::CapCode, SiteColumn::Tone, SiteColumn::Type,
                                                     SiteColumn::Message};
        int last = 1;
        for (const RowField field : fields) {
            last = std::max(last, cellOf(cells_, kFieldColumns[static_cast<std::size_t>(field)]));
        }
        return last;
    }

    std::optional<SiteListError> readCapcode(image::PagerItem& item, GivenChoices& given) const {
        const std::string_view text = cell(SiteColumn::CapCode);
        auto notation = parseCapcodeNotation(text);
        if (auto* problem = std::get_if<texts::Message>(&notation)) return error(SiteColumn::CapCode, *problem);
        item.capcode = std::get<CapcodeNotation>(notation).digits;
        given.capcodeTone = std::get<CapcodeNotation>(notation).tone;
        given.capcodeText = trim(text);
        return std::nullopt;
    }

    std::optional<SiteListError> readTone(image::PagerItem& item, GivenChoices& given) const {
        const std::string_view text = trim(cell(SiteColumn::Tone));
        if (text.empty()) return std::nullopt;
        const auto tone = parseTone(text);
        if (!tone) return error(SiteColumn::Tone, readProblem(keys::kToneChoices, {fileText(text)}));
        item.tone = *tone;
        given.tone = true;
        return std::nullopt;
    }

    std::optional<SiteListError> readType(image::PagerItem& item, GivenChoices& given) const {
        const std::string_view text = cell(SiteColumn::Type);
        if (trim(text).empty()) return std::nullopt;
        for (const auto type : {paging::PagerType::Numeric, paging::PagerType::Alphanumeric}) {
            const auto index = static_cast<std::size_t>(type == paging::PagerType::Alphanumeric);
            if (anyNamed(kKnownTypes[index], text) || anyNamed(reading_.names.types[index], text)) {
                item.type = type;
                given.type = true;
                return std::nullopt;
            }
        }
        return error(SiteColumn::Type, readProblem(keys::kTypeChoices, {fileText(trim(text))}));
    }

    std::optional<SiteListError> readAlphabet(std::optional<paging::Alphabet>& alphabet) const {
        const std::string_view text = trim(cell(SiteColumn::Alphabet));
        alphabet = reading_.alphabet;
        if (text.empty()) return std::nullopt;
        const auto named = paging::alphabetNamed(text);
        if (!named) {
            return error(SiteColumn::Alphabet, readProblem(keys::kAlphabetChoices, {fileText(alphabetNames()), fileText(text)}));
        }
        alphabet = *named;
        return std::nullopt;
    }

    std::optional<SiteListError> messageLength(const image::PagerItem& item) const {
        const bool alphanumeric = item.type == paging::PagerType::Alphanumeric;
        // The window's limits on what a message box takes: a spreadsheet is typed like
        // the window, not read back from a transmitter.
        const auto limit = static_cast<std::size_t>(alphanumeric ? image::kAlphanumericMessageLimit
                                                                 : image::kNumericMessageLimit);
        if (image::composedLength(item.message) <= limit) return std::nullopt;
        return error(SiteColumn::Message, readProblem(keys::kMessageLongerThanType,
                                                      {static_cast<int>(limit), fileText(typeName(item.type))}));
    }

    // What Write would refuse in this row: a capcode no pager receives, a character
    // the pager cannot show. A row is checked alone; the space the rows take together
    // is Write's to warn about.
    std::optional<SiteListError> refusalOf(unsigned row, const image::PagerItem& item, paging::Alphabet alphabet) const {
        image::ProgrammerEntries alone;
        alone.rows[row] = item;
        alone.text.alphabet = alphabet;
        alone.text.transliterate = reading_.transliterate;
        const image::RowLayout layout = image::layOutRows(alone);
        const std::optional<image::BuildRefusal>& refusal = layout.refusals[row];
        if (!refusal) return std::nullopt;
        const SiteColumn column = refusal->at ? SiteColumn::Message : SiteColumn::CapCode;
        // The line and the row are named by the place of the problem.
        return error(column, image::withoutRow(refusal->message));
    }

    const CsvRecord& record_;
    const ColumnCells& cells_;
    const SiteListReading& reading_;
};

// ---- reading the file -----------------------------------------------------------------

struct Header {
    ColumnCells cells{};
    std::vector<UnusedColumn> unused;
};

// Whether the heading's letters alone name the Row column ("Row:", "'Zeile").
bool looksLikeRowHeading(std::string_view heading, const SiteListNames& names) {
    std::string letters;
    for (const char c : heading) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) letters += c;
    }
    const auto row = static_cast<std::size_t>(SiteColumn::Row);
    return !letters.empty() && (anyNamed(kKnownHeadings[row], letters) || anyNamed(names.headings[row], letters));
}

std::variant<Header, SiteListError> readHeader(const CsvRecord& record, const SiteListNames& names) {
    Header header;
    for (std::size_t i = 0; i < record.cells.size(); ++i) {
        const int cellNumber = static_cast<int>(i) + 1;
        const std::string_view heading = nameText(record.cells[i]);
        const auto column = siteColumnNamed(heading, names);
        if (!column) {
            if (!heading.empty()) header.unused.push_back({cellNumber, std::string(heading)});
            continue;
        }
        int& cell = header.cells[static_cast<std::size_t>(*column)];
        if (cell != 0) {
            return SiteListError{record.line, cellNumber, readProblem(keys::kColumnNamedTwice, {fileText(heading), cell}), {}};
        }
        cell = cellNumber;
    }
    if (cellOf(header.cells, SiteColumn::CapCode) == 0) {
        const std::string reads =
            "'" + (record.cells.empty() ? std::string() : record.cells.front()) + (record.cells.size() > 1 ? "' ..." : "'");
        return SiteListError{record.line, 1, readProblem(keys::kNoCapCodeHeading, {fileText(reads)}), {}};
    }
    // Without its Row column a list's rows are numbered in order: a first heading that
    // was meant as Row would put every call into another row.
    if (cellOf(header.cells, SiteColumn::Row) == 0 && !record.cells.empty() &&
        looksLikeRowHeading(record.cells.front(), names)) {
        return SiteListError{record.line, 1, readProblem(keys::kNotTheRowHeading, {fileText(record.cells.front())}), {}};
    }
    return header;
}

}  // namespace

SiteHeadings englishSiteHeadings() {
    SiteHeadings headings;
    std::ranges::copy(kSiteHeadings, headings.begin());
    return headings;
}

std::optional<SiteColumn> siteColumnNamed(std::string_view heading, const SiteListNames& names) {
    if (nameText(heading).empty()) return std::nullopt;
    for (std::size_t i = 0; i < kSiteColumnCount; ++i) {
        if (anyNamed(kKnownHeadings[i], heading) || anyNamed(names.headings[i], heading)) return static_cast<SiteColumn>(i);
    }
    return std::nullopt;
}

std::string writeSiteList(const image::ProgrammerEntries& entries, const SiteListFormat& format) {
    std::vector<unsigned> rows;
    bool otherAlphabet = false;
    for (unsigned row = 0; row < kRowCount; ++row) {
        if (entries.rows[row] == image::PagerItem{} && entries.labels[row].empty()) continue;
        rows.push_back(row);
        otherAlphabet = otherAlphabet || entries.text.alphabetOf(row) != paging::Alphabet::US;
    }
    std::vector<std::string> headings(format.headings.begin(), format.headings.end());
    if (!otherAlphabet) headings.pop_back();
    std::string out(kByteOrderMark);
    out += csvLine(headings, format.separator);
    for (const unsigned row : rows) {
        const image::PagerItem& item = entries.rows[row];
        std::vector<std::string> cells = {std::to_string(row + 1), entries.labels[row], item.capcode,
                                          std::string(1, static_cast<char>('A' + item.tone)), typeName(item.type),
                                          item.message};
        if (otherAlphabet) cells.emplace_back(paging::alphabetTable(entries.text.alphabetOf(row)).name);
        out += csvLine(cells, format.separator);
    }
    return out;
}

std::variant<SiteList, SiteListError> readSiteList(std::string_view bytes, const SiteListReading& reading) {
    // An image is never read as a list; a file of mixed encodings is refused where it
    // mixes them, as a configuration is, and Excel's "Unicode Text" by its name.
    if (image::isImageFile(bytes)) return SiteListError{1, 1, readProblem(keys::kImageNotSiteList), {}};
    auto read = texts::readFileText(bytes);
    if (const auto* problem = std::get_if<texts::EncodingProblem>(&read)) {
        return SiteListError{static_cast<int>(problem->line), static_cast<int>(problem->column),
                             texts::encodingProblemMessage(*problem, texts::EncodingRemedy::SaveListAsCsv), {}};
    }
    const std::string& text = std::get<texts::FileText>(read).utf8;
    const auto knownHeadings = [&reading](const std::vector<std::string>& cells) {
        return static_cast<int>(std::ranges::count_if(cells, [&](const std::string& cell) {
            return siteColumnNamed(cell, reading.names).has_value();
        }));
    };
    auto table = readCsvTable(text, false, knownHeadings);
    if (auto* problem = std::get_if<CsvProblem>(&table)) return SiteListError{problem->line, problem->column, problem->what, {}};
    std::vector<CsvRecord>& records = std::get<CsvTable>(table).records;
    // As csv-export wrote them, or a spreadsheet saved them again.
    for (CsvRecord& record : records) {
        for (std::string& cell : record.cells) cell = std::string(withoutFormulaMark(cell));
    }
    if (records.empty()) return SiteListError{1, 1, readProblem(keys::kEmptyList), {}};
    auto header = readHeader(records.front(), reading.names);
    if (auto* error = std::get_if<SiteListError>(&header)) return std::move(*error);
    const ColumnCells& cells = std::get<Header>(header).cells;

    SiteList list;
    list.unusedColumns = std::get<Header>(header).unused;
    list.encoding = std::get<texts::FileText>(read).encoding;
    std::map<unsigned, int> rowLines;
    for (std::size_t i = 1; i < records.size(); ++i) {
        const CsvRecord& record = records[i];
        for (std::size_t extra = records.front().cells.size(); extra < record.cells.size(); ++extra) {
            if (record.cells[extra].empty()) continue;
            return SiteListError{record.line, static_cast<int>(extra) + 1,
                                 readProblem(keys::kCellBeyondColumns, {static_cast<int>(records.front().cells.size())}),
                                 {}};
        }
        const LineReader line(record, cells, reading);
        auto row = line.rowNumber(static_cast<unsigned>(rowLines.size()));
        if (auto* error = std::get_if<SiteListError>(&row)) return std::move(*error);
        const unsigned index = std::get<unsigned>(row);
        const auto [first, inserted] = rowLines.emplace(index, record.line);
        if (!inserted) {
            return SiteListError{record.line, cellOf(cells, SiteColumn::Row),
                                 readProblem(keys::kRowGivenTwice, {static_cast<int>(index) + 1, first->second}),
                                 static_cast<int>(index) + 1};
        }
        if (auto error = line.read(index, list)) return std::move(*error);
    }
    return list;
}

void applySiteList(image::ProgrammerEntries& entries, const SiteList& list) {
    entries.rows = list.rows;
    entries.labels = list.labels;
    for (unsigned row = 0; row < kRowCount; ++row) {
        const auto& alphabet = list.alphabets[row];
        entries.text.rowAlphabets[row] = alphabet == entries.text.alphabet ? std::nullopt : alphabet;
    }
}

}  // namespace vostrel::config
