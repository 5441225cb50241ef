// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Reading the language file: an INI file whose section "Message" maps the built-in
// English texts (the keys) to their translations. Qt-free so that every front end
// reads a translation the same way.
//
// Section and key names match without regard to ASCII case; a value loses the blanks
// around it and one pair of enclosing quotation marks; lines starting with ';' are
// comments. The file is read as texts::readFileText says: UTF-8, or Windows-1252 when
// it is not; a file that mixes both, or a UTF-16 or UTF-32 one, gives no translation.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vostrel::texts {

inline constexpr std::string_view kLanguageFileName = "kdx20Lang.ini";
inline constexpr std::string_view kLanguageSection = "Message";
// The directory below a configuration directory that may hold the language file.
inline constexpr std::string_view kConfigSubdirectory = "vostrel-programmer";
// Far more than any translation; keeps a wrong file from being read whole.
inline constexpr std::size_t kMaxLanguageFileBytes = 1 << 20;

// The environment that names the configuration directories; empty when unset.
struct ConfigEnvironment {
    std::string xdgConfigHome;
    std::string xdgConfigDirs;
    std::string home;
    // %APPDATA% on Windows, every character of the user's folder name kept.
    std::filesystem::path appData{};
};
ConfigEnvironment processConfigEnvironment();

// The program's folder in the user's configuration directory, which holds the user's
// own language file and the window's settings: on Linux kConfigSubdirectory in
// $XDG_CONFIG_HOME (else ~/.config), on Windows in %APPDATA%. Nothing when the
// environment names no absolute folder (a relative one would depend on the working
// directory).
std::optional<std::filesystem::path> userConfigFolder(const ConfigEnvironment& environment);

// Where the language file may lie, in the order it is looked for: beside the program,
// then on Linux in the user's configuration directory ($XDG_CONFIG_HOME, else
// ~/.config) and in each of the system's ($XDG_CONFIG_DIRS, else /etc/xdg), on Windows
// in the user's %APPDATA% (the XDG variables mean nothing there, and a list split on
// ':' would cut "C:\..." apart). Relative directories are ignored, as they would
// depend on the working directory; a relative XDG_CONFIG_HOME counts as unset.
std::vector<std::filesystem::path> languageFilePlaces(const std::filesystem::path& programDirectory,
                                                      const ConfigEnvironment& environment);

// The contents of the language file: the first of `places` that exists is the file.
// Only a regular file of at most kMaxLanguageFileBytes is read; anything else (a FIFO
// would block the window, a device would never end) gives nothing, as does no file.
std::optional<std::string> readLanguageFile(const std::vector<std::filesystem::path>& places);

// The value of `key` in `section`, as UTF-8; nothing when the section or the key is
// missing. The first occurrence counts when a key is listed twice.
std::optional<std::string> findIniValue(std::string_view fileBytes, std::string_view section,
                                        std::string_view key);

// As the profile lookup's 512-byte buffer holds them.
inline constexpr std::size_t kMaxLookedUpCharacters = 511;

// The translation of `key` in section "Message", or the key itself when there is none;
// at most kMaxLookedUpCharacters characters of it.
std::string lookUpText(std::string_view fileBytes, std::string_view key);

}  // namespace vostrel::texts
