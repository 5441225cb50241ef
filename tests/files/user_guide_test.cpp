// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Where a program finds the user guide's first page: beside it (Windows) or below its
// install prefix (Linux, the build tree), in the language asked for or else English.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "files/user_guide.h"

namespace vostrel::files {
namespace {

namespace fs = std::filesystem;

TEST(UserGuide, TheFirstFolderThatHoldsAPageGivesItInTheLanguageAskedForElseInEnglish) {
    const fs::path root = fs::path(testing::TempDir()) / ("vostrel-guide-" + std::to_string(::getpid()));
    const fs::path program = root / "bin";
    const fs::path beside = program / "user-guide";
    const fs::path installed = root / "share/doc/vostrel-programmer/user-guide";
    const struct {
        const char* what;
        std::vector<fs::path> pages;
        const char* language;
        std::optional<fs::path> found;
    } cases[] = {
        {"installed, German", {installed / "en/index.html", installed / "de/index.html"}, "de",
         installed / "de/index.html"},
        {"installed, English", {installed / "en/index.html", installed / "de/index.html"}, "en",
         installed / "en/index.html"},
        {"no guide in French", {installed / "en/index.html", installed / "de/index.html"}, "fr",
         installed / "en/index.html"},
        {"a language that names another folder", {installed / "en/index.html", root / "share/doc/x/index.html"},
         "../../x", installed / "en/index.html"},
        {"an empty language", {installed / "en/index.html"}, "", installed / "en/index.html"},
        {"beside the program first", {beside / "de/index.html", installed / "de/index.html"}, "de",
         beside / "de/index.html"},
        {"a folder named index.html is no page", {installed / "en/index.html/"}, "en", std::nullopt},
        {"none", {}, "de", std::nullopt},
    };
    for (const auto& c : cases) {
        fs::remove_all(root);
        fs::create_directories(program);
        for (const fs::path& page : c.pages) {
            // A name ending in '/' is made a folder.
            fs::create_directories(page.parent_path());
            if (page.has_filename()) std::ofstream{page} << "<html></html>";
        }
        EXPECT_EQ(userGuidePage(program, c.language), c.found) << c.what;
    }
    fs::remove_all(root);
}

TEST(UserGuide, ItsPlacesAreBesideTheProgramThenBelowItsInstallPrefix) {
    EXPECT_EQ(userGuideFolders("/usr/bin"),
              (std::vector<fs::path>{"/usr/bin/user-guide", "/usr/share/doc/vostrel-programmer/user-guide"}));
    EXPECT_EQ(installedUserGuidePage("/usr/bin"), "/usr/share/doc/vostrel-programmer/user-guide/en/index.html");
}

}  // namespace
}  // namespace vostrel::files
