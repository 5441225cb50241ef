// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Where backups go, how they are named, and that only the newest of them are kept.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "files/backups.h"
#include "tests/files/files_test_support.h"

namespace vostrel::files {
namespace {

namespace fs = std::filesystem;
using test::contentOf;

// The names in the backup folder itself.
std::set<std::string> entriesIn(const fs::path& directory) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.insert(entry.path().filename().string());
    return names;
}

image::EepromImage imageWith(std::uint16_t word) {
    image::EepromImage image;
    for (unsigned address = 0; address < image::kImageWords; ++address) image.setWord(address, word);
    return image;
}

TEST(BackupFolder, FollowsTheUsersDataFolder) {
    const struct {
        DataEnvironment environment;
        const char* expected;  // nothing: no folder
    } cases[] = {
        {{"/data", "/home/u"}, "/data/vostrel-programmer/backups"},
        {{"", "/home/u"}, "/home/u/.local/share/vostrel-programmer/backups"},
        // A relative folder would depend on the working directory.
        {{"data", "/home/u"}, "/home/u/.local/share/vostrel-programmer/backups"},
        {{"data", ""}, nullptr},
        {{"", "home"}, nullptr},
    };
    for (const auto& c : cases) {
        const auto folder = backupFolder(c.environment);
        if (c.expected == nullptr) {
            EXPECT_TRUE(std::holds_alternative<FileError>(folder)) << c.environment.xdgDataHome;
        } else {
            ASSERT_TRUE(std::holds_alternative<fs::path>(folder)) << std::get<FileError>(folder).what;
            EXPECT_EQ(std::get<fs::path>(folder), fs::path(c.expected));
        }
    }
}

TEST(BackupStem, TimeThenTheDeviceAsAPlainName) {
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 2;
    time.tm_mday = 7;
    time.tm_hour = 9;
    time.tm_min = 5;
    time.tm_sec = 3;
    const struct {
        std::string device;
        std::string expected;
    } cases[] = {
        {"/dev/hidraw0", "20260307-090503-dev-hidraw0"},
        {R"(\\?\hid#vid_0925&pid_1234#6&2b3c4d5e&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})",
         "20260307-090503-hid-vid_0925-pid_1234-6-2b3c4d5e-0-0000"},
        {"emulated:/tmp/eeprom.bin", "20260307-090503-emulated-tmp-eeprom-bin"},
        {"..", "20260307-090503-transmitter"},
        {"", "20260307-090503-transmitter"},
        {"Gerät ümlaut\n\x1b[31m", "20260307-090503-Ger-t-mlaut-31m"},
        {std::string(100, 'x'), "20260307-090503-" + std::string(64, 'x')},
    };
    for (const auto& c : cases) EXPECT_EQ(backupStem(time, c.device), c.expected) << c.device;
}

class Backups : public testing::Test {
protected:
    Backups()
        : dir_(fs::path(testing::TempDir()) /
               ("vostrel-backups-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                std::to_string(::getpid()))) {
        fs::remove_all(dir_);
    }
    ~Backups() override { fs::remove_all(dir_); }

    fs::path folder() const { return dir_ / "vostrel-programmer" / "backups"; }

    fs::path dir_;
};

TEST_F(Backups, TheNewestFiftyAreKeptAndNothingElseIsTouched) {
    // A missing folder is made.
    const auto first = saveBackup(folder(), "/dev/hidraw0", imageWith(0x1111));
    ASSERT_TRUE(std::holds_alternative<fs::path>(first)) << std::get<FileError>(first).what;
    EXPECT_EQ(contentOf(std::get<fs::path>(first)), std::string(512, '\x11'));

    // Older backups than any made now, and things that are no backups of this tool.
    for (int day = 1; day <= 60; ++day) {
        char name[64];
        std::snprintf(name, sizeof name, "2020%02d%02d-120000-dev-hidraw0.bin", 1 + day / 28, 1 + day % 28);
        std::ofstream(folder() / name) << "old";
    }
    const std::set<std::string> others = {"notes.txt", "20200101-120000.bin", "my-backup.bin", "19990101-000000-dir.bin",
                                          "19990101-000000-link.bin"};
    for (const char* name : {"notes.txt", "20200101-120000.bin", "my-backup.bin"}) std::ofstream(folder() / name) << "mine";
    fs::create_directory(folder() / "19990101-000000-dir.bin");
    fs::create_symlink("/etc/passwd", folder() / "19990101-000000-link.bin");

    const auto second = saveBackup(folder(), "/dev/hidraw0", imageWith(0x2222));
    ASSERT_TRUE(std::holds_alternative<fs::path>(second));
    // The same second and device: the second name is numbered, the first stays.
    EXPECT_NE(std::get<fs::path>(second), std::get<fs::path>(first));
    EXPECT_EQ(contentOf(std::get<fs::path>(first)), std::string(512, '\x11'));
    EXPECT_EQ(contentOf(std::get<fs::path>(second)), std::string(512, '\x22'));

    std::set<std::string> names = entriesIn(folder());
    for (const std::string& other : others) EXPECT_EQ(names.erase(other), 1U) << other;
    EXPECT_EQ(names.size(), kBackupsKept);
    // The two new ones and the 48 newest old ones.
    EXPECT_EQ(names.count("20200301-120000-dev-hidraw0.bin"), 1U);
    EXPECT_EQ(names.count("20200113-120000-dev-hidraw0.bin"), 0U);
    EXPECT_EQ(names.count("20200114-120000-dev-hidraw0.bin"), 1U);
}

TEST_F(Backups, ABackupFromBeforeAClockChangeNeverRemovesTheNewOne) {
    fs::create_directories(folder());
    for (int second = 0; second < 60; ++second) {
        char name[64];
        std::snprintf(name, sizeof name, "20991231-2359%02d-dev-hidraw0.bin", second);
        std::ofstream(folder() / name) << "future";
    }
    const auto saved = saveBackup(folder(), "/dev/hidraw0", imageWith(0x3333));
    ASSERT_TRUE(std::holds_alternative<fs::path>(saved));
    EXPECT_TRUE(fs::exists(std::get<fs::path>(saved)));
    EXPECT_EQ(entriesIn(folder()).size(), kBackupsKept);
}

TEST_F(Backups, AFolderThatCannotBeMadeIsAnErrorNamingIt) {
    fs::create_directories(dir_);
    std::ofstream(dir_ / "vostrel-programmer") << "a file where the folder belongs";
    const auto saved = saveBackup(folder(), "/dev/hidraw0", imageWith(0x4444));
    ASSERT_TRUE(std::holds_alternative<FileError>(saved));
    EXPECT_TRUE(std::get<FileError>(saved).what.starts_with(folder().string() + ": cannot make the folder: "))
        << std::get<FileError>(saved).what;
}

}  // namespace
}  // namespace vostrel::files
