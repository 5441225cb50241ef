// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <cstring>

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
#ifndef _WIN32
    // A pipe can be read only once: `cat pages.conf | vostrel-cli audio /dev/stdin c.wav`.
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    ASSERT_EQ(::write(pipe[1], kSampleConfig, std::strlen(kSampleConfig)), static_cast<ssize_t>(std::strlen(kSampleConfig)));
    ::close(pipe[1]);
    ASSERT_EQ(run({"audio", "/dev/fd/" + std::to_string(pipe[0]), dir.file("c.wav")}).status, 0);
    ::close(pipe[0]);
    EXPECT_EQ(readFile(dir.file("c.wav")), wav);
#endif
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
    // A configuration of exactly an image's size, with a mistake on line 3.
    const std::string mistaken = "[Item01]\nCapCode = 8\nTone = X\n";
    writeFile(dir.file("mistaken.conf"), mistaken + std::string(512 - mistaken.size(), '#'));
    std::string full;
    for (int row = 1; row <= 4; ++row) {
        full += "[Item0" + std::to_string(row) + "]\nCapCode = 15\nTone = D\nType = Alphanumeric\nMessage = \"" +
                std::string(40, 'M') + "\"\n";
    }
    writeFile(dir.file("full.conf"), full);
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string error;
    } cases[] = {
        {{"audio", "--rate", "9600", dir.file("full.conf"), dir.file("o.wav")}, 2, "--rate must be"},
        {{"audio", dir.file("mistaken.conf"), dir.file("o.wav")}, 1,
         dir.file("mistaken.conf") + ":3: Tone must be A, B, C or D, not 'X'"},
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
        // A misuse is told before anything the input would say.
        if (c.status == 2) {
            EXPECT_TRUE(result.err.starts_with("vostrel-cli audio: ")) << result.err;
        }
        EXPECT_FALSE(std::filesystem::exists(dir.file("o.wav")));
    }
    EXPECT_EQ(run({"audio", "--rate", "1200", dir.file("norate.bin"), dir.file("o.wav")}).status, 0);
}

}  // namespace
