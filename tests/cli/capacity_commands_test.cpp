// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// A site that does not fit one transmitter, through fit, split, build, write and the
// commands that name the rows left out. What fits is image/'s to test.

#include <gtest/gtest.h>

#include <algorithm>

#include "cli_test_support.h"
#include "image/image_reader.h"

using namespace vostrel;
using namespace vostrel::cli::testing;

namespace {

// A restaurant's sixteen guest pagers, capcodes 100001 to 100016 as the vendor delivers
// them, the table numbers as messages: rows 1 to 11 fit, 12 to 16 do not.
std::string restaurantConfig() {
    std::string config = "[Settings]\nDataRate = 1200\n";
    for (int row = 1; row <= 16; ++row) {
        config += "[Item" + std::string(row < 10 ? "0" : "") + std::to_string(row) + "]\nLabel = \"Tisch " +
                  std::to_string(row) + "\"\nCapCode = " + std::to_string(100000 + row) + "\nMessage = \"" +
                  std::to_string(row) + "\"\n";
    }
    return config;
}

const std::string kLeftOut =
    "Not stored: row 12 Tisch 12 (capcode 100012 A), row 13 Tisch 13 (capcode 100013 A), row 14 Tisch 14 (capcode "
    "100014 A), row 15 Tisch 15 (capcode 100015 A), row 16 Tisch 16 (capcode 100016 A)";

// The capcodes of the rows an image stores, by row; empty for the others.
std::vector<std::string> storedCapcodes(const std::string& imageFile) {
    std::vector<std::string> capcodes;
    for (const auto& row : image::decodeImage(imageOf(readFile(imageFile))).rows) capcodes.push_back(row.capcode);
    return capcodes;
}

TEST(FitCommand, NamesEachRowsWordsTheRowsLeftOutAndWhatWouldFit) {
    const ScratchDirectory dir;
    writeFile(dir.file("restaurant.conf"), restaurantConfig());
    const CliRun fit = run({"fit", dir.file("restaurant.conf")});
    EXPECT_EQ(fit.status, 1) << fit.err;
    EXPECT_TRUE(fit.out.starts_with("row  capcode    frame  words  stored    label\n"
                                    "  1  100001 A       1     12  yes       Tisch 1\n"))
        << fit.out;
    EXPECT_NE(fit.out.find(" 15  100015 A       7     38  left out  Tisch 15\n"
                           " 16  100016 A       0      8  left out  Tisch 16\n"
                           "EEPROM: 226 of 238 words used; left out: rows 12-16\n"
                           "All rows take 356 words, as tone-only calls 320. The data rate, preamble and repeat do not "
                           "change what fits.\n"
                           "row 12 fits with a capcode that leaves 1 or less when divided by 8, where its pager's "
                           "capcode can be chosen\n"),
              std::string::npos)
        << fit.out;
    EXPECT_TRUE(fit.out.ends_with("all 16 rows fit on 2 transmitters; transmitter 1: rows 1-11; transmitter 2: rows "
                                  "12-16 (vostrel-cli split)\n"))
        << fit.out;
    const CliRun json = run({"fit", "--json", dir.file("restaurant.conf")});
    EXPECT_NE(json.out.find("\"left_out_rows\": [12, 13, 14, 15, 16], \"advice\": [{\"row\": 12, \"frame_at_most\": 1}, "
                            "{\"order_stores\": [8, 16, 1, 9, 2, 10, 3, 11, 4, 12, 5, 13]}, {\"most_rows_ever\": 13}, "
                            "{\"transmitters\": [[1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11], [12, 13, 14, 15, 16]]}]}\n"),
              std::string::npos)
        << json.out;

    writeFile(dir.file("fits.conf"), kSampleConfig);
    const CliRun fits = run({"fit", dir.file("fits.conf")});
    EXPECT_EQ(fits.status, 0);
    EXPECT_TRUE(fits.out.ends_with("EEPROM: 54 of 238 words used\nAll rows take 54 words, as tone-only calls 40. The "
                                   "data rate, preamble and repeat do not change what fits.\n"))
        << fits.out;
}

// Two configurations, each of which fits and builds; together they hold every row in
// its place, with its label.
TEST(SplitCommand, WritesTheTransmittersThatTogetherHoldEveryRowInOrder) {
    const ScratchDirectory dir;
    writeFile(dir.file("restaurant.conf"), restaurantConfig());
    const CliRun split = run({"split", dir.file("restaurant.conf"), dir.file("tx")});
    EXPECT_EQ(split.status, 0) << split.err;
    EXPECT_EQ(split.out, dir.file("tx-1.conf") + ": rows 1-11, 226 of 238 words\n" + dir.file("tx-2.conf") +
                             ": rows 12-16, 130 of 238 words\n");
    std::vector<std::string> together(16);
    for (const char* part : {"tx-1", "tx-2"}) {
        const std::string config = dir.file(std::string(part) + ".conf");
        EXPECT_EQ(run({"fit", config}).status, 0) << part;
        const CliRun built = run({"build", config, dir.file(std::string(part) + ".bin")});
        EXPECT_EQ(built.status, 0) << built.err;
        EXPECT_EQ(built.err, "");
        const auto capcodes = storedCapcodes(dir.file(std::string(part) + ".bin"));
        for (std::size_t row = 0; row < capcodes.size(); ++row) {
            if (capcodes[row].empty()) continue;
            EXPECT_TRUE(together[row].empty()) << "row " << row + 1 << " twice";
            together[row] = capcodes[row];
        }
    }
    for (std::size_t row = 0; row < together.size(); ++row) EXPECT_EQ(together[row], std::to_string(100001 + row));
    EXPECT_NE(readFile(dir.file("tx-2.conf")).find("[Item12]\nLabel = \"Tisch 12\""), std::string::npos);
    EXPECT_EQ(readFile(dir.file("tx-2.conf")).find("Tisch 11"), std::string::npos);

    writeFile(dir.file("fits.conf"), kSampleConfig);
    const CliRun whole = run({"split", dir.file("fits.conf"), dir.file("fits")});
    EXPECT_EQ(whole.status, 0);
    EXPECT_EQ(whole.out, "All 2 rows of " + dir.file("fits.conf") + " fit one transmitter; nothing was split.\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("fits-1.conf")));
}

// Without --allow-partial nothing is written and the rows left out are named; with it
// the rows that fit are, and those left out are named.
TEST(PartialSite, IsRefusedUnlessAllowedAndItsRowsLeftOutAreNamed) {
    const ScratchDirectory dir;
    const std::string config = dir.file("restaurant.conf");
    writeFile(config, restaurantConfig());
    const std::string refusal = config + ": not all rows fit the transmitter, so nothing was written\n" + kLeftOut +
                                "\n'vostrel-cli fit " + config + "' says why and what would fit; --allow-partial "
                                "takes the rows that fit\n";
    const std::string named = config + ": " + kLeftOut + "\n";
    const std::string emulator = dir.file("transmitter.bin");

    const CliRun refusedWrite = run({"write", "--emulator", emulator, config});
    EXPECT_EQ(refusedWrite.status, 1);
    EXPECT_EQ(refusedWrite.out, "");
    EXPECT_EQ(refusedWrite.err, refusal);
    EXPECT_FALSE(std::filesystem::exists(emulator));
    const CliRun write = run({"write", "--emulator", emulator, "--allow-partial", config});
    EXPECT_EQ(write.status, 0);
    EXPECT_EQ(write.out, "Data write completed\nTransmitter: emulated:" + emulator + "\n");
    EXPECT_EQ(write.err, named);
    ASSERT_EQ(run({"read", "--emulator", emulator, "--image", dir.file("read.bin")}).status, 0);
    const auto capcodes = storedCapcodes(dir.file("read.bin"));
    EXPECT_EQ(std::ranges::count_if(capcodes, [](const std::string& capcode) { return !capcode.empty(); }), 11);
    EXPECT_EQ(capcodes[10], "100011");

    writeFile(dir.file("old.bin"), "previous");
    const CliRun refusedBuild = run({"build", config, dir.file("old.bin")});
    EXPECT_EQ(refusedBuild.status, 1);
    EXPECT_EQ(refusedBuild.err, refusal);
    EXPECT_EQ(readFile(dir.file("old.bin")), "previous");
    const CliRun build = run({"build", "--allow-partial", config, dir.file("partial.bin")});
    EXPECT_EQ(build.status, 0);
    EXPECT_EQ(build.err, named);
    EXPECT_EQ(storedCapcodes(dir.file("partial.bin")), capcodes);

    // The commands that show what a Write would store name the rows it leaves out.
    for (const char* command : {"preview", "airtime"}) {
        const CliRun shown = run({command, config});
        EXPECT_EQ(shown.status, 0) << command;
        EXPECT_EQ(shown.err, named) << command;
    }
    writeFile(dir.file("list.csv"), "Label;CapCode;Message\n" + [] {
        std::string lines;
        for (int row = 1; row <= 16; ++row) {
            lines += "Tisch " + std::to_string(row) + ";" + std::to_string(100000 + row) + ";" + std::to_string(row) + "\n";
        }
        return lines;
    }());
    const CliRun imported = run({"csv-import", dir.file("list.csv"), dir.file("imported.conf")});
    EXPECT_EQ(imported.status, 0);
    EXPECT_EQ(imported.err, dir.file("list.csv") + ": " + kLeftOut + "\n");
}

// A brigade has a decoder's filters.ini and a ric,description list: the first list that
// names a capcode gives its label.
TEST(LabelLists, MayBeGivenMoreThanOnceAndTheFirstThatNamesACapcodeWins) {
    const ScratchDirectory dir;
    writeFile(dir.file("site.conf"), "[Item01]\nCapCode = 1234567\nTone = B\n[Item02]\nCapCode = 1234568\nTone = B\n"
                                     "[Item03]\nCapCode = 8\nTone = B\n");
    writeFile(dir.file("filters.ini"), "[Filter]\n2,\"1234567B\",\"Vollalarm\",\"\",0\n");
    writeFile(dir.file("list.csv"), "ric,description\n1234567,Tor\n1234568,Gruppe 2\n");
    const CliRun built = run({"build", "--labels", dir.file("filters.ini"), "--labels=" + dir.file("list.csv"),
                              dir.file("site.conf"), dir.file("site.bin")});
    EXPECT_EQ(built.status, 0) << built.err;
    EXPECT_EQ(built.err, "Item[01] 1234567 B: Vollalarm\nItem[02] 1234568 B: Gruppe 2\nItem[03] 8 B: (no label)\n");
}

}  // namespace
