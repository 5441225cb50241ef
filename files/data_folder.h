// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The program's own folder among the user's data, where the files it makes for itself
// go (the backups, the emulated transmitter's EEPROM): a folder the user may always
// write, wherever the program is installed and whatever folder it was started in.
//   Windows:       the local application data folder\vostrel-programmer
//   anywhere else: $XDG_DATA_HOME/vostrel-programmer, by default
//                  ~/.local/share/vostrel-programmer
//   a portable copy: the program's own folder (files/program_folders.h)

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

#include "files/whole_file.h"

// The folder's own name in the user's data folder; a macro too, for the help texts
// that are joined from literals.
#define VOSTREL_PROGRAM_FOLDER_NAME "vostrel-programmer"

namespace vostrel::files {

inline constexpr std::string_view kProgramFolderName = VOSTREL_PROGRAM_FOLDER_NAME;

// Where a folder of the data folder lies, in the words of a help text meant for every
// system (a manual page is written once): "$XDG_DATA_HOME/vostrel-programmer/NAME (by
// default ~/.local/share/...), on Windows vostrel-programmer\NAME in the local
// application data folder; for a portable copy (...), in the folder NAME beside it".
// Line breaks after every `width` characters or fewer, at blanks.
std::string dataFolderHelp(std::string_view name, std::string_view program, std::size_t width);

// What names the user's data folder outside Windows; empty when unset.
struct DataEnvironment {
    std::string xdgDataHome;
    std::string home;
};
DataEnvironment processDataEnvironment();

// The folder (it may not exist yet). A relative XDG_DATA_HOME counts as unset, as it
// would depend on the working directory. An error saying why when no data folder is
// known.
std::variant<std::filesystem::path, FileError> programDataFolder(const DataEnvironment& environment);
// This process's: beside a portable copy, else the environment above or Windows' local
// application data folder.
std::variant<std::filesystem::path, FileError> programDataFolder();

}  // namespace vostrel::files
