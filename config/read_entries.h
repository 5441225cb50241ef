// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// A file's bytes turned into the entries the window shows and vostrel-cli sends, for
// both front ends alike:
//
//   what the caller takes      reader                  what the file may be
//   a configuration or image   readConfigOrImage       configuration, 512-byte image
//   a configuration            readConfiguration       configuration (an image refused)
//   a site list                readSiteListInto        CSV from a spreadsheet
//   a label list               readLabelListInto       ric,description CSV, filters.ini
//
// Each returns the entries with what the reading found, or the problem that stops it,
// located by line (and column, and the window's row) in the file. Both are data,
// messages the front ends word (texts/message.h): the window in its language,
// vostrel-cli in English. None of them says again what is said here once (a file read
// as Windows-1252).

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "config/site_list.h"
#include "image/eeprom_image.h"
#include "image/image_builder.h"
#include "texts/message.h"

namespace vostrel::config {

struct EntriesRead {
    image::ProgrammerEntries entries;
    // Set when the file was an image: `entries` then show it as a Read shows it.
    std::optional<image::EepromImage> image;
    // Of an image: the 1-based row that could not be read, and every row from it on
    // empty.
    std::optional<int> readErrorRow;
    // To be said once the entries are shown: the file was read as Windows-1252; an
    // image's rows hold more than their calls.
    std::vector<texts::Message> notes;
    // Of a site list: the columns it left out.
    std::vector<UnusedColumn> unusedColumns;
    // Of a label list: the 0-based rows that it gave a label.
    std::vector<unsigned> labelledRows;
};

struct ReadProblem {
    enum class Kind {
        Configuration,     // a configuration's mistake (or a file that is neither)
        ImageNotWanted,    // an image where only a configuration is taken
        SiteList,          // a cell of a site list
        LabelList,         // a line of a label list
    };
    Kind kind = Kind::Configuration;
    int line = 0;    // 1-based; 0 for the file as a whole
    int column = 0;  // 1-based cell of a site list, character of a line; 0 for none
    std::optional<int> row;  // the window's row (1-based) a site list's line fills
    texts::Message what;
};

// The problem placed in its file, `what` being the front end's wording of
// problem.what: "NAME: what", "NAME:3: what", "NAME: line 3, column 4: what" or, for
// a site list's row, "NAME: line 3, column 4 (row 2): what".
texts::Message locatedProblem(std::string_view fileName, const ReadProblem& problem, std::string what);

// "column 7 'Notes' is not used"
texts::Message unusedColumnNote(const UnusedColumn& column);

// The headings a site list's columns are read by, said after the columns left out:
// `shown` (the window's), and the English ones where they differ, "Headings read:
// Zeile, Bezeichnung, ... / Row, Label, ...".
texts::Message knownHeadingsNote(const SiteHeadings& shown = englishSiteHeadings());

// `fileName` names the file in the notes as the user knows it. An image's rows are
// shown with `imageText`, as a Read would show them.
std::variant<EntriesRead, ReadProblem> readConfigOrImage(std::string_view bytes, std::string_view fileName,
                                                         const image::PagerTextSettings& imageText = {});

// An image is refused: it would read as an empty configuration wherever its header
// bytes read as a comment, and a Write of it would clear every call.
std::variant<EntriesRead, ReadProblem> readConfiguration(std::string_view bytes, std::string_view fileName);

// Whether a list's entries keep the pager alphabet of `base` or take the one all the
// list's rows share (US when they differ), for a list read without settings.
enum class ListAlphabet { OfBase, SharedByTheRows };

// `base` with the list's rows, labels and alphabets in place of all sixteen rows of
// it; the settings stay. `reading` gives the names and the alphabet of the window.
std::variant<EntriesRead, ReadProblem> readSiteListInto(std::string_view bytes, std::string_view fileName,
                                                        const image::ProgrammerEntries& base,
                                                        const SiteListReading& reading,
                                                        ListAlphabet alphabet = ListAlphabet::OfBase);

// `entries` with their empty labels filled from the list (config/label_list.h).
std::variant<EntriesRead, ReadProblem> readLabelListInto(std::string_view bytes, std::string_view fileName,
                                                         const image::ProgrammerEntries& entries);

}  // namespace vostrel::config
