// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Open and Save: the window's contents from and to a configuration file, or from a
// 512-byte image file read as a Read reads the transmitter.

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "config/site_list.h"
#include "image/image_builder.h"
#include "texts/message.h"

namespace vostrel::ui {

// A message with the system's own details beneath it: the file, and the line or the
// reason the system gave.
struct FileProblem {
    texts::Message message;
    std::string detail;  // UTF-8
};

struct OpenedFile {
    image::ProgrammerEntries entries;
    // As a Read: the 1-based row of an image that could not be read, and every row
    // from it on empty.
    std::optional<int> readErrorRow;
    // Said once the rows are shown: a configuration read as Windows-1252.
    std::optional<texts::Message> note;
};

// A configuration brings its own pager alphabets and transliteration; an image is
// read with `imageText`, as a Read would read it.
std::variant<OpenedFile, FileProblem> openWindowFile(const std::filesystem::path& path,
                                                     const image::PagerTextSettings& imageText);

// The entries with a site list's rows in place of their own, and the list's notes on
// columns it does not use; `reading` gives the window's names and pager alphabet.
struct ImportedList {
    image::ProgrammerEntries entries;
    std::vector<std::string> notes;
    // Said once the rows are shown: a list read as Windows-1252.
    std::optional<texts::Message> note;
};
std::variant<ImportedList, FileProblem> importSiteListFile(const std::filesystem::path& path,
                                                           const image::ProgrammerEntries& entries,
                                                           const config::SiteListReading& reading);

// Writes the entries as a site list, safely, with the window's headings.
std::optional<FileProblem> exportSiteListFile(const std::filesystem::path& path, const image::ProgrammerEntries& entries,
                                              const config::SiteHeadings& headings);

// The entries with their empty labels filled from a label list, and how many it filled.
struct LabelledEntries {
    image::ProgrammerEntries entries;
    int labelled = 0;
    // Said once the labels are shown: a list read as Windows-1252.
    std::optional<texts::Message> note;
};
std::variant<LabelledEntries, FileProblem> labelsFromListFile(const std::filesystem::path& path,
                                                              const image::ProgrammerEntries& entries);

// Writes the entries as a configuration, safely: a failure leaves any existing file
// as it was.
std::optional<FileProblem> saveWindowFile(const std::filesystem::path& path, const image::ProgrammerEntries& entries);

}  // namespace vostrel::ui
