// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The settings file (files/program_folders.h) read and written without Qt, so that
// vostrel-cli keeps what the window keeps there. The window's Qt (QSettings, INI
// format) writes the whole file anew whenever it remembers a choice, keeping every
// section it can read: so a section written here is laid out as Qt lays it out, and
// read as Qt reads it.
//
//   [Section]            one section: a line "[name]", its entries below it
//   key=value            up to the next "[" line; ';' starts a comment line
//
// A value as Qt writes a text (UTF-8):
//   \" \\                a quotation mark, a backslash
//   \a \b \f \n \r \t \v \0 and \xHHHH (a UTF-16 unit)   control characters
//   "..."                the whole value quoted when it holds ; , or = or starts or
//                        ends with a blank (unquoted, a comma would part a list)
//   @@...                a leading @ doubled (a single @ starts a typed value)
//
// One section is replaced at a time; every other line of the file stays as it was.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "files/file_error.h"

namespace vostrel::files {

// A section's entries in file order: key and value, the value unescaped (UTF-8).
using SettingsEntries = std::vector<std::pair<std::string, std::string>>;

// The settings file is at most this large; a larger one is left alone, as the window
// leaves it.
inline constexpr std::size_t kMaxSettingsBytes = 1 << 20;

// A text as Qt writes it as a value, and a value as Qt reads it as a text. A typed value
// other than a text (@Invalid(), @ByteArray(...)) reads as nothing.
std::string settingsValueText(std::string_view value);
std::optional<std::string> settingsValue(std::string_view written);

// The entries of [section] in `fileBytes`; none when it has no such section. Entries
// whose value is no text are left out.
SettingsEntries settingsSection(std::string_view fileBytes, std::string_view section);

// `fileBytes` with [section] holding `entries` in their order (no section at all for
// none), appended when the file had none. Lines end as the file's first line does.
std::string withSettingsSection(std::string_view fileBytes, std::string_view section, const SettingsEntries& entries);

// The section from the file at `path`; none when the file is missing. A file that is no
// regular file or is larger than kMaxSettingsBytes is an error, never read.
std::variant<SettingsEntries, FileError> readSettingsSection(const std::filesystem::path& path,
                                                              std::string_view section);

// Replaces the section in the file at `path` (made, with its folder, when missing), the
// file replaced whole or not at all. A file that is no regular file, is too large, or
// that nobody may write is left as it is, with the error.
std::optional<FileError> writeSettingsSection(const std::filesystem::path& path, std::string_view section,
                                              const SettingsEntries& entries);

}  // namespace vostrel::files
