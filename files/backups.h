// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Backups of what a transmitter held before a Write overwrote it: one 512-byte image
// file each, so that Open of the file and a Write put it back. They go into the folder
// "backups" in the program's data folder (files/data_folder.h), where no working
// directory decides where they end up:
//   Windows:       the local application data folder\vostrel-programmer\backups
//   anywhere else: $XDG_DATA_HOME/vostrel-programmer/backups, by default
//                  ~/.local/share/vostrel-programmer/backups
// A backup is named YYYYmmdd-HHMMSS-DEVICE.bin (local time, then the transmitter's path
// with every run of characters other than letters, digits and '_' made one '-'), so
// that names sort by age. Only the newest kBackupsKept files of that form are kept; nothing else in
// the folder is ever removed.

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

#include "files/data_folder.h"
#include "files/whole_file.h"
#include "image/eeprom_image.h"

namespace vostrel::files {

inline constexpr std::size_t kBackupsKept = 50;

// The backup folder (it may not exist yet), or an error when no data folder is known.
std::variant<std::filesystem::path, FileError> backupFolder(const DataEnvironment& environment);
// This process's.
std::variant<std::filesystem::path, FileError> backupFolder();

// "YYYYmmdd-HHMMSS-DEVICE" for a backup taken at `localTime` of the device at `devicePath`.
std::string backupStem(const std::tm& localTime, std::string_view devicePath);

// Saves `image` as STEM.bin, or STEM-1.bin, STEM-2.bin ... when that name is taken: a
// new file, appearing whole or not at all, never one that exists. The path written.
std::variant<std::filesystem::path, FileError> saveNewImageFile(const std::filesystem::path& stem,
                                                                const image::EepromImage& image);

// Saves `image` in `folder` (made when missing) under the name of now and `devicePath`,
// then removes the oldest backups beyond kBackupsKept. A backup that could not be saved
// removes nothing. The path written.
std::variant<std::filesystem::path, FileError> saveBackup(const std::filesystem::path& folder,
                                                          std::string_view devicePath,
                                                          const image::EepromImage& image);

}  // namespace vostrel::files
