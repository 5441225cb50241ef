// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// csv-export, csv-import and build --labels as the user meets them: files, messages and
// exit statuses. What the lists hold is config/'s to test; whole sites through every
// dialect are tests/cli/site_list_test.sh.
#include <gtest/gtest.h>

#include "cli_test_support.h"

using namespace vostrel;
using namespace vostrel::cli::testing;

namespace {

TEST(CsvExport, WritesAConfigurationOrAnImageAndNothingForADamagedImage) {
    ScratchDirectory dir;
    writeFile(dir.file("site.conf"), std::string(kSampleConfig) + "[Item07]\nLabel = \"Tor\"\n");
    writeFile(dir.file("site.bin"), bytesOf(sampleImage()));
    writeFile(dir.file("damaged.bin"), bytesOf(damagedImage()));
    const std::string rows = "2;;1234567;A;Numeric;12 34-5U\r\n5;;8;D;Alphanumeric;\"Gruss \"\"x\"\"\"\r\n";
    const CliRun config = run({"csv-export", dir.file("site.conf"), "-"});
    EXPECT_EQ(config.status, 0) << config.err;
    EXPECT_EQ(config.out, "\xEF\xBB\xBFRow;Label;CapCode;Tone;Type;Message\r\n" + rows + "7;Tor;;A;Numeric;\r\n");
    const CliRun image = run({"csv-export", "--separator", "tab", dir.file("site.bin"), dir.file("site.csv")});
    EXPECT_EQ(image.status, 0) << image.err;
    EXPECT_TRUE(readFile(dir.file("site.csv")).starts_with("\xEF\xBB\xBFRow\tLabel\tCapCode\tTone\tType\tMessage\r\n2\t"));
    const CliRun damaged = run({"csv-export", dir.file("damaged.bin"), dir.file("damaged.csv")});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_EQ(damaged.err, "EEPROM read error\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("damaged.csv")));

    // A message's control characters would drive a terminal: there they are shown, as
    // everything else the tool prints shows them; a pipe or a file gets them as they are.
    writeFile(dir.file("escape.conf"), "[Item01]\nCapCode = 8\nTone = D\nMessage = \"\\x1B]0;x\\x07\\x1B[2J\"\n");
    EXPECT_NE(run({"csv-export", dir.file("escape.conf"), "-"}).out.find("\r\n1;;8;D;Alphanumeric;\"\x1B]0;x\x07\x1B[2J\"\r\n"),
              std::string::npos);
    EXPECT_EQ(run({"csv-export", "--separator", "tab", dir.file("escape.conf"), "-"}, noHardware, true).out,
              "\xEF\xBB\xBFRow\tLabel\tCapCode\tTone\tType\tMessage\n1\t\t8\tD\tAlphanumeric\t\"\\x1B]0;x\\x07\\x1B[2J\"\n");
}

TEST(CsvImport, RefusesABadCellAndLeavesTheOutputAsItWas) {
    ScratchDirectory dir;
    writeFile(dir.file("out.conf"), "old");
    writeFile(dir.file("list.csv"), "Rufnummer;Ton;Nachricht\r\n8;;1\r\n1234567A;B;\r\n");
    const CliRun refused = run({"csv-import", dir.file("list.csv"), dir.file("out.conf")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, dir.file("list.csv") + ": line 3, column 2 (row 2): CapCode 1234567A names Tone A, but Tone is B\n");
    EXPECT_EQ(readFile(dir.file("out.conf")), "old");
}

TEST(CsvImport, ReplacesTheRowsOfItsSettingsFileAndLabelsThemFromAList) {
    ScratchDirectory dir;
    writeFile(dir.file("site.conf"), kSampleConfig);
    writeFile(dir.file("list.csv"), "Notes;RIC;Text\r\nsee plan;0200208 D;Hallo\r\n");
    writeFile(dir.file("labels.csv"), "ric,description\n# site\n200208,K\xC3\xBC" "che\n");
    const CliRun imported = run({"csv-import", "--settings", dir.file("site.conf"), "--labels", dir.file("labels.csv"),
                                 dir.file("list.csv"), dir.file("site.conf")});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.err, dir.file("list.csv") + ": column 1 'Notes' is not used\n" + dir.file("list.csv") +
                            ": Headings read: Row, Label, CapCode, Tone, Type, Message, Alphabet\n" + dir.file("labels.csv") +
                                ": labels for 1 of the rows\n");
    EXPECT_EQ(readFile(dir.file("site.conf")),
              "[Settings]\nDataRate = 512\nPreamble = 700\nRepeat = 3\n\n"
              "[Item01]\nLabel = \"K\xC3\xBC" "che\"\nCapCode = 0200208\nTone = D\nType = Alphanumeric\nMessage = \"Hallo\"\n");
}

// A German home's list needs no settings file for its pagers' alphabet, and each
// character sent replaced is named once for its row, as build names it.
TEST(CsvImport, TakesThePagerAlphabetAndListsEachReplacement) {
    ScratchDirectory dir;
    const std::string list = dir.file("list.csv");
    writeFile(list, "Rufnummer;Ton;Nachricht\r\n8;D;Gr\xC3\xBC\xC3\x9F" "e \xC3\xBC\r\n16;D;Caf\xC3\xA9\r\n");
    writeFile(dir.file("swedish.conf"), "[Settings]\nAlphabet = SE\nRepeat = 4\n");
    const struct {
        std::vector<std::string> options;
        int status;
        std::string err;
        std::string settings;  // of the configuration written
    } cases[] = {
        {{}, 1, list + ": line 2, column 3 (row 1): Invalid code '\xC3\xBC'; pager alphabets that have it: DE\n", ""},
        {{"--transliterate"}, 0,
         list + ": '\xC3\xBC' in Item[01] is sent as 'ue'\n" + list + ": '\xC3\x9F' in Item[01] is sent as 'ss'\n" +
             list + ": '\xC3\xA9' in Item[02] is sent as 'e'\n",
         "Repeat = 2\nTransliterate = yes\n"},
        {{"--alphabet", "DE"}, 1, list + ": line 3, column 3 (row 2): Invalid code '\xC3\xA9'; pager alphabets that have it: FR, IT\n",
         ""},
        {{"--alphabet", "de", "--transliterate"}, 0, list + ": '\xC3\xA9' in Item[02] is sent as 'e'\n",
         "Repeat = 2\nAlphabet = DE\nTransliterate = yes\n"},
        // Before the settings file's alphabet; its other settings stay.
        {{"--settings", dir.file("swedish.conf"), "--alphabet", "DE", "--transliterate"}, 0,
         list + ": '\xC3\xA9' in Item[02] is sent as 'e'\n", "Repeat = 4\nAlphabet = DE\nTransliterate = yes\n"},
        {{"--alphabet", "XX"}, 2,
         "vostrel-cli csv-import: --alphabet must be one of US|DE|DK|NO|SE|FR|ES|IT|YU, not 'XX'\n"
         "Try 'vostrel-cli csv-import --help'.\n",
         ""},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(dir.file("out.conf"));
        std::vector<std::string> arguments{"csv-import"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        arguments.insert(arguments.end(), {list, dir.file("out.conf")});
        const CliRun imported = run(arguments);
        SCOPED_TRACE(imported.err);
        EXPECT_EQ(imported.status, c.status);
        EXPECT_EQ(imported.err, c.err);
        if (c.settings.empty()) {
            EXPECT_FALSE(std::filesystem::exists(dir.file("out.conf")));
        } else {
            EXPECT_NE(readFile(dir.file("out.conf")).find(c.settings + "\n[Item01]\n"), std::string::npos);
        }
    }
}

TEST(Build, ListsEachStoredRowWithItsLabel) {
    ScratchDirectory dir;
    writeFile(dir.file("site.conf"), std::string(kSampleConfig) + "[Item01]\nLabel = \"Tor\"\nCapCode = 9\n");
    writeFile(dir.file("filters.ini"), "[Filter]\n2,\"0000008\",\"Kitchen\",\"\",0\n");
    const CliRun built = run({"build", "--labels", dir.file("filters.ini"), dir.file("site.conf"), dir.file("site.bin")});
    EXPECT_EQ(built.status, 0) << built.err;
    EXPECT_EQ(built.err, "Item[01] 9 A: Tor\nItem[02] 1234567 A: (no label)\nItem[05] 8 D: Kitchen\n");
    const CliRun plain = run({"build", dir.file("site.conf"), dir.file("plain.bin")});
    EXPECT_EQ(readFile(dir.file("plain.bin")), readFile(dir.file("site.bin")));
}

}  // namespace
