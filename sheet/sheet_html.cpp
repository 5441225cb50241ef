// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "sheet/sheet_html.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "image/alphabet_standards.h"
#include "texts/message_format.h"
#include "texts/text_codec.h"
#include "texts/translation.h"
#include "version.h"

namespace vostrel::sheet {
namespace {

using keys = texts::keys;

// A4 portrait at 9 pt: sixteen rows of forty characters on one page, with room for
// each to wrap once. Browsers take @page; Qt's rich text ignores what it does not know
// and the window sets the page itself. Lengths in px are CSS pixels (1/96 inch) to
// both, as the window lays the page out at 96 dots per inch.
constexpr std::string_view kStyle = R"(@page { size: A4 portrait; margin: 15mm; }
body { font-family: "DejaVu Sans", Arial, sans-serif; font-size: 8.5pt; color: #000; }
h1 { font-size: 15pt; margin: 0 0 6pt 0; }
table { border-collapse: collapse; width: 100%; }
th, td { text-align: left; vertical-align: top; padding: 1px 4px; }
table.settings { margin-bottom: 10pt; }
table.rows th, table.written th { border-bottom: 1pt solid #000; }
table.rows td, table.written td { border-bottom: 0.5pt solid #999; }
td.number { text-align: right; white-space: nowrap; }
td.shows { font-family: "DejaVu Sans Mono", "Courier New", monospace; white-space: pre-wrap;
           overflow-wrap: anywhere; word-break: break-all; }
span.shown { background-color: #e8e8e8; white-space: pre-wrap; }
h2 { font-size: 11pt; margin: 10pt 0 3pt 0; }
td.blank { height: 16pt; }
td.sign { height: 22pt; border-bottom: 0.5pt solid #000; }
p.footer { font-size: 7pt; color: #444; margin-top: 6pt; }
@media print { body { margin: 0; } tr { page-break-inside: avoid; } }
)";

constexpr char32_t kTab = 0x09;
constexpr char32_t kLineFeed = 0x0A;

bool isControl(char32_t c) { return (c < 0x20 && c != kTab && c != kLineFeed) || (c >= 0x7F && c <= 0x9F); }

void appendEscaped(std::string& out, char32_t c) {
    switch (c) {
        case '&': out += "&amp;"; return;
        case '<': out += "&lt;"; return;
        case '>': out += "&gt;"; return;
        case '"': out += "&quot;"; return;
        case '\'': out += "&#39;"; return;
        default: texts::appendUtf8(out, isControl(c) ? texts::kReplacementCharacter : c);
    }
}

// The sheet's words: translations, formatted safely where they hold placeholders.
class Words {
public:
    explicit Words(const Translate& translate) : translate_(translate) {}

    std::string operator()(texts::TextKey key) const { return htmlText(translate_(key)); }
    // The translation as it stands, for a pattern the sheet fills in itself.
    std::string raw(texts::TextKey key) const { return translate_(key); }

    std::string formatted(texts::TextKey key, std::vector<texts::MessageArgument> arguments) const {
        const texts::Message message{key, texts::Title::Success, std::move(arguments)};
        return htmlText(texts::formatMessage(translate_(key), message));
    }

    std::string seconds(const std::optional<double>& value) const {
        return value ? formatted(keys::kSheetSeconds, {texts::Decimal{*value}}) : std::string();
    }

private:
    const Translate& translate_;
};

std::string element(std::string_view tag, std::string_view content, std::string_view attributes = {}) {
    std::string out = std::string("<").append(tag);
    if (!attributes.empty()) out.append(" ").append(attributes);
    return out.append(">").append(content).append("</").append(tag).append(">");
}

using Setting = std::pair<std::string, std::string>;  // heading, value; both HTML

std::vector<Setting> settingsOf(const SiteSheet& sheet, const Words& words) {
    std::vector<Setting> settings;
    settings.emplace_back(words(keys::kSheetDate),
                          sheet.date ? htmlText(dateText(*sheet.date, words.raw(keys::kSheetDateFormat))) : std::string());
    const unsigned rateIndex = sheet.settings.dataRateIndex;
    settings.emplace_back(words(keys::kDataRateHeading),
                          rateIndex < image::kDataRates.size()
                              ? words.formatted(keys::kWithRate, {static_cast<int>(image::kDataRates[rateIndex])})
                              : words(keys::kDataRateNotSelected));
    settings.emplace_back(words(keys::kPreambleHeading), std::to_string(sheet.settings.preambleBits) + " " + words(keys::kBitsUnit));
    settings.emplace_back(words(keys::kSheetRepeat), std::to_string(sheet.settings.repeatIndex + 1) + " " + words(keys::kTimesUnit));
    settings.emplace_back(words(keys::kPagerAlphabet), words(image::alphabetStandard(sheet.alphabet)));
    if (!sheet.fingerprint.empty()) settings.emplace_back(words(keys::kSheetFingerprint), htmlText(sheet.fingerprint));
    if (sheet.totalSeconds) settings.emplace_back(words(keys::kSheetTotalOnAir), words.seconds(sheet.totalSeconds));
    return settings;
}

// No gaps between cells, whose lines would break, and the page's whole width: Qt's
// rich text reads both from attributes only (it spaces cells by default, and sizes a
// table to its cells).
constexpr std::string_view kTableAttributes = "cellspacing=\"0\" width=\"100%\"";

// The site's name on a line of its own, as long as it is; then two settings to a line.
std::string settingsTable(const SiteSheet& sheet, const Words& words) {
    std::string table = "<table class=\"settings\" " + std::string(kTableAttributes) + ">\n";
    if (!sheet.site.empty()) {
        table += element("tr", element("th", words(keys::kSheetSite), "width=\"22%\"") +
                                   element("td", htmlText(sheet.site), "colspan=\"3\"")) + "\n";
    }
    const std::vector<Setting> settings = settingsOf(sheet, words);
    for (std::size_t i = 0; i < settings.size(); i += 2) {
        std::string line;
        for (std::size_t j = i; j < i + 2; ++j) {
            const bool present = j < settings.size();
            line += element("th", present ? settings[j].first : "", "width=\"22%\"") +
                    element("td", present ? settings[j].second : "", "width=\"28%\"");
        }
        table += element("tr", line) + "\n";
    }
    return table + "</table>\n";
}

bool hasLabels(const SiteSheet& sheet) {
    return std::ranges::any_of(sheet.rows, [](const SheetRow& row) { return !row.label.empty(); });
}

std::string typeText(const SheetRow& row, const Words& words) {
    std::string type = words(row.type == paging::PagerType::Alphanumeric ? keys::kSheetAlphanumeric : keys::kNumeric);
    if (row.ownAlphabet) type += " (" + htmlText(paging::alphabetTable(*row.ownAlphabet).name) + ")";
    return type;
}

std::string rowLine(const SheetRow& row, bool labels, const Words& words) {
    std::string cells = element("td", std::to_string(row.row + 1), "class=\"number\"");
    if (labels) cells += element("td", htmlText(row.label));
    cells += element("td", std::to_string(row.capcode), "class=\"number\"");
    cells += element("td", std::string(1, static_cast<char>('A' + row.tone)));
    cells += element("td", typeText(row, words));
    if (!row.stored) {
        cells += element("td", element("b", words(keys::kSheetNotStored))) + element("td", "");
        return element("tr", cells) + "\n";
    }
    cells += element("td", element("span", htmlText(row.shows), "class=\"shown\""), "class=\"shows\"");
    cells += element("td", words.seconds(row.secondsPerTrigger), "class=\"number\"");
    return element("tr", cells) + "\n";
}

std::string rowsTable(const SiteSheet& sheet, const Words& words) {
    if (sheet.rows.empty()) return element("p", words(keys::kSheetNoRows)) + "\n";
    const bool labels = hasLabels(sheet);
    // Widths as attributes, which browsers and Qt's rich text both honour; the
    // pager's text takes the rest.
    std::string head = element("th", words(keys::kSheetRow), "width=\"7%\"");
    if (labels) head += element("th", words(keys::kSheetLabel), "width=\"15%\"");
    // The tone's column as wide as its heading, in any language: the pager's text
    // takes the rest.
    head += element("th", words(keys::kCapCodeHeading), "width=\"14%\"") + element("th", words(keys::kToneHeading)) +
            element("th", words(keys::kTypeHeading), "width=\"16%\"") + element("th", words(keys::kSheetShows)) +
            element("th", words(keys::kSheetOnAir), "width=\"13%\"");
    std::string body;
    for (const SheetRow& row : sheet.rows) body += rowLine(row, labels, words);
    return "<table class=\"rows\" " + std::string(kTableAttributes) + ">\n" + element("thead", element("tr", head)) +
           "\n" + element("tbody", "\n" + body) + "\n</table>\n";
}

// Where the site went: the transmitters it was written to, or two empty lines to fill
// in by hand where the record knows of none.
std::string writtenToTable(const SiteSheet& sheet, const Words& words) {
    const std::string head = element("th", words(keys::kChooseTransmitterTitle), "width=\"30%\"") +
                             element("th", words(keys::kSheetPort), "width=\"30%\"") +
                             element("th", words(keys::kSheetDate), "width=\"16%\"") +
                             element("th", words(keys::kSheetFingerprint));
    std::string body;
    for (const SheetTransmitter& transmitter : sheet.transmitters) {
        body += element("tr", element("td", htmlText(transmitter.name)) + element("td", htmlText(transmitter.port)) +
                                  element("td", htmlText(transmitter.date)) +
                                  element("td", htmlText(transmitter.fingerprint))) + "\n";
    }
    if (sheet.transmitters.empty()) {
        const std::string blank = element("td", "", "class=\"blank\"");
        body = element("tr", blank + blank + blank + blank) + "\n" + element("tr", blank + blank + blank + blank) + "\n";
    }
    return element("h2", words(keys::kSheetWrittenTo)) + "\n<table class=\"written\" " + std::string(kTableAttributes) +
           ">\n" + element("thead", element("tr", head)) + "\n" + element("tbody", "\n" + body) + "\n</table>\n";
}

// The installer's date, name and signature, each a line to write on.
std::string signatureTable(const Words& words) {
    std::string cells;
    for (const texts::TextKey key : {keys::kSheetDate, keys::kSheetName, keys::kSheetSignature}) {
        cells += element("th", words(key), "width=\"14%\"") + element("td", "", "class=\"sign\" width=\"19%\"");
    }
    return element("h2", words(keys::kSheetInstaller)) + "\n<table class=\"signature\" " +
           std::string(kTableAttributes) + ">\n" + element("tr", cells) + "\n</table>\n";
}

}  // namespace

std::string htmlText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        if (const auto c = texts::nextCodePoint(utf8, i)) {
            appendEscaped(out, *c);
        } else {
            texts::appendUtf8(out, texts::kReplacementCharacter);
            ++i;
        }
    }
    return out;
}

std::string sheetHtml(const SiteSheet& sheet, const Translate& translate) {
    const Words words(translate);
    std::string title = words(keys::kSheetTitle);
    if (!sheet.site.empty()) title += " \xE2\x80\x93 " + htmlText(sheet.site);  // an en dash
    return "<!DOCTYPE html>\n<html lang=\"" + htmlText(texts::languageCodeOf(words.raw(keys::kLanguageCode))) + "\">\n<head>\n<meta charset=\"utf-8\">\n" + element("title", title) + "\n" +
           element("style", kStyle) + "\n</head>\n<body>\n" + element("h1", words(keys::kSheetTitle)) + "\n" +
           settingsTable(sheet, words) + rowsTable(sheet, words) + writtenToTable(sheet, words) + signatureTable(words) +
           element("p", words.formatted(keys::kSheetFooter, {texts::Text{std::string(kToolName)}, texts::Text{kVersion}}),
                   "class=\"footer\"") +
           "\n</body>\n</html>\n";
}

}  // namespace vostrel::sheet
