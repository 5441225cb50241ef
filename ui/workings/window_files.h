// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The window's files: its contents from and to a configuration file (or from a
// 512-byte image file read as a Read reads the transmitter), a site list and a label
// list, read as config/read_entries.h reads them, with their problems worded for the
// window's boxes.

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "config/read_entries.h"
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

// A configuration brings its own pager alphabets and transliteration; an image is
// read with `imageText`, as a Read would read it.
std::variant<config::EntriesRead, FileProblem> openWindowFile(const std::filesystem::path& path,
                                                              const image::PagerTextSettings& imageText);

// The entries with a site list's rows in place of their own; `reading` gives the
// window's names and pager alphabet.
std::variant<config::EntriesRead, FileProblem> importSiteListFile(const std::filesystem::path& path,
                                                                  const image::ProgrammerEntries& entries,
                                                                  const config::SiteListReading& reading);

// Writes the entries as a site list, safely, with the window's headings.
std::optional<FileProblem> exportSiteListFile(const std::filesystem::path& path, const image::ProgrammerEntries& entries,
                                              const config::SiteHeadings& headings);

// The entries with their empty labels filled from a label list.
std::variant<config::EntriesRead, FileProblem> labelsFromListFile(const std::filesystem::path& path,
                                                                  const image::ProgrammerEntries& entries);

// Writes the entries as a configuration, safely: a failure leaves any existing file
// as it was.
std::optional<FileProblem> saveWindowFile(const std::filesystem::path& path, const image::ProgrammerEntries& entries);

}  // namespace vostrel::ui
