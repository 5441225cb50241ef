// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The site sheet as one self-contained HTML page: UTF-8, its styles inline, print
// styles for A4 portrait. A browser prints it on one page, and the window renders the
// same text to PDF with Qt's rich-text engine, which reads the same markup (a table,
// classes, no scripts, no images, nothing fetched).
//
//   Site sheet                               h1
//   Site | Zur Post        Date  | 2026-03-14     the settings, two to a line, the
//   Data Rate | 1200 bit/s ...                    date as the language writes it
//   Row | Label | CapCode | Tone | Type | Pager shows | On air per trigger
//   1   |       | 1234567 | D    | Alphanumeric | Grüße | 1.23 s
//   Written to these transmitters            h2: the record of Writes
//   Transmitter | Port | Date | Contents fingerprint
//   Erdgeschoss | 1-1.2 | 2026-03-14 | 1A2B3C4D     (two empty lines when none)
//   Installed by                             h2
//   Date ____  Name ____  Signature ____     lines to write on
//   Made with Vostrel programmer 2.1.0       footer
// The page's lang attribute is the language's code (texts::keys::kLanguageCode).

#include <functional>
#include <string>
#include <string_view>

#include "sheet/site_sheet.h"
#include "texts/text_keys.h"

namespace vostrel::sheet {

// The tool's name, as the sheet's footer and the PDF's creator give it.
inline constexpr std::string_view kToolName = "Vostrel programmer";

// The translation of a key (texts/text_keys.def), its built-in text when there is none.
using Translate = std::function<std::string(texts::TextKey key)>;

// The page. Every text (site, labels, what the pagers show, translations) is escaped:
// none can add markup, and control characters and bytes that are not UTF-8 show as
// U+FFFD.
std::string sheetHtml(const SiteSheet& sheet, const Translate& translate);

// Text as HTML character data or attribute value: & < > " ' as references, control
// characters (but tab and line feed) and invalid UTF-8 as U+FFFD.
std::string htmlText(std::string_view utf8);

}  // namespace vostrel::sheet
