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
