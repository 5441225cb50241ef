// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include <gtest/gtest.h>

#include "cli_test_support.h"

using namespace vostrel;
using namespace vostrel::cli::testing;

namespace {

TEST(AudioCommand, ConfigurationAndItsImageSoundTheSame) {
    ScratchDirectory dir;
    writeFile(dir.file("pages.conf"), kSampleConfig);
    writeFile(dir.file("pages.bin"), bytesOf(sampleImage()));
    ASSERT_EQ(run({"audio", dir.file("pages.conf"), dir.file("a.wav")}).status, 0);
    ASSERT_EQ(run({"audio", dir.file("pages.bin"), dir.file("b.wav")}).status, 0);
    const std::string wav = readFile(dir.file("a.wav"));
    EXPECT_EQ(wav, readFile(dir.file("b.wav")));
    // 512 bps, preamble 700, repeat 3 from the settings; two rows of 20 and 7 codewords.
    const std::size_t bits = 3 * (700 + 20 * 32) + 3 * (700 + 7 * 32);
    EXPECT_EQ(wav.size(), 44 + 2 * (bits * 22050 / 512));
}

TEST(AudioCommand, OptionsOverrideTheStoredSettings) {
    ScratchDirectory dir;
    writeFile(dir.file("pages.conf"), kSampleConfig);
    ASSERT_EQ(run({"audio", "--rate", "2400", "--preamble", "0", "--repeat", "1", dir.file("pages.conf"),
                   dir.file("a.wav")}).status, 0);
    EXPECT_EQ(readFile(dir.file("a.wav")).size(), 44 + 2 * ((20 + 7) * 32 * 22050 / 2400));
}

TEST(AudioCommand, RefusalsAndMisuse) {
    ScratchDirectory dir;
    writeFile(dir.file("pages.conf"), kSampleConfig);
    writeFile(dir.file("bad.conf"), "[Item01]\nCapCode = 9999999\n");
    writeFile(dir.file("norate.bin"), bytesOf(noRateImage()));
    writeFile(dir.file("damaged.bin"), bytesOf(damagedImage()));
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string error;
    } cases[] = {
        {{"audio", "--rate", "9600", dir.file("pages.conf"), dir.file("o.wav")}, 2, "--rate must be"},
        {{"audio", "--repeat", "5", dir.file("pages.conf"), dir.file("o.wav")}, 2, "--repeat must be"},
        {{"audio", "--preamble", "x", dir.file("pages.conf"), dir.file("o.wav")}, 2, "--preamble must be"},
        {{"audio", dir.file("norate.bin"), dir.file("o.wav")}, 2, "--rate must be"},
        {{"audio", dir.file("bad.conf"), dir.file("o.wav")}, 1, "bad.conf: CapCode out of range in Item[01]"},
        {{"audio", dir.file("damaged.bin"), dir.file("o.wav")}, 1, "EEPROM read error"},
        {{"audio", dir.file("pages.conf")}, 2, "expected an input file"},
    };
    for (const auto& c : cases) {
        const CliRun result = run(c.arguments);
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
        EXPECT_FALSE(std::filesystem::exists(dir.file("o.wav")));
    }
    EXPECT_EQ(run({"audio", "--rate", "1200", dir.file("norate.bin"), dir.file("o.wav")}).status, 0);
}

}  // namespace
