// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Backups of what a transmitter held before a Write overwrote it, by the window and
// by vostrel-cli alike: one 512-byte image file each, so that Open of the file and a
// Write put it back. They go into the folder "backups" in the program's data folder
// (files/data_folder.h), where no working directory decides where they end up:
//   Windows:       the local application data folder\vostrel-programmer\backups
//   anywhere else: $XDG_DATA_HOME/vostrel-programmer/backups, by default
//                  ~/.local/share/vostrel-programmer/backups
//   a portable copy: backups beside the program (files/program_folders.h)
// A backup is named NNNNNN-YYYYmmdd-HHMMSS-DEVICE.bin: a sequence number one above the
// highest in the folder, the local time, then the transmitter's path with every run of
// characters other than letters, digits and '_' made one '-'. The sequence number, not
// the time, says which backup is newest: a clock once set wrong or a change of time
// zone would otherwise make each Write remove the newest real backup.
// Only the newest kBackupsKept backups are kept. Files named YYYYmmdd-HHMMSS-DEVICE.bin
// are backups of earlier versions: they count as older than every numbered one, and
// among themselves by the time in their names. Nothing else in the folder is ever
// removed.

#include <cstddef>
#include <cstdint>
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
inline constexpr std::string_view kBackupFolderName = "backups";

// The backup folder (it may not exist yet), or an error when no data folder is known.
std::variant<std::filesystem::path, FileError> backupFolder(const DataEnvironment& environment);
// This process's.
std::variant<std::filesystem::path, FileError> backupFolder();

// "NNNNNN-YYYYmmdd-HHMMSS-DEVICE" for backup number `sequence`, taken at `localTime` of
// the device at `devicePath`.
std::string backupStem(std::uint64_t sequence, const std::tm& localTime, std::string_view devicePath);

// Saves `image` in `folder` (made when missing) as its next backup, taken at `localTime`
// of the device at `devicePath`: a new file, appearing whole or not at all, never one
// that exists. Then removes the oldest backups beyond kBackupsKept, never the one just
// written. A backup that could not be saved removes nothing. The path written.
std::variant<std::filesystem::path, FileError> saveBackup(const std::filesystem::path& folder,
                                                          std::string_view devicePath, const image::EepromImage& image,
                                                          const std::tm& localTime);
// The same, taken now.
std::variant<std::filesystem::path, FileError> saveBackup(const std::filesystem::path& folder,
                                                          std::string_view devicePath,
                                                          const image::EepromImage& image);
// The same, in this process's backup folder.
std::variant<std::filesystem::path, FileError> saveBackup(std::string_view devicePath, const image::EepromImage& image);

}  // namespace vostrel::files
