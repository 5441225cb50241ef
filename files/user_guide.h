// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Where the programs find the user guide: HTML pages rendered at build time, one
// folder per language (en/, de/), each opening with index.html, the pictures in
// images/ beside them. The folder lies
//   Windows installer and ZIP    PROGRAM/user-guide
//   Linux, installed             PROGRAM/../share/doc/vostrel-programmer/user-guide
//                                (/usr/share/doc/... for the Debian package)
//   the build tree               BUILD/share/doc/vostrel-programmer/user-guide, the
//                                same place seen from BUILD/app and BUILD/cli
// and is looked for in that order, so that one program finds it wherever it runs.

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

// Where --help and the manual pages say the guide is; a macro for the help texts that
// are joined from literals.
#if defined(_WIN32)
#define VOSTREL_HELP_USER_GUIDE "user-guide\\en\\index.html beside the program,\nin German user-guide\\de\\index.html"
#else
#define VOSTREL_HELP_USER_GUIDE "/usr/share/doc/vostrel-programmer/user-guide/en/index.html,\nin German de/index.html"
#endif

namespace vostrel::files {

inline constexpr std::string_view kUserGuideLanguage = "en";

// The folders that may hold the guide, for the program in `programFolder`, in the order
// they are looked in.
std::vector<std::filesystem::path> userGuideFolders(const std::filesystem::path& programFolder);

// The guide's first page in `language` (a two- or three-letter code, "de"), or in
// English where there is none in that language, in the first folder that holds one;
// nothing when no folder does. Any other `language` ("../x", "") counts as English.
std::optional<std::filesystem::path> userGuidePage(const std::filesystem::path& programFolder,
                                                   std::string_view language);

// The English first page at the place the programs are installed with on this system,
// for a message that names where the guide should be.
std::filesystem::path installedUserGuidePage(const std::filesystem::path& programFolder);

}  // namespace vostrel::files
