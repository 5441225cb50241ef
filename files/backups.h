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
// A backup is named NNNNNN-YYYYmmdd-HHMMSS-TRANSMITTER.bin: a sequence number one above
// the highest in the folder, the local time, then the transmitter's name, else its port
// (files/transmitter_names.h), never the hidraw number, which follows the order devices
// were found in: every run of characters other than letters (of any script), digits
// and '_' made one '-'. Which transmitter it came from, by name and port, is also in
// the record of Writes beside the backups (files/write_history.h). The sequence number, not
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
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

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

// "NNNNNN-YYYYmmdd-HHMMSS-TRANSMITTER" for backup number `sequence`, taken at
// `localTime` of the transmitter called `transmitter` (its name, else its port).
std::string backupStem(std::uint64_t sequence, const std::tm& localTime, std::string_view transmitter);

// Saves `image` in `folder` (made when missing) as its next backup, taken at `localTime`
// of the transmitter called `transmitter`: a new file, appearing whole or not at all,
// never one that exists. Then removes the oldest backups beyond kBackupsKept, never the
// one just written. A backup that could not be saved removes nothing. The path written.
std::variant<std::filesystem::path, FileError> saveBackup(const std::filesystem::path& folder,
                                                          std::string_view transmitter, const image::EepromImage& image,
                                                          const std::tm& localTime);
// The same, taken now.
std::variant<std::filesystem::path, FileError> saveBackup(const std::filesystem::path& folder,
                                                          std::string_view transmitter,
                                                          const image::EepromImage& image);
// The same, in this process's backup folder.
std::variant<std::filesystem::path, FileError> saveBackup(std::string_view transmitter, const image::EepromImage& image);

// A backup as the list of backups shows it.
struct BackupFile {
    std::filesystem::path file;
    // When it was taken, "YYYY-mm-dd HH:MM:SS" in local time, from its name.
    std::string time;
    // The transmitter it was taken of, as the record of Writes names it; both empty for
    // a backup without a record (of an earlier version), which `called` names.
    std::string port;
    std::string name;
    // The transmitter as its file name calls it.
    std::string called;
    // Its contents; nothing when the file cannot be read as an image.
    std::optional<image::EepromImage> contents;
};

// The backups in `folder`, newest first; none when there is no folder.
std::vector<BackupFile> listBackups(const std::filesystem::path& folder);

}  // namespace vostrel::files
