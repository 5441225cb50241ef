// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The window's files: its contents from and to a configuration file (or from a
// 512-byte image file read as a Read reads the transmitter), a site list and a label
// list, read as config/read_entries.h reads them, with their problems worded for the
// window's boxes in its language.

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "config/read_entries.h"
#include "config/site_list.h"
#include "image/image_builder.h"
#include "texts/message.h"
#include "ui/workings/language_texts.h"

namespace vostrel::ui {

// A message with the details beneath it: the file, and where in it and what is wrong,
// or the reason the system gave.
struct FileProblem {
    texts::Message message;
    std::string detail;  // UTF-8
};

// A configuration brings its own pager alphabets and transliteration; an image is
// read with `imageText`, as a Read would read it.
std::variant<config::EntriesRead, FileProblem> openWindowFile(const std::filesystem::path& path,
                                                              const image::PagerTextSettings& imageText,
                                                              const LanguageTexts& texts);

// The entries with a site list's rows in place of their own; `reading` gives the
// window's names and pager alphabet.
std::variant<config::EntriesRead, FileProblem> importSiteListFile(const std::filesystem::path& path,
                                                                  const image::ProgrammerEntries& entries,
                                                                  const config::SiteListReading& reading,
                                                                  const LanguageTexts& texts);

// Writes the entries as a site list, safely, with the window's headings.
std::optional<FileProblem> exportSiteListFile(const std::filesystem::path& path, const image::ProgrammerEntries& entries,
                                              const config::SiteHeadings& headings);

// The entries with their empty labels filled from a label list.
std::variant<config::EntriesRead, FileProblem> labelsFromListFile(const std::filesystem::path& path,
                                                                  const image::ProgrammerEntries& entries,
                                                                  const LanguageTexts& texts);

// Writes the entries as a configuration, safely: a failure leaves any existing file
// as it was.
std::optional<FileProblem> saveWindowFile(const std::filesystem::path& path, const image::ProgrammerEntries& entries);

}  // namespace vostrel::ui
