// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Open and Save: the window's contents from and to a configuration file, or from a
// 512-byte image file read as a Read reads the transmitter.

#include <filesystem>
#include <optional>
#include <string>
#include <variant>

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

// Writes the entries as a configuration, safely: a failure leaves any existing file
// as it was.
std::optional<FileProblem> saveWindowFile(const std::filesystem::path& path, const image::ProgrammerEntries& entries);

}  // namespace vostrel::ui
