// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Where the programs keep what they write for themselves (the window's settings, the
// backups, the emulated transmitter's EEPROM) and where they look for the language
// file: the one rule, for the window and vostrel-cli alike.
//
// Installed, they use the user's folders:
//   settings       the user's configuration folder (texts::userConfigFolder)
//                  /vostrel-programmer.ini
//   data           files/data_folder.h (backups below it, the EEPROM file in it)
//   language file  texts::languageFilePlaces: beside the program, then the user's and
//                  the system's configuration folders
// A portable copy, one with a file named portable.ini beside the program (unpacked on
// a USB stick, say), keeps everything in the program's own folder and looks nowhere
// else, so that it leaves no trace in the profile of the PC it runs on and finds its
// settings again on the next:
//   settings       PROGRAM/vostrel-programmer.ini
//   data           PROGRAM (backups in PROGRAM/backups)
//   language file  PROGRAM/kdx20Lang.ini alone
// The marker is looked at, never read: whatever lies there under that name (an empty
// file, a folder) makes the copy portable. A program folder the user may not write then
// keeps no settings, and a Write there stops at its backup with the reason, rather than
// writing anything to the profile.

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "texts/language_file.h"

namespace vostrel::files {

inline constexpr std::string_view kPortableMarker = "portable.ini";
inline constexpr std::string_view kSettingsFileName = "vostrel-programmer.ini";

// The folder of the running program, or nothing where the system does not tell.
std::optional<std::filesystem::path> runningProgramFolder();

// Whether the copy in `programFolder` is portable: anything named kPortableMarker lies
// there, even a dangling link.
bool isPortableCopy(const std::filesystem::path& programFolder);

// Where a program keeps its files. `portableFolder` is the program's folder when the
// copy is portable.
struct ProgramPlaces {
    std::optional<std::filesystem::path> portableFolder;
    std::filesystem::path programFolder;
    texts::ConfigEnvironment config;

    // The window's settings file; nothing when no folder for it is known.
    std::optional<std::filesystem::path> settingsFile() const;
    // Where the language file may lie, in the order it is looked for.
    std::vector<std::filesystem::path> languageFilePlaces() const;
};

// This process's: its program's folder, portable or not, and its environment.
ProgramPlaces programPlaces();

}  // namespace vostrel::files
