// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "config/label_list.h"

#include <algorithm>

#include "config/config_file.h"
#include "config/csv_table.h"
#include "config/row_fields.h"
#include "config/site_list.h"
#include "texts/text_codec.h"

namespace vostrel::config {
namespace {

bool isSection(std::string_view line) { return line.starts_with('[') && line.ends_with(']'); }

bool isFilterSection(std::string_view line) {
    const std::string_view name = trim(line.substr(1, line.size() - 2));
    return name.size() == 6 && std::ranges::equal(name, std::string_view("filter"), [](char a, char b) {
               return (a | 0x20) == b;
           });
}

// The lines of the text, without their line ends (LF, CRLF or CR).
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end);
        if (text.starts_with("\r\n")) {
            text.remove_prefix(2);
        } else if (!text.empty()) {
            text.remove_prefix(1);
        }
    }
    return lines;
}

// A capcode that can name a row, or nothing for one that names none (wildcards,
// another code's longer address); a problem for anything else.
std::variant<std::optional<CapcodeNotation>, texts::Message> listCapcode(std::string_view text) {
    text = trim(text);
    if (text.find('?') != std::string_view::npos) return std::nullopt;
    const std::size_t digits = std::min(text.find_first_not_of("0123456789"), text.size());
    if (digits > kMaxCapcodeDigits) return std::nullopt;
    auto notation = parseCapcodeNotation(text);
    if (auto* problem = std::get_if<texts::Message>(&notation)) return std::move(*problem);
    if (std::get<CapcodeNotation>(notation).digits.empty()) return readProblem(texts::keys::kCapcodeMissing);
    return std::get<CapcodeNotation>(notation);
}

std::optional<LabelListError> addEntry(LabelList& list, int line, std::string_view capcodeText,
                                       std::optional<unsigned> tone, std::string_view label) {
    auto capcode = listCapcode(capcodeText);
    if (auto* problem = std::get_if<texts::Message>(&capcode)) return LabelListError{line, 0, *problem};
    const auto& notation = std::get<std::optional<CapcodeNotation>>(capcode);
    if (!notation) return std::nullopt;
    if (notation->tone && tone && *notation->tone != *tone) {
        return LabelListError{line, 0, readProblem(texts::keys::kCapcodeOtherTone, {fileText(trim(capcodeText))})};
    }
    list.entries.push_back({image::leadingInteger(notation->digits), notation->tone ? notation->tone : tone,
                            std::string(trim(label)), line});
    return std::nullopt;
}

// A decoder's filters.ini: kind, "capcode", "label", ... in the [Filter] section.
std::variant<LabelList, LabelListError> readFilterFile(std::string_view text) {
    LabelList list;
    bool inFilters = false;
    int lineNumber = 0;
    for (const std::string_view raw : linesOf(text)) {
        ++lineNumber;
        const std::string_view line = trim(raw);
        if (line.empty() || line.starts_with(';')) continue;
        if (isSection(line)) {
            inFilters = isFilterSection(line);
            continue;
        }
        if (!inFilters) continue;
        auto records = splitCsv(line, ',', false, lineNumber);
        if (auto* problem = std::get_if<CsvProblem>(&records)) return LabelListError{lineNumber, 0, problem->what};
        const auto& split = std::get<std::vector<CsvRecord>>(records);
        if (split.empty()) continue;  // a line of empty cells
        const auto& cells = split.front().cells;
        if (cells.size() < 3) {
            return LabelListError{lineNumber, 0, readProblem(texts::keys::kFilterLineCells)};
        }
        if (auto error = addEntry(list, lineNumber, cells[1], std::nullopt, cells[2])) return std::move(*error);
    }
    return list;
}

