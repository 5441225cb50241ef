// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// A site's calls as a spreadsheet keeps them: one CSV line per row, with the columns
//
//   Row;Label;CapCode;Tone;Type;Message[;Alphabet]
//
// Written as German Excel and LibreOffice open it in columns (';', UTF-8 with
// byte-order mark, CRLF, cells quoted as RFC 4180 says; the Alphabet column only when a
// row's pager alphabet is not US). Read in any of the dialects csv_table.h names, with headings in English
// or German (or the window's language) in any order; a column no heading names is
// left out with a note. Every row goes through the configuration's row rules and the
// checks Write makes, and the first cell that fails refuses the whole list, named by
// its line and column.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "image/image_builder.h"
#include "paging/alphabets.h"
#include "texts/message.h"
#include "texts/text_codec.h"

namespace vostrel::config {

enum class SiteColumn { Row, Label, CapCode, Tone, Type, Message, Alphabet };
inline constexpr std::size_t kSiteColumnCount = 7;

// The English headings, in the order of SiteColumn and of an exported file.
inline constexpr std::array<std::string_view, kSiteColumnCount> kSiteHeadings = {
    "Row", "Label", "CapCode", "Tone", "Type", "Message", "Alphabet"};

// Names of the columns and pager types beyond the English and German ones every
// reader knows: the window's translations.
struct SiteListNames {
    std::array<std::vector<std::string>, kSiteColumnCount> headings;
    std::array<std::vector<std::string>, 2> types;  // numeric, alphanumeric
};

// The column a heading names, if any; blanks around it and case do not matter.
std::optional<SiteColumn> siteColumnNamed(std::string_view heading, const SiteListNames& names = {});

using SiteHeadings = std::array<std::string, kSiteColumnCount>;
SiteHeadings englishSiteHeadings();

struct SiteListFormat {
    char separator = ';';
    SiteHeadings headings = englishSiteHeadings();
};

// One line per row that holds anything (a call, a label), in row order.
std::string writeSiteList(const image::ProgrammerEntries& entries, const SiteListFormat& format = {});

struct SiteListReading {
    SiteListNames names;
    paging::Alphabet alphabet = paging::Alphabet::US;  // of a row without an Alphabet cell
    bool transliterate = false;                          // as the Write that follows sends
};

// A column of a site list that no heading of the reader names.
struct UnusedColumn {
    int column = 0;  // 1-based, as the spreadsheet counts cells
    std::string heading;

    friend bool operator==(const UnusedColumn&, const UnusedColumn&) = default;
};

// The rows of a list. Rows it does not name are empty.
struct SiteList {
    image::PagerRows rows;
    image::RowLabels labels;
    std::array<std::optional<paging::Alphabet>, image::kRowCount> alphabets;  // of the rows it names
    std::vector<UnusedColumn> unusedColumns;
    // Windows-1252 when the file was not UTF-8 (texts::readFileText): to be said once.
    texts::FileEncoding encoding = texts::FileEncoding::Utf8;
};

struct SiteListError {
    int line = 0;
    int column = 0;  // the cell's number in its line
    texts::Message what;
    // The window's row (1-based) the line fills, once its Row cell or its place has
    // said which.
    std::optional<int> row;
};

std::variant<SiteList, SiteListError> readSiteList(std::string_view bytes, const SiteListReading& reading = {});

// The list's rows, labels and alphabets in place of all sixteen rows of the entries;
// the settings stay.
void applySiteList(image::ProgrammerEntries& entries, const SiteList& list);

}  // namespace vostrel::config
