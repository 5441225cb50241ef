// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The site sheet: the installer's paper record of what a transmitter holds, one A4
// page for all sixteen rows. It is made from the image a Write stores (or one read
// back), never from the window's boxes, so that it shows what the pagers receive.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/eeprom_image.h"
#include "image/image_builder.h"
#include "image/pager_text.h"
#include "image/transmitter_settings.h"
#include "paging/alphabets.h"
#include "paging/transmission.h"

namespace vostrel::sheet {

struct SheetRow {
    unsigned row = 0;  // 0-based
    // What the row is for; empty where none is known (an image holds none). The sheet
    // shows the label column when any row has one.
    std::string label;
    std::uint32_t capcode = 0;
    unsigned tone = 0;  // 0..3 for A..D, the sub-address
    paging::PagerType type = paging::PagerType::Numeric;
    // The row's alphabet when it differs from the sheet's (alphanumeric rows only).
    std::optional<paging::Alphabet> ownAlphabet;
    std::string shows;  // what the pager shows (image/pager_preview.h), UTF-8
    std::optional<double> secondsPerTrigger;  // nothing when the image names no data rate
    // False for a row a Write leaves out, the EEPROM being full: it shows nothing.
    bool stored = true;
};

// A day of the calendar, as the sheet prints it in the reader's way
// (texts::keys::kSheetDateFormat).
struct SheetDate {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31

    friend bool operator==(const SheetDate&, const SheetDate&) = default;
};

// A transmitter the site was written to from this computer, as the record of Writes
// beside the backups has it (files/write_history.h).
struct SheetTransmitter {
    std::string name;  // its name then; empty when it had none
    std::string port;  // where it was plugged in (its path where the system names no port)
    std::string date;  // the day of the Write, YYYY-MM-DD
    std::string fingerprint;  // the contents fingerprint it held afterwards

    friend bool operator==(const SheetTransmitter&, const SheetTransmitter&) = default;
};

// No more lines than this, so that the sheet stays one page at sixteen rows.
inline constexpr std::size_t kSheetTransmittersShown = 4;

struct SiteSheet {
    std::string site;     // the site's name; empty when not named
    std::optional<SheetDate> date;  // the day the sheet was made
    image::TransmitterSettings settings;
    paging::Alphabet alphabet = paging::Alphabet::US;
    // The contents fingerprint (image/fingerprint.h), so that the paper can be matched
    // with a transmitter by `vostrel-cli devices` or `verify`; empty where none is known.
    std::string fingerprint;
    std::optional<double> totalSeconds;  // one trigger of every row; nothing without a data rate
    std::vector<SheetRow> rows;          // the rows the image stores, in row order
    // Where the site went, the newest first; none when it was written nowhere.
    std::vector<SheetTransmitter> transmitters;
};

// What the sheet says about the image: its settings, and every row it stores with its
// label from `labels`, what the pager shows (alphanumeric rows through their alphabet
// in `text`) and its time on air. Rows from one that cannot be read on ("EEPROM read
// error") are left out.
SiteSheet siteSheet(const image::EepromImage& image, const image::PagerTextSettings& text,
                    const image::RowLabels& labels);

// Adds each row that a Write of `entries` leaves out, the EEPROM being full, as not
// stored, in row order: the sheet must not pass for a record of the whole site.
void addRowsNotStored(SiteSheet& sheet, const image::ProgrammerEntries& entries);

// The day of `when` in local time.
SheetDate sheetDate(std::time_t when);

// The day written by `pattern`, in which YYYY stands for the year, MM for the month and
// DD for the day, each with leading zeros ("DD.MM.YYYY" gives 10.12.2026); any other
// character stands for itself.
std::string dateText(const SheetDate& date, std::string_view pattern);

// The transmitters the site was written to from this computer, from the record of Writes
// beside this process's backups: those of the site named `site` when it is named, else
// those of the contents with `fingerprint`; the newest per port, newest first, at most
// kSheetTransmittersShown.
std::vector<SheetTransmitter> writtenTo(std::string_view site, std::string_view fingerprint);

}  // namespace vostrel::sheet
