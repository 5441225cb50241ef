// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "files/user_guide.h"

#include <algorithm>
#include <string>
#include <system_error>

namespace vostrel::files {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFirstPage = "index.html";

fs::path besideTheProgram(const fs::path& programFolder) { return programFolder / "user-guide"; }

fs::path belowTheInstallPrefix(const fs::path& programFolder) {
    return (programFolder.parent_path() / "share" / "doc" / "vostrel-programmer" / "user-guide").lexically_normal();
}

// A language code names a folder: letters alone, so that a language file cannot lead
// the window to a page outside the guide.
bool isLanguageCode(std::string_view language) {
    return language.size() >= 2 && language.size() <= 3 &&
           std::all_of(language.begin(), language.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

}  // namespace

std::vector<fs::path> userGuideFolders(const fs::path& programFolder) {
    return {besideTheProgram(programFolder), belowTheInstallPrefix(programFolder)};
}

std::optional<fs::path> userGuidePage(const fs::path& programFolder, std::string_view language) {
    const std::string_view chosen = isLanguageCode(language) ? language : kUserGuideLanguage;
    for (const fs::path& folder : userGuideFolders(programFolder)) {
        for (const std::string_view tried : {chosen, kUserGuideLanguage}) {
            const fs::path page = folder / tried / kFirstPage;
            if (isFile(page)) return page;
        }
    }
    return std::nullopt;
}

fs::path installedUserGuidePage(const fs::path& programFolder) {
#if defined(_WIN32)
    const fs::path folder = besideTheProgram(programFolder);
#else
    const fs::path folder = belowTheInstallPrefix(programFolder);
#endif
    return folder / kUserGuideLanguage / kFirstPage;
}

}  // namespace vostrel::files
