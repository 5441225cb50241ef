// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The settings file's values as Qt writes them, one section replaced with every other
// line kept, the rules a transmitter's name keeps, and the record of Writes beside the
// backups. That Qt itself reads and writes the same is the window tests' part
// (tests/ui/transmitter_chooser_test.cpp).

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "files/transmitter_names.h"
#include "files/write_history.h"
#include "tests/files/files_test_support.h"

namespace vostrel::files {
namespace {

namespace fs = std::filesystem;
using test::contentOf;

// Each value as Qt 6 writes it (seen in a file QSettings wrote), and back.
TEST(SettingsValue, AsQtWritesItAndBack) {
    const struct {
        std::string value;
        std::string written;
    } cases[] = {
        {"Erdgeschoss", "Erdgeschoss"},
        {"Küche, 1. OG", "\"Küche, 1. OG\""},  // a bare comma would part a list
        {"semi;colon", "\"semi;colon\""},
        {"eq=x", "\"eq=x\""},
        {"  pad ", "\"  pad \""},
        {"@at", "@@at"},  // a single @ starts a typed value
        {"a\"q\\b", "a\\\"q\\\\b"},
        {"tab\there", "tab\\there"},
        {"Ωmega 日本", "Ωmega 日本"},
        {std::string("nul\0" "1", 5), "nul\\0\\x31"},  // a digit after \0 would join its number
        {"\x01" "ab", "\\x1\\x61\\x62"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(settingsValueText(c.value), c.written) << c.value;
        EXPECT_EQ(settingsValue(c.written), c.value) << c.written;
    }
    // What a hand or another version may write.
    EXPECT_EQ(settingsValue("  plain  "), "plain");
    EXPECT_EQ(settingsValue("K\\xfc\\x63he"), "Küche");  // escaped UTF-16 units
    EXPECT_EQ(settingsValue("\\xd83d\\xde00"), "\xF0\x9F\x98\x80");  // a surrogate pair
    EXPECT_EQ(settingsValue("@Invalid()"), std::nullopt);
    EXPECT_EQ(settingsValue("@ByteArray(x)"), std::nullopt);
}

TEST(SettingsSection, OneSectionIsReplacedAndEveryOtherLineKept) {
    const std::string file =
        "[General]\r\nx=1\r\n\r\n[TransmitterNames]\r\n1\\name=Alt\r\n1\\port=1-1.9\r\nsize=1\r\n\r\n"
        "[Window]\r\n; a comment\r\nRecentFiles=/a/b, /c d/e\r\n";
    EXPECT_EQ(settingsSection(file, "TransmitterNames"),
              (SettingsEntries{{"1\\name", "Alt"}, {"1\\port", "1-1.9"}, {"size", "1"}}));
    EXPECT_EQ(withSettingsSection(file, "TransmitterNames", {{"1\\name", "Neu, oben"}}),
              "[General]\r\nx=1\r\n\r\n[TransmitterNames]\r\n1\\name=\"Neu, oben\"\r\n\r\n"
              "[Window]\r\n; a comment\r\nRecentFiles=/a/b, /c d/e\r\n");
    EXPECT_EQ(withSettingsSection(file, "TransmitterNames", {}),
              "[General]\r\nx=1\r\n\r\n[Window]\r\n; a comment\r\nRecentFiles=/a/b, /c d/e\r\n");
    EXPECT_EQ(withSettingsSection("[Window]\nA=1", "Names", {{"k", "v"}}), "[Window]\nA=1\n\n[Names]\nk=v\n\n");
    EXPECT_EQ(withSettingsSection("", "Names", {{"k", "v"}}).find("[Names]"), 0U);
}

class SettingsFile : public testing::Test {
protected:
    SettingsFile()
        : dir_(fs::path(testing::TempDir()) /
               ("vostrel-names-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                std::to_string(::getpid()))) {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    ~SettingsFile() override { fs::remove_all(dir_); }

    fs::path dir_;
};

TEST_F(SettingsFile, NamesAreKeptBesideTheWindowsChoicesAndAFileThatIsNoneIsLeftAlone) {
    const fs::path file = dir_ / "config" / "vostrel-programmer.ini";
    TransmitterNames names;
    ASSERT_EQ(names.give("1-1.2", "Erdgeschoss"), std::nullopt);
    ASSERT_EQ(saveTransmitterNames(file, names), std::nullopt);
    std::ofstream(file, std::ios::app) << "[Window]\nAlphabet=DE\n";
    ASSERT_EQ(names.give("1-1.3", "1. OG"), std::nullopt);
    ASSERT_EQ(saveTransmitterNames(file, names), std::nullopt);
    EXPECT_EQ(contentOf(file), "[TransmitterNames]\n1\\name=Erdgeschoss\n1\\port=1-1.2\n2\\name=1. OG\n2\\port=1-1.3\n"
                               "size=2\n\n[Window]\nAlphabet=DE\n");
    const auto loaded = loadTransmitterNames(file);
    ASSERT_TRUE(std::holds_alternative<TransmitterNames>(loaded));
    EXPECT_EQ(std::get<TransmitterNames>(loaded).names(), names.names());

    const fs::path folder = dir_ / "folder.ini";
    fs::create_directory(folder);
    EXPECT_TRUE(std::holds_alternative<FileError>(loadTransmitterNames(folder)));
    EXPECT_NE(saveTransmitterNames(folder, names), std::nullopt);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(std::get<TransmitterNames>(loadTransmitterNames(dir_ / "missing.ini")).names().size(), 0U);
}

TEST(TransmitterNames, RulesOfANameAndWhatAHandEditedFileMayHold) {
    TransmitterNames names;
    ASSERT_EQ(names.give("1-1.2", "  Erdgeschoss  "), std::nullopt);
    EXPECT_EQ(names.nameAt("1-1.2"), "Erdgeschoss");
    EXPECT_EQ(names.portNamed("ERDGESCHOSS"), "1-1.2");
    const struct {
        const char* name;
        std::optional<texts::TextKey> refused;
    } cases[] = {
        {"erdgeschoss", texts::keys::kNameTaken},  // another port's, whatever the case
        {"Küche\nOG", texts::keys::kNameControlCharacters},
        {"a\tb", texts::keys::kNameControlCharacters},
        {"\xC3", texts::keys::kNameNotText},
        {"0123456789012345678901234567890123456789x", texts::keys::kNameTooLong},
        {"äöüäöüäöüäöüäöüäöüäöüäöüäöüäöüäöüäöüäöü", std::nullopt},  // 40 characters, 80 bytes
        {"Keller", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto refusal = names.give("1-1.3", c.name);
        EXPECT_EQ(refusal ? std::optional(refusal->key) : std::nullopt, c.refused) << c.name;
    }
    EXPECT_EQ(names.nameAt("1-1.3"), "Keller");
    ASSERT_EQ(names.give("1-1.3", "  "), std::nullopt);  // blank: no name
    EXPECT_EQ(names.nameAt("1-1.3"), std::nullopt);
    EXPECT_EQ(transmitterCalled(names, "1-1.3"), "1-1.3");

    // Entries by index in any order; one without port, a port or name listed twice and a
    // name with a line break are dropped.
    const TransmitterNames read(SettingsEntries{{"2\\port", "1-1.4"}, {"2\\name", "Dach"}, {"1\\name", "Keller"},
                                                {"1\\port", "1-1.3"}, {"3\\name", "ohne Port"}, {"4\\port", "1-1.3"},
                                                {"4\\name", "zweimal"}, {"5\\port", "1-1.5"}, {"5\\name", "keller"},
                                                {"6\\port", "1-1.6"}, {"6\\name", "a\nb"}, {"size", "6"}});
    EXPECT_EQ(read.names(), (std::vector<TransmitterName>{{"1-1.3", "Keller"}, {"1-1.4", "Dach"}}));
}

TEST_F(SettingsFile, TheRecordOfWritesKeepsTheNewestAndTellsWhereASiteWent) {
    const auto record = [](int minute, const char* port, const char* fingerprint, const char* site) {
        char time[32];
        std::snprintf(time, sizeof time, "2026-12-10 14:%02d:00", minute);
        return WriteRecord{time, port, std::string("name of ") + port, "", fingerprint, site};
    };
    ASSERT_EQ(recordWrite(dir_, record(1, "1-1.2", "AAAAAAAA", "Zur Post")), std::nullopt);
    ASSERT_EQ(recordWrite(dir_, record(2, "1-1.3", "BBBBBBBB", "Zur Post")), std::nullopt);
    ASSERT_EQ(recordWrite(dir_, record(3, "1-1.2", "CCCCCCCC", "Zur Post")), std::nullopt);
    ASSERT_EQ(recordWrite(dir_, record(4, "1-1.4", "", "Zur Post")), std::nullopt);  // did not end as meant to
    ASSERT_EQ(recordWrite(dir_, record(5, "1-1.5", "AAAAAAAA", "")), std::nullopt);
    WriteRecord tabbed = record(6, "1-1.6", "DDDDDDDD", "Tab\there");
    ASSERT_EQ(recordWrite(dir_, tabbed), std::nullopt);
    std::ofstream(dir_ / kWriteHistoryName, std::ios::app) << "a line of a hand edit\n";

    const std::vector<WriteRecord> history = writeHistory(dir_);
    ASSERT_EQ(history.size(), 6U);
    EXPECT_EQ(history.back().site, "Tab here");
    // The newest per port of the named site, whatever its fingerprint was then.
    const auto named = siteWrites(history, "Zur Post", "CCCCCCCC");
    ASSERT_EQ(named.size(), 2U);
    EXPECT_EQ(named[0], record(3, "1-1.2", "CCCCCCCC", "Zur Post"));
    EXPECT_EQ(named[1], record(2, "1-1.3", "BBBBBBBB", "Zur Post"));
    // An unnamed site goes by its fingerprint.
    const auto unnamed = siteWrites(history, "", "AAAAAAAA");
    ASSERT_EQ(unnamed.size(), 2U);
    EXPECT_EQ(unnamed[0].port, "1-1.5");
    EXPECT_EQ(unnamed[1].port, "1-1.2");

    {
        std::ofstream full(dir_ / kWriteHistoryName);
        for (std::size_t line = 0; line < kWritesKept; ++line) full << "2026-01-01 00:00:00\t1-1." << line << "\t\t\t\t\n";
    }
    ASSERT_EQ(recordWrite(dir_, record(7, "1-1.7", "EEEEEEEE", "")), std::nullopt);
    const std::vector<WriteRecord> kept = writeHistory(dir_);
    ASSERT_EQ(kept.size(), kWritesKept);
    EXPECT_EQ(kept.front().port, "1-1.1") << "the oldest went";
    EXPECT_EQ(kept.back().port, "1-1.7");
}

}  // namespace
}  // namespace vostrel::files
