// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Builds the EEPROM image from what the user entered: checks the settings, packs the
// header, and places each row's transmission behind the slot table until it is full.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "image/eeprom_image.h"
#include "image/pager_item.h"
#include "image/pager_text.h"
#include "image/transmitter_settings.h"
#include "texts/message.h"

namespace vostrel::image {

// What each row is for ("Küche", "Vollalarm"), UTF-8; empty when not named. Kept in the
// configuration file and site lists, never in the EEPROM: a Read cannot bring it back.
using RowLabels = std::array<std::string, kRowCount>;

// The window's contents as they stand at a Write.
struct ProgrammerEntries {
    std::string preambleText = "1023";
    int repeatIndex = 1;
    int dataRateIndex = 1;  // -1 when no rate is selected
    PagerRows rows;
    PagerTextSettings text;
    RowLabels labels;  // the builder never looks at them
    // The name of the site the transmitter serves, for its site sheet; empty when not
    // named. Not stored in the EEPROM.
    std::string site;
};

struct BuiltImage {
    EepromImage image;
    unsigned usedWords = kFirstTransmissionWord;
    // Set when the image became full: the number of rows before the one that did not fit.
    std::optional<int> fullAtRow;
    // Each character replaced in the placed rows, in row order ("'ß' in Item[02] is
    // sent as 'ss'"): never silent.
    std::vector<texts::Message> replacements;

    // The "image full" warning, when there is one.
    std::optional<texts::Message> warning() const;
};

// A character of a row's message, the row 0-based, the index counted in characters.
struct CharacterPosition {
    unsigned row = 0;
    std::size_t index = 0;

    friend bool operator==(const CharacterPosition&, const CharacterPosition&) = default;
};

struct BuildRefusal {
    texts::Message message;
    // The refused character, for a message the pager cannot show.
    std::optional<CharacterPosition> at;

    friend bool operator==(const BuildRefusal&, const BuildRefusal&) = default;
};

using BuildOutcome = std::variant<BuiltImage, BuildRefusal>;

BuildOutcome buildImage(const ProgrammerEntries& entries);

// Why buildImage would refuse the settings (preamble, data rate), if it would.
std::optional<texts::Message> settingsRefusal(const ProgrammerEntries& entries);
// The settings buildImage stores in the header, once settingsRefusal found nothing.
TransmitterSettings settingsOf(const ProgrammerEntries& entries);

// Where a Write would put each row, worked out by the walk buildImage makes but
// carried on past a refused row, so that the window can show every problem and the
// space used while the user types. A refused row takes no space; rows after the one
// that does not fit are neither placed nor refused, as Write does not look at them.
// When no row before the one that does not fit is refused, the figures are exactly
// those of buildImage.
struct RowLayout {
    unsigned usedWords = kFirstTransmissionWord;
    std::optional<int> fullAtRow;  // 0-based, as BuiltImage
    std::array<std::size_t, kRowCount> codewords{};  // of each placed row; 0 if not placed
    std::array<std::optional<BuildRefusal>, kRowCount> refusals;  // why Write would refuse the row
    // What each row in use and not refused sends: its pager codes and the characters
    // replaced on the way.
    std::array<PagerCodes, kRowCount> sent;
};

RowLayout layOutRows(const ProgrammerEntries& entries);

// What a Write makes of a row that calls a pager, were the walk to reach it: the codes
// it sends, or why it refuses the row.
std::variant<PagerCodes, BuildRefusal> sentCodes(const ProgrammerEntries& entries, unsigned row);

// The transmission a Write stores for the row, written into `out`: the very codewords
// buildImage places. Returns their count; 0 for a row the layout does not place.
std::size_t encodeRow(const ProgrammerEntries& entries, const RowLayout& layout, unsigned row,
                      std::span<paging::Codeword, kMaxSlotCodewords> out);

// The message about a row in its form that names none, the row's number left out of
// its arguments; any other message as it is. For what has no row to name (vostrel-cli
// encode's one item) or names it otherwise (a site list's cell, by its line).
texts::Message withoutRow(texts::Message message);

// A number read from text as the window reads it: leading white space, an optional
// sign, then decimal digits up to the first other character; no digits gives 0.
// Saturates at the bounds of long long.
long long leadingInteger(const std::string& text);

// Whether a Write sends the row: its capcode reads as a number other than 0. Every
// other row is skipped, whatever else it holds.
bool callsAPager(const PagerItem& item);

}  // namespace vostrel::image
