// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Where a program keeps its settings and looks for its language file: the user's
// folders, or beside a portable copy alone.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "files/program_folders.h"

namespace vostrel::files {
namespace {

namespace fs = std::filesystem;

TEST(ProgramFolders, APortableCopyIsOneWithAnythingNamedPortableIniBesideIt) {
    const fs::path folder = fs::path(testing::TempDir()) / ("vostrel-portable-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    const struct {
        const char* what;
        void (*make)(const fs::path& marker);
        bool portable;
    } cases[] = {
        {"nothing", [](const fs::path&) {}, false},
        {"an empty file", [](const fs::path& marker) { std::ofstream{marker}; }, true},
        {"a folder", [](const fs::path& marker) { fs::create_directory(marker); }, true},
        {"a dangling link", [](const fs::path& marker) { fs::create_symlink("gone", marker); }, true},
        {"another name", [](const fs::path& marker) { std::ofstream{marker.parent_path() / "Portable.txt"}; }, false},
    };
    for (const auto& c : cases) {
        fs::create_directories(folder);
        c.make(folder / kPortableMarker);
        EXPECT_EQ(isPortableCopy(folder), c.portable) << c.what;
        fs::remove_all(folder);
    }
}

TEST(ProgramFolders, InstalledTheUsersFoldersPortableTheProgramsAlone) {
    using Paths = std::vector<fs::path>;
    const texts::ConfigEnvironment user{"/home/u/.cfg", "/etc/site", "/home/u"};
    const struct {
        const char* what;
        ProgramPlaces places;
        std::optional<fs::path> settings;
        Paths language;
    } cases[] = {
        {"installed", {std::nullopt, "/usr/bin", user}, "/home/u/.cfg/vostrel-programmer/vostrel-programmer.ini",
         {"/usr/bin/kdx20Lang.ini", "/home/u/.cfg/vostrel-programmer/kdx20Lang.ini",
          "/etc/site/vostrel-programmer/kdx20Lang.ini"}},
        {"portable", {"/media/stick/vostrel", "/media/stick/vostrel", user},
         "/media/stick/vostrel/vostrel-programmer.ini", {"/media/stick/vostrel/kdx20Lang.ini"}},
        {"no user folder", {std::nullopt, "/usr/bin", {"", "", ""}}, std::nullopt,
         {"/usr/bin/kdx20Lang.ini", "/etc/xdg/vostrel-programmer/kdx20Lang.ini"}},
        // Never the working folder's kdx20Lang.ini.
        {"program folder unknown", {std::nullopt, "", user}, "/home/u/.cfg/vostrel-programmer/vostrel-programmer.ini",
         {"/home/u/.cfg/vostrel-programmer/kdx20Lang.ini", "/etc/site/vostrel-programmer/kdx20Lang.ini"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.places.settingsFile(), c.settings) << c.what;
        EXPECT_EQ(c.places.languageFilePlaces(), c.language) << c.what;
    }
}

TEST(ProgramFolders, TheRunningProgramsFolderIsThisTestsOwn) {
    const auto folder = runningProgramFolder();
    ASSERT_TRUE(folder.has_value());
    EXPECT_TRUE(fs::exists(*folder / "files_tests"));
}

}  // namespace
}  // namespace vostrel::files
