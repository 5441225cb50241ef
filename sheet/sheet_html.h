// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The site sheet as one self-contained HTML page: UTF-8, its styles inline, print
// styles for A4 portrait. A browser prints it on one page, and the window renders the
// same text to PDF with Qt's rich-text engine, which reads the same markup (a table,
// classes, no scripts, no images, nothing fetched).
//
//   Site sheet                               h1
//   Site | Zur Post        Date  | 2026-03-14     the settings, two to a line
//   Data Rate | 1200 bit/s ...
//   Row | Label | CapCode | Type | Pager shows | On air per trigger
//   1   |       | 1234567 D | Alphanumeric | Grüße | 1.23 s
//   Made with Vostrel programmer 2.1.0       footer

#include <functional>
#include <string>
#include <string_view>

#include "sheet/site_sheet.h"

namespace vostrel::sheet {

// The words of the sheet, each the built-in English text that the language file
// translates (section "Message"), as every other text of the tool.
namespace keys {
inline constexpr std::string_view kTitle = "Site sheet";
inline constexpr std::string_view kSite = "Site";
inline constexpr std::string_view kDate = "Date";
inline constexpr std::string_view kDataRate = "Data Rate";
inline constexpr std::string_view kBitRate = "%d bit/s";
inline constexpr std::string_view kNoDataRate = "Data rate not selected";
inline constexpr std::string_view kPreamble = "Preamble";
inline constexpr std::string_view kBits = "bits";
inline constexpr std::string_view kRepeat = "Repeat";  // not the window's misspelt heading: this is printed
inline constexpr std::string_view kTimes = "times";
inline constexpr std::string_view kAlphabet = "Pager alphabet";
inline constexpr std::string_view kFingerprint = "Contents fingerprint";
inline constexpr std::string_view kTotalOnAir = "On air per trigger, all rows";
inline constexpr std::string_view kRow = "Row";
inline constexpr std::string_view kLabel = "Label";
inline constexpr std::string_view kCapCode = "CapCode";
inline constexpr std::string_view kType = "Type";
inline constexpr std::string_view kNumeric = "Numeric";
inline constexpr std::string_view kAlphanumeric = "Alphanumeric";  // likewise
inline constexpr std::string_view kShows = "Pager shows";
inline constexpr std::string_view kOnAir = "On air per trigger";
inline constexpr std::string_view kSeconds = "%.2f s";
inline constexpr std::string_view kNoRows = "No calls stored";
inline constexpr std::string_view kFooter = "Made with %s %s";  // the tool's name and version
}  // namespace keys

// The translation of a key (its built-in text when there is none).
using Translate = std::function<std::string(std::string_view key)>;

// The page. Every text (site, labels, what the pagers show, translations) is escaped:
// none can add markup, and control characters and bytes that are not UTF-8 show as
// U+FFFD.
std::string sheetHtml(const SiteSheet& sheet, const Translate& translate);

// Text as HTML character data or attribute value: & < > " ' as references, control
// characters (but tab and line feed) and invalid UTF-8 as U+FFFD.
std::string htmlText(std::string_view utf8);

}  // namespace vostrel::sheet
