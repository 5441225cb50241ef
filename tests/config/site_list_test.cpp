// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The CSV reader's dialects, the site list's refusals and the label lists. The round
// trip of whole sites through every dialect, checked against Python's csv module, is
// tests/cli/site_list_test.sh.
#include <gtest/gtest.h>

#include <algorithm>

#include <string>

#include "config/csv_table.h"
#include "config/label_list.h"
#include "config/read_entries.h"
#include "config/site_list.h"
#include "texts/message_format.h"

using namespace vostrel;
using config::CsvProblem;
using config::CsvRecord;
using paging::PagerType;

namespace {

using Cells = std::vector<std::vector<std::string>>;

// The headings "CapCode" and "Message" score; anything else does not.
int knownHeadings(const std::vector<std::string>& cells) {
    return static_cast<int>(std::ranges::count_if(cells, [](const std::string& c) { return c == "CapCode" || c == "Message"; }));
}

// An image whose preamble (803) makes its first byte '#', erased after the header: a
// comment line, then bytes no text holds.
const std::string kCommentHeaderImage = "#\x17" + std::string(510, '\xFF');
// The UTF-8 "ü" at the given column of line 2.
std::string mixedEncoding(int utf8Column) {
    return "byte 0xFC is not UTF-8, while line 2, column " + std::to_string(utf8Column) +
           " holds the UTF-8 character 'ü' (U+00FC); save the file as UTF-8";
}

TEST(CsvTable, ReadsEveryDialect) {
    const struct {
        const char* name;
        std::string text;
        char separator;
        Cells cells;
        std::vector<int> lines;
    } cases[] = {
        {"';' found from the header, CRLF", "CapCode;Message\r\n8;a,b\r\n", ';', {{"CapCode", "Message"}, {"8", "a,b"}}, {1, 2}},
        {"',' found from the header, LF, quoted ';'", "CapCode,Message\n8,\"a;b\"\n", ',', {{"CapCode", "Message"}, {"8", "a;b"}}, {1, 2}},
        {"tab, CR alone", "CapCode\tMessage\r8\ta b\r", '\t', {{"CapCode", "Message"}, {"8", "a b"}}, {1, 2}},
        {"sep= names the separator against the header", "sep=,\r\nCapCode;Message,x\r\n8;1,2\r\n", ',',
         {{"CapCode;Message", "x"}, {"8;1", "2"}}, {2, 3}},
        {"quotes: doubled quote, separator and line breaks inside; lines counted as written",
         "CapCode;Message\n\"8\";\"say \"\"hi\"\";\r\nnext\rline\"\n9;\n", ';',
         {{"CapCode", "Message"}, {"8", "say \"hi\";\r\nnext\rline"}, {"9", ""}}, {1, 2, 5}},
        {"blank lines and lines of empty cells are left out; blanks around quotes dropped",
         "CapCode;Message\n\n;;\n 8 ;  \"x\"  \n", ';', {{"CapCode", "Message"}, {" 8 ", "x"}}, {1, 4}},
        {"no line end at the end; a trailing separator is an empty cell", "CapCode;Message;\n8;x;", ';',
         {{"CapCode", "Message", ""}, {"8", "x", ""}}, {1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto table = config::readCsvTable(c.text, false, knownHeadings);
        ASSERT_TRUE(std::holds_alternative<config::CsvTable>(table)) << texts::formatMessage(std::get<CsvProblem>(table).what);
        const auto& read = std::get<config::CsvTable>(table);
        EXPECT_EQ(read.separator, c.separator);
        Cells cells;
        std::vector<int> lines;
        for (const CsvRecord& record : read.records) {
            cells.push_back(record.cells);
            lines.push_back(record.line);
        }
        EXPECT_EQ(cells, c.cells);
        EXPECT_EQ(lines, c.lines);
    }
}

TEST(CsvTable, ProblemsNameLineAndColumn) {
    const struct {
        std::string text;
        int line;
        int column;
        std::string what;
    } cases[] = {
        {"CapCode;Message\n8;\"open\n\nstill open", 2, 2, "the quotation mark that opens this cell is never closed"},
        {"CapCode;Message\n8;\"x\"y;\n", 2, 2, "unexpected text after the closing quotation mark of the cell"},
        {"CapCode;Message\n8;12\"3\n", 2, 2,
         "a quotation mark inside a cell that does not start with one (quote the whole cell and write each "
         "quotation mark in it twice)"},
        {std::string("CapCode;Message\n8;a\0b\n", 22), 2, 2, "a cell cannot hold the character \\x00"},
        {"sep=|\nCapCode|Message\n", 1, 1, "the first line 'sep=|' names no separator this tool reads: ';', ',' or a tab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto table = config::readCsvTable(c.text, false, knownHeadings);
        ASSERT_TRUE(std::holds_alternative<CsvProblem>(table));
        const auto& problem = std::get<CsvProblem>(table);
        EXPECT_EQ(problem.line, c.line);
        EXPECT_EQ(problem.column, c.column);
        EXPECT_EQ(texts::formatMessage(problem.what), c.what);
    }
}

TEST(SiteList, WritesTheDialectGermanExcelOpens) {
    image::ProgrammerEntries entries;
    entries.rows[0] = {"0200208", 3, PagerType::Alphanumeric, "Gr\xC3\xBC\xC3\x9F" "e; \"1\""};
    entries.labels[0] = "K\xC3\xBC" "che";
    entries.rows[2] = {"1234567", 1, PagerType::Numeric, ""};
    entries.labels[2] = "Flur, West";  // quoted for readers that split at every separator
    entries.labels[5] = " Zimmer 12";
    const std::string us = "\xEF\xBB\xBFRow;Label;CapCode;Tone;Type;Message\r\n"
                           "1;K\xC3\xBC" "che;0200208;D;Alphanumeric;\"Gr\xC3\xBC\xC3\x9F" "e; \"\"1\"\"\"\r\n"
                           "3;\"Flur, West\";1234567;B;Numeric;\r\n"
                           "6;\" Zimmer 12\";;A;Numeric;\r\n";
    EXPECT_EQ(config::writeSiteList(entries), us);
    // The Alphabet column comes with the first row whose alphabet is not US.
    entries.text.rowAlphabets[2] = paging::Alphabet::DE;
    config::SiteListFormat format;
    format.separator = ',';
    format.headings = {"Zeile", "Bezeichnung", "Rufnummer", "Ton", "Typ", "Nachricht", "Alphabet"};
    EXPECT_EQ(config::writeSiteList(entries, format),
              "\xEF\xBB\xBFZeile,Bezeichnung,Rufnummer,Ton,Typ,Nachricht,Alphabet\r\n"
              "1,K\xC3\xBC" "che,0200208,D,Alphanumeric,\"Gr\xC3\xBC\xC3\x9F" "e; \"\"1\"\"\",US\r\n"
              "3,\"Flur, West\",1234567,B,Numeric,,DE\r\n"
              "6,\" Zimmer 12\",,A,Numeric,,US\r\n");
}

config::SiteList readList(const std::string& text, const config::SiteListReading& reading = {}) {
    auto read = config::readSiteList(text, reading);
    if (const auto* error = std::get_if<config::SiteListError>(&read)) {
        ADD_FAILURE() << error->line << ":" << error->column << ": " << texts::formatMessage(error->what);
        return {};
    }
    return std::get<config::SiteList>(std::move(read));
}

// A cell a spreadsheet would compute goes out behind an apostrophe and comes back
// without it, whatever apostrophes it had: export then import gives the same cells.
TEST(SiteList, FormulaCellsAreWrittenAsTextAndReadBackAsTheyWere) {
    const struct {
        std::string cell;
        std::string written;
    } cases[] = {
        {"=1+1", "'=1+1"}, {"+49 89", "'+49 89"}, {"-5", "'-5"}, {"@SUM(A1)", "'@SUM(A1)"},
        {"\tTab", "\"'\tTab\""}, {"'=x", "''=x"}, {"''-", "'''-"},
        {"'plain", "'plain"}, {"a=b", "a=b"}, {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell);
        EXPECT_EQ(config::csvLine({c.cell}, ';'), c.written + "\r\n");
        EXPECT_EQ(config::withoutFormulaMark(config::formulaSafe(c.cell)), c.cell);
    }
    image::ProgrammerEntries entries;
    entries.rows[0] = {"8", 3, PagerType::Alphanumeric, "=HYPERLINK(\"x\")"};
    entries.labels[0] = "@Lager";
    entries.rows[1] = {"16", 0, PagerType::Numeric, "-123"};
    entries.labels[1] = "'+1";
    const std::string written = config::writeSiteList(entries);
    EXPECT_NE(written.find("\r\n1;'@Lager;8;D;Alphanumeric;\"'=HYPERLINK(\"\"x\"\")\"\r\n2;''+1;16;A;Numeric;'-123\r\n"),
              std::string::npos)
        << written;
    const config::SiteList list = readList(written);
    EXPECT_EQ(list.rows[0], entries.rows[0]);
    EXPECT_EQ(list.rows[1], entries.rows[1]);
    EXPECT_EQ(list.labels[0], entries.labels[0]);
    EXPECT_EQ(list.labels[1], entries.labels[1]);
}


TEST(SiteList, ReadsHeadingsInAnyLanguageAndOrder) {
    config::SiteListReading reading;
    reading.alphabet = paging::Alphabet::DE;
    reading.names.headings[static_cast<int>(config::SiteColumn::Message)] = {"Texte"};
    reading.names.types[1] = {"Alphanum\xC3\xA9rique"};
    const config::SiteList list = readList("Notiz;texte;Typ;Rufnummer;Bezeichnung;Zeile;Alphabet\n"
                                           "x;Gr\xC3\xBC\xC3\x9F" "e;Alphanum\xC3\xA9rique;12;K\xC3\xBC" "che;7;\n"
                                           ";;;2097151 c;;3;US\n",
                                           reading);
    EXPECT_EQ(list.rows[6], (image::PagerItem{"12", 3, PagerType::Alphanumeric, "Gr\xC3\xBC\xC3\x9F" "e"}));
    EXPECT_EQ(list.labels[6], "K\xC3\xBC" "che");
    EXPECT_EQ(list.alphabets[6], paging::Alphabet::DE);
    EXPECT_EQ(list.rows[2], (image::PagerItem{"2097151", 2, PagerType::Numeric, ""}));
    EXPECT_EQ(list.alphabets[2], paging::Alphabet::US);
    EXPECT_FALSE(list.alphabets[0]);
    EXPECT_EQ(list.unusedColumns, (std::vector<config::UnusedColumn>{{1, "Notiz"}}));
    EXPECT_EQ(list.encoding, texts::FileEncoding::Utf8);

    // What shows as nothing around a heading does not count: a second byte-order mark,
    // a zero-width space, a no-break space. Inside one it is named by its number.
    const config::SiteList invisible =
        readList("\xEF\xBB\xBF\xEF\xBB\xBFRow;\xE2\x80\x8B" "CapCode\xC2\xA0;No\xE2\x80\x8Bte\n2;8;x\n");
    EXPECT_EQ(invisible.rows[1].capcode, "8");
    EXPECT_EQ(invisible.unusedColumns, (std::vector<config::UnusedColumn>{{3, "No\xE2\x80\x8Bte"}}));
    EXPECT_EQ(texts::formatMessage(config::unusedColumnNote(invisible.unusedColumns[0])), "column 3 'No<U+200B>te' is not used");

    // Windows-1252 is read as meant, and the reader learns it was a guess, to say so.
    const config::SiteList guessed = readList("CapCode;Label\n8;K\xFC" "che\n");
    EXPECT_EQ(guessed.labels[0], "K\xC3\xBC" "che");
    EXPECT_EQ(guessed.encoding, texts::FileEncoding::Windows1252);
    const auto labels = config::readLabelList("ric,description\n8,K\xFC" "che\n");
    ASSERT_TRUE(std::holds_alternative<config::LabelList>(labels));
    EXPECT_EQ(std::get<config::LabelList>(labels).encoding, texts::FileEncoding::Windows1252);
}

TEST(SiteList, RefusesABadCellByLineAndColumn) {
    const std::string header = "Row;CapCode;Tone;Type;Message;Label\n";
    const struct {
        std::string text;
        int line;
        int column;
        std::string what;  // what Write refuses without the row, which `row` names
        std::optional<int> row = std::nullopt;  // the window's row of the line
    } cases[] = {
        {header + "1;8;;;1\n2;1234567E;;;\n", 3, 2, "CapCode 1234567E: the sub-address letter must be A, B, C or D, not E", 2},
        {header + "1;8;A;;" + std::string(41, '1') + "\n", 2, 5, "Message is longer than 20 characters, the limit of Type Numeric", 1},
        {header + "1;8;D;;" + std::string(41, 'x') + "\n", 2, 5, "Message is longer than 40 characters, the limit of Type Alphanumeric", 1},
        {header + "1;1234567A;B;;\n", 2, 3, "CapCode 1234567A names Tone A, but Tone is B", 1},
        {header + "1;8;B;;12\n", 2, 5, "Tone B is a tone-only call: its Message must be empty", 1},
        {header + "1;8;A;Alphanumeric;\n", 2, 4, "Type Alphanumeric needs Tone D, not Tone A", 1},
        {header + "1;8;E;;\n", 2, 3, "Tone must be A, B, C or D, not 'E'", 1},
        {header + "1;8;;Pager;\n", 2, 4, "Type must be Numeric or Alphanumeric, not 'Pager'", 1},
        {header + "17;8;;;\n", 2, 1, "Row must be 1 to 16, not '17'"},
        {header + "3;8;;;\n3;9;;;\n", 3, 1, "Row 3 is given twice (first on line 2)", 3},
        {header + "1;8;;;;" + std::string(41, 'L') + "\n", 2, 6, "Label is longer than 40 characters", 1},
        {header + "1;8;;;;;x\n", 2, 7, "a cell beyond the 6 columns the first line names"},
        {header + "7;8;A;;12a\n", 2, 5, "Invalid code 'a'", 7},
        {header + "1;3000000;A;;\n", 2, 2, "CapCode out of range", 1},
        // A character another alphabet has names it; one none has, the replacement.
        {header + "1;8;D;;T\xC3\xBCr\n", 2, 5, "Invalid code '\xC3\xBC'; pager alphabets that have it: DE", 1},
        {header + "1;8;D;;\xC3\xA9t\xC3\xA9\n", 2, 5, "Invalid code '\xC3\xA9'; pager alphabets that have it: FR, IT", 1},
        {header + "1;8;D;;a \xE2\x80\x93 b\n", 2, 5, "Invalid code '\xE2\x80\x93'; replacing special characters sends it as '-'", 1},
        {header + "1;8;D;;\xF0\x9F\x93\x9F\n", 2, 5, "Invalid code '\xF0\x9F\x93\x9F'", 1},
        {"Row;Message\n1;x\n", 1, 1, "the first line must name the columns, among them CapCode (or RIC, Rufnummer); it reads 'Row' ..."},
        {"CapCode;RIC\n", 1, 2, "column 'RIC' names the same as column 1"},
        // Left out, it would put each call into the row of its line's place.
        {"Row:;CapCode\n3;8\n", 1, 1,
         "column 1 'Row:' is not read as the Row heading; name it Row (or Zeile, Item), or leave the column out to "
         "number the rows in order"},
        {"\x01Zeile;CapCode\n3;8\n", 1, 1,
         "column 1 '\\x01Zeile' is not read as the Row heading; name it Row (or Zeile, Item), or leave the column out "
         "to number the rows in order"},
        // Another file given by mistake is named by its first line, not by a later one.
        {"[Item01]\nLabel = \"x\"\n", 1, 1,
         "the first line must name the columns, among them CapCode (or RIC, Rufnummer); it reads '[Item01]'"},
        {"", 1, 1, "the file is empty: the first line must name the columns"},
        {std::string("\xFF\xFE" "C\0a\0p\0", 8), 0, 0,
         "the file is UTF-16 text (little-endian); save the list as CSV (UTF-8, or separated by ';')"},
        {std::string("C\0a\0p\0C\0o\0d\0e\0\n\0", 16), 0, 0,
         "the file is UTF-16 text (little-endian); save the list as CSV (UTF-8, or separated by ';')"},
        {std::string("\xFF\xFE\0\0C\0\0\0", 8), 0, 0,
         "the file is UTF-32 text (little-endian); save the list as CSV (UTF-8, or separated by ';')"},
        {kCommentHeaderImage, 1, 1, "the file is an EEPROM image, not a site list"},
        // Read as either encoding, one of the two labels would be mojibake.
        {header + "1;8;;;;K\xC3\xBC" "che\n2;9;;;;K\xFC" "che\n", 3, 9,
         mixedEncoding(9)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto read = config::readSiteList(c.text);
        ASSERT_TRUE(std::holds_alternative<config::SiteListError>(read));
        const auto& error = std::get<config::SiteListError>(read);
        EXPECT_EQ(error.line, c.line);
        EXPECT_EQ(error.column, c.column);
        EXPECT_EQ(texts::formatMessage(error.what), c.what);
        EXPECT_EQ(error.row, c.row);
    }
    std::string seventeen = "CapCode\n";
    for (int row = 1; row <= 17; ++row) seventeen += std::to_string(row) + "\n";
    const auto read = config::readSiteList(seventeen);
    ASSERT_TRUE(std::holds_alternative<config::SiteListError>(read));
    EXPECT_EQ(std::get<config::SiteListError>(read).line, 18);
}

TEST(LabelList, FillsEmptyLabelsByCapcodeAndSubAddress) {
    const struct {
        const char* name;
        std::string list;
        std::vector<std::string> labels;  // rows 1 to 4
    } cases[] = {
        {"a monitor's ric,description list with comments",
         "# BOSWatch style\n\nric,description\n#\n# comment, with \"quotes\"\n0200208,\"RFS - Blayney\"\n1234567,Tor\n",
         {"RFS - Blayney", "Tor", "Tor", "kept"}},
        {"a sub-address entry wins over one for every tone, wherever it stands",
         "RIC;Bezeichnung\n1234567;Tor\n1234567B;Vollalarm\n", {"", "Vollalarm", "Tor", "kept"}},
        {"a filters.ini: only its [Filter] section, wildcards and longer addresses match nothing",
         "[Settings]\nx=1\n[Filter]\n,,\n2,\"0200208\",\"RFS - Blayney\",\"\",0,1\n2,\"1234???\",\"Any\",\"\",0\n"
         "2,\"001234567\",\"FLEX\",\"\",0\n; comment\n2,\"1234567 a\",\" Tor \",\"\",0\n[Other]\n2,\"8\",\"x\"\n",
         {"RFS - Blayney", "", "Tor", "kept"}},
        {"this tool's own site list, with its Tone column", "\xEF\xBB\xBFRow;Label;CapCode;Tone\r\n1;K\xC3\xBC" "che;200208;D\r\n",
         {"K\xC3\xBC" "che", "", "", "kept"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        image::ProgrammerEntries entries;
        entries.rows[0] = {"200208", 3, PagerType::Alphanumeric, "x"};
        entries.rows[1] = {"1234567", 1, PagerType::Numeric, ""};
        entries.rows[2] = {"1234567", 0, PagerType::Numeric, "12"};
        entries.rows[3] = {"1234567", 2, PagerType::Numeric, ""};
        entries.labels[3] = "kept";
        const auto rowsBefore = entries.rows;
        const auto list = config::readLabelList(c.list);
        ASSERT_TRUE(std::holds_alternative<config::LabelList>(list))
            << texts::formatMessage(std::get<config::LabelListError>(list).what);
        ASSERT_TRUE(std::holds_alternative<std::vector<unsigned>>(config::fillLabels(entries, std::get<config::LabelList>(list))));
        EXPECT_EQ(std::vector<std::string>(entries.labels.begin(), entries.labels.begin() + 4), c.labels);
        EXPECT_EQ(entries.rows, rowsBefore);
    }
}

TEST(LabelList, ErrorsNameTheLine) {
    const struct {
        std::string list;
        int line;
        std::string what;
        int column = 0;
    } cases[] = {
        {"1234567,Tor\n", 1, "a label list starts with a line naming its capcode and label columns, as ric,description, "
                             "or has a [Filter] section as a filters.ini"},
        {"ric,description\n12x4,Tor\n", 2, "CapCode must be decimal digits, or empty for a row not in use, not '12x4'"},
        {"[Filter]\n2,\"8\"\n", 2, "a filter line holds a kind, the capcode and the label, as 2,\"0200208\",\"Kitchen\""},
        {"ric,description\n8," + std::string(41, 'x') + "\n", 2, "Label is longer than 40 characters"},
        {kCommentHeaderImage, 1, "the file is an EEPROM image, not a label list"},
        {"ric,description\n8,K\xC3\xBC" "che\n9,K\xFC" "che\n", 3, mixedEncoding(4), 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list);
        image::ProgrammerEntries entries;
        entries.rows[0] = {"8", 0, PagerType::Numeric, ""};
        auto list = config::readLabelList(c.list);
        std::optional<config::LabelListError> error;
        if (auto* failed = std::get_if<config::LabelListError>(&list)) {
            error = *failed;
        } else if (auto filled = config::fillLabels(entries, std::get<config::LabelList>(list));
                   auto* failed = std::get_if<config::LabelListError>(&filled)) {
            error = *failed;
        }
        ASSERT_TRUE(error);
        EXPECT_EQ(error->line, c.line);
        EXPECT_EQ(error->column, c.column);
        EXPECT_EQ(texts::formatMessage(error->what), c.what);
    }
}

}  // namespace
