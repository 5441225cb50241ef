// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The page as a whole (valid, the same cells as preview, German) is checked by
// sheet_html_test.py; here: that no text can add markup, and where labels and the
// contents fingerprint go once they are known.
#include <gtest/gtest.h>

#include <string>

#include "sheet/sheet_html.h"
#include "sheet/site_sheet.h"

using namespace vostrel;
using namespace vostrel::sheet;

namespace {

std::string english(texts::TextKey key) { return std::string(key.text()); }

TEST(SheetHtml, NoTextAddsMarkup) {
    const struct {
        std::string text;
        std::string html;
        const char* danger;
    } cases[] = {
        {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;", "a script run when the page is opened"},
        {"\"><img src=x onerror=alert(1)>", "&quot;&gt;&lt;img src=x onerror=alert(1)&gt;", "leaving an attribute"},
        {"it's", "it&#39;s", "leaving a single-quoted attribute"},
        {"&lt;", "&amp;lt;", "a reference read as a character"},
        {"Gr\xC3\xBC\xC3\x9F" "e \xE2\x80\x93 \xF0\x9F\x93\x9F", "Gr\xC3\xBC\xC3\x9F" "e \xE2\x80\x93 \xF0\x9F\x93\x9F",
         "none: UTF-8 stays as it is"},
        {std::string("a\0b\x1B[2J\x7F", 8), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD[2J\xEF\xBF\xBD",
         "control characters, which HTML forbids and a printer may obey"},
        {"\xC2\x85x\xC2\x9B", "\xEF\xBF\xBDx\xEF\xBF\xBD", "C1 controls (NEL, CSI)"},
        {"\xFF\xC3(\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD",
         "bytes that are not UTF-8, which a browser would guess at"},
        {"tab\there\nline", "tab\there\nline", "none: tab and line feed are text"},
    };
    for (const auto& c : cases) EXPECT_EQ(htmlText(c.text), c.html) << c.danger;
}

// Every text that goes into the page is escaped: a translation and a site name alike.
TEST(SheetHtml, TranslationsAndNamesAreEscapedToo) {
    SiteSheet sheet;
    sheet.site = "<b>Zur Post</b>";
    const std::string html = sheetHtml(sheet, [](texts::TextKey key) {
        return key == texts::keys::kSheetTitle ? std::string("</h1><script>") : std::string(key.text());
    });
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    EXPECT_EQ(html.find("<b>"), std::string::npos);
    EXPECT_NE(html.find("<h1>&lt;/h1&gt;&lt;script&gt;</h1>"), std::string::npos);
}

TEST(SheetHtml, LabelColumnAndFingerprintShowOnlyWhenKnown) {
    SiteSheet sheet;
    sheet.rows.push_back({0, "", 8, 3, paging::PagerType::Alphanumeric, std::nullopt, "Hallo", 1.5});
    sheet.rows.push_back({3, "", 16, 0, paging::PagerType::Numeric, std::nullopt, "123  ", 2.0});
    const std::string without = sheetHtml(sheet, english);
    EXPECT_EQ(without.find(">Label<"), std::string::npos);
    EXPECT_EQ(without.find(">Contents fingerprint</th><td"), std::string::npos);

    sheet.rows[1].label = "Kitchen & bar";
    sheet.fingerprint = "3F2A-77C1";
    const std::string with = sheetHtml(sheet, english);
    EXPECT_NE(with.find("<th width=\"15%\">Label</th>"), std::string::npos);
    EXPECT_NE(with.find("<td></td><td class=\"number\">8</td><td>D</td>"), std::string::npos);  // row 1 has none
    EXPECT_NE(with.find("<td>Kitchen &amp; bar</td><td class=\"number\">16</td><td>A</td>"), std::string::npos);
    EXPECT_NE(with.find(">Contents fingerprint</th><td width=\"28%\">3F2A-77C1</td>"), std::string::npos);
}

// A site whose last rows do not fit lists them as not stored, in their places, with
// their labels: the sheet must not pass for a record of the whole site.
TEST(SiteSheet, RowsLeftOutAreListedAsNotStored) {
    image::ProgrammerEntries entries;
    for (unsigned row = 0; row < 3; ++row) entries.rows[row] = {std::to_string(8 * row + 7), 3, paging::PagerType::Alphanumeric, std::string(40, 'A')};
    entries.rows[5] = {"1234567", 1, paging::PagerType::Numeric, ""};  // frame 7: 17 codewords, 23 are left
    entries.rows[6] = {"8", 0, paging::PagerType::Numeric, "1"};      // would fit, but rows stop at the full one
    entries.labels[5] = "Vollalarm";
    const auto built = std::get<image::BuiltImage>(image::buildImage(entries));
    SiteSheet sheet = siteSheet(built.image, entries.text, entries.labels);
    EXPECT_EQ(sheet.rows.size(), 5U);
    entries.rows[3] = {"1234567", 3, paging::PagerType::Alphanumeric, std::string(40, 'B')};  // 32: does not fit
    const auto partial = std::get<image::BuiltImage>(image::buildImage(entries));
    sheet = siteSheet(partial.image, entries.text, entries.labels);
    addRowsNotStored(sheet, entries);
    std::vector<std::pair<unsigned, bool>> rows;
    for (const SheetRow& row : sheet.rows) rows.emplace_back(row.row, row.stored);
    EXPECT_EQ(rows, (std::vector<std::pair<unsigned, bool>>{{0, true}, {1, true}, {2, true}, {3, false}, {5, false}, {6, false}}));
    const std::string html = sheetHtml(sheet, english);
    EXPECT_NE(html.find("<td class=\"number\">6</td><td>Vollalarm</td><td class=\"number\">1234567</td><td>B</td><td>Numeric</td>"
                        "<td><b>not stored (EEPROM full)</b></td><td></td>"),
              std::string::npos)
        << html;
}

// The date as the reader's language writes it, and the page's language for a browser
// and a screen reader.
TEST(SheetHtml, TheDateAndTheLanguageAreTheTranslations) {
    const struct {
        std::string_view pattern;
        std::string text;
    } dates[] = {
        {"YYYY-MM-DD", "2026-03-04"},
        {"DD.MM.YYYY", "04.03.2026"},
        {"DD/MM/YYYY", "04/03/2026"},
        {"D. MM YYYYY", "D. 03 2026Y"},
        {"", ""},
    };
    for (const auto& date : dates) EXPECT_EQ(dateText({2026, 3, 4}, date.pattern), date.text) << date.pattern;

    SiteSheet sheet;
    sheet.date = SheetDate{2026, 12, 10};
    const std::string german = sheetHtml(sheet, [](texts::TextKey key) {
        if (key == texts::keys::kSheetDateFormat) return std::string("DD.MM.YYYY");
        if (key == texts::keys::kLanguageCode) return std::string("DE");
        return std::string(key.text());
    });
    EXPECT_NE(german.find("<html lang=\"de\">"), std::string::npos);
    EXPECT_NE(german.find(">Date</th><td width=\"28%\">10.12.2026</td>"), std::string::npos);
    const std::string inEnglish = sheetHtml(sheet, english);
    EXPECT_NE(inEnglish.find(">Date</th><td width=\"28%\">2026-12-10</td>"), std::string::npos);
    EXPECT_NE(inEnglish.find("<html lang=\"en\">"), std::string::npos);
}

// Where the site went, and the installer's fields: each transmitter a line, escaped as
// every text is; two empty lines to fill in by hand when the record knows of none.
TEST(SheetHtml, TransmittersWrittenToAndTheInstallersFields) {
    SiteSheet sheet;
    const std::string none = sheetHtml(sheet, english);
    EXPECT_NE(none.find("<h2>Written to these transmitters</h2>"), std::string::npos);
    const std::string blank = "<td class=\"blank\"></td>";
    EXPECT_NE(none.find("<tr>" + blank + blank + blank + blank + "</tr>\n<tr>" + blank), std::string::npos);
    EXPECT_NE(none.find("<h2>Installed by</h2>"), std::string::npos);
    for (const char* field : {">Date</th>", ">Name</th>", ">Signature</th>"}) {
        EXPECT_NE(none.find(std::string(field) + "<td class=\"sign\" width=\"19%\"></td>"), std::string::npos) << field;
    }

    sheet.transmitters = {{"Küche & Bar", "1-1.2", "2026-03-14", "1A2B3C4D"}, {"", "1-1.3", "2026-03-13", "0BADF00D"}};
    const std::string two = sheetHtml(sheet, english);
    EXPECT_NE(two.find("<tr><td>Küche &amp; Bar</td><td>1-1.2</td><td>2026-03-14</td><td>1A2B3C4D</td></tr>\n"
                       "<tr><td></td><td>1-1.3</td><td>2026-03-13</td><td>0BADF00D</td></tr>"),
              std::string::npos);
    EXPECT_EQ(two.find(blank), std::string::npos);
}

}  // namespace