// A CSV of capcodes and labels, '#' starting comment lines.
std::variant<LabelList, LabelListError> readLabelTable(std::string_view text) {
    const auto score = [](const std::vector<std::string>& cells) {
        return static_cast<int>(std::ranges::count_if(cells, [](const std::string& cell) {
            return siteColumnNamed(cell).has_value();
        }));
    };
    auto table = readCsvTable(text, true, score);
    if (auto* problem = std::get_if<CsvProblem>(&table)) return LabelListError{problem->line, 0, problem->what};
    const auto& records = std::get<CsvTable>(table).records;
    std::size_t capcodeCell = 0, labelCell = 0, toneCell = 0;  // 1-based; 0 for none
    if (!records.empty()) {
        const auto& header = records.front().cells;
        for (std::size_t i = header.size(); i-- > 0;) {
            const auto column = siteColumnNamed(header[i]);
            if (column == SiteColumn::CapCode) capcodeCell = i + 1;
            if (column == SiteColumn::Label) labelCell = i + 1;
            if (column == SiteColumn::Tone) toneCell = i + 1;
        }
    }
    if (capcodeCell == 0 || labelCell == 0) {
        return LabelListError{records.empty() ? 1 : records.front().line, 0, readProblem(texts::keys::kNoLabelListHeader)};
    }
    LabelList list;
    const auto cellAt = [](const CsvRecord& record, std::size_t cell) {
        return cell == 0 || cell > record.cells.size() ? std::string() : record.cells[cell - 1];
    };
    for (std::size_t i = 1; i < records.size(); ++i) {
        const CsvRecord& record = records[i];
        std::optional<unsigned> tone;
        if (const std::string toneText(trim(cellAt(record, toneCell))); !toneText.empty()) {
            tone = parseTone(toneText);
            if (!tone) return LabelListError{record.line, 0, readProblem(texts::keys::kToneChoices, {fileText(toneText)})};
        }
        if (auto error = addEntry(list, record.line, cellAt(record, capcodeCell), tone, cellAt(record, labelCell))) {
            return std::move(*error);
        }
    }
    return list;
}

const LabelListEntry* entryFor(const LabelList& list, long long capcode, unsigned tone) {
    const auto matches = [&](bool anyTone) {
        return std::ranges::find_if(list.entries, [&](const LabelListEntry& entry) {
            return entry.capcode == capcode && (anyTone ? !entry.tone : entry.tone == tone);
        });
    };
    if (const auto exact = matches(false); exact != list.entries.end()) return &*exact;
    if (const auto any = matches(true); any != list.entries.end()) return &*any;
    return nullptr;
}

}  // namespace

std::variant<LabelList, LabelListError> readLabelList(std::string_view bytes) {
    // An image is never read as a list; a file of mixed encodings is refused where it
    // mixes them, as a configuration is.
    if (image::isImageFile(bytes)) return LabelListError{1, 0, readProblem(texts::keys::kImageNotLabelList)};
    auto read = texts::readFileText(bytes);
    if (const auto* problem = std::get_if<texts::EncodingProblem>(&read)) {
        return LabelListError{static_cast<int>(problem->line), static_cast<int>(problem->column),
                              texts::encodingProblemMessage(*problem)};
    }
    const texts::FileText& text = std::get<texts::FileText>(read);
    const auto lines = linesOf(text.utf8);
    const bool filterFile = std::ranges::any_of(lines, [](std::string_view line) {
        line = trim(line);
        return isSection(line) && isFilterSection(line);
    });
    auto list = filterFile ? readFilterFile(text.utf8) : readLabelTable(text.utf8);
    if (auto* labels = std::get_if<LabelList>(&list)) labels->encoding = text.encoding;
    return list;
}

std::variant<std::vector<unsigned>, LabelListError> fillLabels(image::ProgrammerEntries& entries,
                                                             const LabelList& list) {
    std::vector<unsigned> labelled;
    for (unsigned row = 0; row < image::kRowCount; ++row) {
        const image::PagerItem& item = entries.rows[row];
        if (!entries.labels[row].empty() || !image::callsAPager(item)) continue;
        const LabelListEntry* entry = entryFor(list, image::leadingInteger(item.capcode), item.tone);
        if (entry == nullptr) continue;
        // The entry's line names it.
        if (auto problem = labelProblem(entry->label)) return LabelListError{entry->line, 0, std::move(*problem)};
        entries.labels[row] = entry->label;
        if (!entry->label.empty()) labelled.push_back(row);
    }
    return labelled;
}

}  // namespace vostrel::config
