// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Where backups go, how they are named, and that only the newest of them are kept.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>
#include <string>

#include "files/backups.h"
#include "files/write_history.h"
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

image::EepromImage imageWith(unsigned word) {
    image::EepromImage image;
    for (unsigned address = 0; address < image::kImageWords; ++address) {
        image.setWord(address, static_cast<std::uint16_t>(word));
    }
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

std::tm localTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return time;
}

// A transmitter's name or port, or where it has neither its path, as part of a name.
TEST(BackupStem, NumberTimeThenTheTransmitterAsAPlainName) {
    const std::tm time = localTime(2026, 3, 7, 9, 5, 3);
    const struct {
        std::uint64_t sequence;
        std::string device;
        std::string expected;
    } cases[] = {
        {1, "Erdgeschoss", "000001-20260307-090503-Erdgeschoss"},
        {1, "Küche, 1. OG", "000001-20260307-090503-Küche-1-OG"},
        {1, "1-1.2", "000001-20260307-090503-1-1-2"},
        {1, "Кухня", "000001-20260307-090503-Кухня"},
        {1, "a\u202Eb\u00D7c\xFF", "000001-20260307-090503-a-b-c"},  // a mark of direction, the sign ×, no UTF-8
        {7, "/dev/hidraw0", "000007-20260307-090503-dev-hidraw0"},
        {1234567, R"(\\?\hid#vid_0925&pid_1234#6&2b3c4d5e&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})",
         "1234567-20260307-090503-hid-vid_0925-pid_1234-6-2b3c4d5e-0-0000"},
        {2, "emulated:/tmp/eeprom.bin", "000002-20260307-090503-emulated-tmp-eeprom-bin"},
        {3, "..", "000003-20260307-090503-transmitter"},
        {4, "", "000004-20260307-090503-transmitter"},
        {5, "Gerät ümlaut\n\x1b[31m", "000005-20260307-090503-Gerät-ümlaut-31m"},
        {6, std::string(100, 'x'), "000006-20260307-090503-" + std::string(64, 'x')},
        {6, std::string(30, 'x') + "üüüüüüüüüüüüüüüüüüü", "000006-20260307-090503-" + std::string(30, 'x') + "üüüüüüüüüüüüüüüüü"},
    };
    for (const auto& c : cases) EXPECT_EQ(backupStem(c.sequence, time, c.device), c.expected) << c.device;
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

// Age is the order of writing, whatever the clock said: each backup just written is
// kept, and so are the 49 written before it.
TEST_F(Backups, TheNewestFiftyWrittenAreKeptWhateverTheClockSays) {
    const struct {
        const char* name;
        std::tm (*clockAt)(int write);  // the local time of the write'th backup
    } cases[] = {
        {"a steady clock", [](int write) { return localTime(2026, 3, 7, 12, write, 0); }},
        {"once set to 2099",
         [](int write) { return write == 20 ? localTime(2099, 12, 31, 23, 59, 59) : localTime(2026, 3, 7, 12, write, 0); }},
        {"five time zones west after 30",
         [](int write) { return localTime(2026, 3, 7, write < 30 ? 12 : 7, write, 0); }},
        {"all in one second", [](int) { return localTime(2026, 3, 7, 12, 0, 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder());
        std::vector<fs::path> written;
        for (int write = 0; write < 60; ++write) {
            const auto byte = static_cast<char>(write + 1);
            const auto saved = saveBackup(folder(), "/dev/hidraw0", imageWith(0x0101 * (write + 1)), c.clockAt(write));
            ASSERT_TRUE(std::holds_alternative<fs::path>(saved)) << std::get<FileError>(saved).what;
            written.push_back(std::get<fs::path>(saved));
            ASSERT_EQ(contentOf(written.back()), std::string(512, byte)) << "write " << write;
        }
        std::set<std::string> newest;
        for (auto file = written.end() - kBackupsKept; file != written.end(); ++file) {
            newest.insert(file->filename().string());
        }
        EXPECT_EQ(entriesIn(folder()), newest);
    }
}

// Backups of earlier versions, named by the time alone, are the tool's own: older
// than every numbered one, pruned first, the oldest by their names first.
TEST_F(Backups, SixtyOldBackupsArePrunedToFiftyAndNothingElseIsTouched) {
    fs::create_directories(folder());
    for (int day = 1; day <= 30; ++day) {
        char name[64];
        std::snprintf(name, sizeof name, "202001%02d-120000-dev-hidraw0.bin", day);
        std::ofstream(folder() / name) << "earlier version";
        std::snprintf(name, sizeof name, "%06d-20200201-120000-dev-hidraw0.bin", 100 + day);
        std::ofstream(folder() / name) << "numbered";
    }
    // One of an earlier version from a clock set wrong: older than any numbered one.
    fs::rename(folder() / "20200130-120000-dev-hidraw0.bin", folder() / "20991231-235959-dev-hidraw0.bin");
    const std::set<std::string> others = {"notes.txt", "20200101-120000.bin", "my-backup.bin", "000001-notes.bin",
                                          "999-20200101-120000-x.txt", "0-20200101-120000-x.bin",
                                          "19990101-000000-dir.bin", "19990101-000000-link.bin",
                                          "000007-19990101-000000-link.bin"};
    for (const std::string& name : others) {
        if (!name.ends_with("link.bin") && !name.ends_with("dir.bin")) std::ofstream(folder() / name) << "mine";
    }
    fs::create_directory(folder() / "19990101-000000-dir.bin");
    fs::create_symlink("/etc/passwd", folder() / "19990101-000000-link.bin");
    fs::create_symlink("/etc/passwd", folder() / "000007-19990101-000000-link.bin");

    const auto saved = saveBackup(folder(), "/dev/hidraw0", imageWith(0x2222), localTime(2026, 3, 7, 9, 5, 3));
    ASSERT_TRUE(std::holds_alternative<fs::path>(saved)) << std::get<FileError>(saved).what;
    // One above the highest number, whatever time the other names hold.
    EXPECT_EQ(std::get<fs::path>(saved).filename(), "000131-20260307-090503-dev-hidraw0.bin");

    std::set<std::string> names = entriesIn(folder());
    for (const std::string& other : others) EXPECT_EQ(names.erase(other), 1U) << other;
    EXPECT_EQ(names.size(), kBackupsKept);
    // The new one, the 30 numbered and the 19 of the earlier version's newest by name.
    const auto numbered = std::ranges::count_if(names, [](const std::string& name) { return name.starts_with("0001"); });
    EXPECT_EQ(numbered, 31);
    EXPECT_EQ(names.count("20991231-235959-dev-hidraw0.bin"), 1U);
    EXPECT_EQ(names.count("20200111-120000-dev-hidraw0.bin"), 0U);
    EXPECT_EQ(names.count("20200112-120000-dev-hidraw0.bin"), 1U);
}

// A number of any length is recognised and followed: after the last 18-digit one
// come 19-digit ones, and the oldest still go.
TEST_F(Backups, NumbersOfAnyLengthAreFollowedAndPruned) {
    fs::create_directories(folder());
    const auto named = [](const std::string& number) { return number + "-20200201-120000-dev-hidraw0.bin"; };
    for (int last = 50; last <= 99; ++last) std::ofstream(folder() / named("9999999999999999" + std::to_string(last))) << "x";
    for (const std::string number : {"1000000000000000000", "1000000000000000001"}) {
        const auto saved = saveBackup(folder(), "/dev/hidraw0", imageWith(0x3333), localTime(2020, 2, 1, 12, 0, 0));
        ASSERT_TRUE(std::holds_alternative<fs::path>(saved)) << std::get<FileError>(saved).what;
        EXPECT_EQ(std::get<fs::path>(saved).filename(), named(number));
    }
    const std::set<std::string> names = entriesIn(folder());
    EXPECT_EQ(names.size(), kBackupsKept);
    EXPECT_EQ(names.count(named("999999999999999951")), 0U);
    EXPECT_EQ(names.count(named("999999999999999952")), 1U);
}

// Newest first, each with the transmitter the record of its Write names; one of an
// earlier version goes by its file's name.
TEST_F(Backups, AreListedNewestFirstWithTheTransmitterTheirRecordNames) {
    image::EepromImage erased;
    erased.bytes.fill(0xFF);
    const auto named = saveBackup(folder(), "Erdgeschoss", imageWith(0x1100), localTime(2026, 3, 7, 9, 5, 3));
    const auto unrecorded = saveBackup(folder(), "1-1.3", erased, localTime(2026, 3, 7, 9, 6, 0));
    ASSERT_TRUE(std::holds_alternative<fs::path>(named) && std::holds_alternative<fs::path>(unrecorded));
    const fs::path namedFile = std::get<fs::path>(named);
    ASSERT_EQ(recordWrite(folder(), {"2026-03-07 09:05:04", "1-1.2", "Erdgeschoss", namedFile.filename().string(),
                                     "1A2B3C4D", "Zur Post"}),
              std::nullopt);
    std::ofstream(folder() / "20200101-120000-dev-hidraw0.bin") << "no image";

    const std::vector<BackupFile> listed = listBackups(folder());
    ASSERT_EQ(listed.size(), 3U);
    EXPECT_EQ(listed[0].file, std::get<fs::path>(unrecorded));
    EXPECT_EQ(listed[0].time, "2026-03-07 09:06:00");
    EXPECT_EQ(listed[0].port, "");
    EXPECT_EQ(listed[0].called, "1-1-3");
    EXPECT_EQ(listed[0].contents, erased);
    EXPECT_EQ(listed[1].file, namedFile);
    EXPECT_EQ(listed[1].port, "1-1.2");
    EXPECT_EQ(listed[1].name, "Erdgeschoss");
    EXPECT_EQ(listed[1].contents, imageWith(0x1100));
    EXPECT_EQ(listed[2].time, "2020-01-01 12:00:00");
    EXPECT_EQ(listed[2].called, "dev-hidraw0");
    EXPECT_EQ(listed[2].contents, std::nullopt);
    EXPECT_TRUE(listBackups(dir_ / "none").empty());
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
