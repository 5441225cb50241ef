// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The configuration file: the window's three settings and sixteen rows as text, so
// that scripts can build, keep and compare what a transmitter holds.
//
//   [Settings]            DataRate = 512|1200|2400|none, Preamble = text, Repeat = 1..4,
//                         Alphabet = US|DE|DK|NO|SE|FR|ES|IT|YU, Transliterate = yes|no,
//                         Site = "the site's name"
//   [Item01] .. [Item16]  Label = "text" (what the row is for; never in the image),
//                         CapCode = digits or empty, optionally with the sub-address letter
//                         A..D that gives the tone (1234567A), Tone = A..D,
//                         Type = Numeric|Alphanumeric, Alphabet = the row's own,
//                         Message = "text"; quoted texts take \" \\ and \xNN escapes
//                         (\xNN is the character U+00NN)
//
// Section and key names ignore case; '#' or ';' starts a comment outside quotes. The
// file is UTF-8; one that is not is read as Windows-1252, as older editors on Windows
// save it, and one that mixes both is an error at its first byte that is not UTF-8
// (texts::readFileText). A row must follow the window's rules: tone
// D, and only tone D, is alphanumeric, and tones B and C take no message.

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "image/eeprom_image.h"
#include "image/image_builder.h"
#include "image/pager_item.h"
#include "image/transmitter_settings.h"
#include "paging/transmission_decoder.h"
#include "texts/message.h"
#include "texts/text_codec.h"

namespace vostrel::config {

// The longest texts the window's boxes hold: the preamble box, the capcode box, and a
// message box after a Read.
inline constexpr std::size_t kMaxPreambleCharacters = 4;
inline constexpr std::size_t kMaxCapcodeCharacters = 7;
inline constexpr std::size_t kMaxMessageCharacters = paging::kMaxDecodedText;
// A site's name heads its site sheet on one line.
inline constexpr std::size_t kMaxSiteCharacters = 80;
// Why `site` (UTF-8) cannot be a site's name ("Site is longer than 80 characters",
// "Site cannot hold control characters"), or nothing when it can.
std::optional<texts::Message> siteNameProblem(const std::string& site);

struct ConfigError {
    int line = 0;
    int column = 0;  // of a byte that is not UTF-8; 0 where the line says enough
    texts::Message what;
};

using ConfigOutcome = std::variant<image::ProgrammerEntries, ConfigError>;

// Missing settings keep the window's initial values; a missing section or key leaves
// its row or box empty. A row's missing Tone or Type follows the other one. `readAs`,
// when given, learns how the text was read, so that the front end can say once that
// it guessed Windows-1252.
ConfigOutcome parseConfig(std::string_view bytes, texts::FileEncoding* readAs = nullptr);

// The configuration parseConfig reads back into the same entries. Capcodes are
// written as they stand: plain digits, as the window's boxes and an image hold them.
// A label is written only where a row has one.
std::string writeConfig(const image::ProgrammerEntries& entries);

// An image's settings and rows, as a Read shows them.
std::string writeConfig(const image::TransmitterSettings& settings, const image::PagerRows& rows);

// What a file the tool reads turns out to be: an image when image::isImageFile says
// so, else a configuration (or its mistake).
using ConfigOrImage = std::variant<image::ProgrammerEntries, image::EepromImage, ConfigError>;
ConfigOrImage parseConfigOrImage(std::string_view bytes, texts::FileEncoding* readAs = nullptr);

// A capcode as the window's box holds it: decimal digits, or empty for a row not in
// use; blanks around are dropped. Nothing for any other text, which would otherwise
// be read as its leading digits and page another pager.
std::optional<std::string> parseCapcode(std::string_view text);

// Tone letter A to D, either case.
std::optional<unsigned> parseTone(std::string_view letter);

}  // namespace vostrel::config
