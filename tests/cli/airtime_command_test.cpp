// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Time on air, measured against the audio export: the WAV holds exactly what the
// transmitter sends, so its length is the independent measure of the figures.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "cli_test_support.h"
#include "config/config_file.h"
#include "image/air_time.h"

using namespace vostrel;
using namespace vostrel::cli::testing;

namespace {

// Seconds of the WAV that audio writes to standard output for the configuration.
double wavSeconds(const std::string& config) {
    const CliRun audio = run({"audio", config, "-"});
    EXPECT_EQ(audio.status, 0) << audio.err;
    constexpr std::size_t kHeaderBytes = 44, kBytesPerSample = 2;
    return static_cast<double>((audio.out.size() - kHeaderBytes) / kBytesPerSample) / 22050;
}

struct Figures {
    double row;    // one trigger of the first row in use
    double total;  // one trigger of every row in use
};

// The figures as the window works them out from its entries, and as airtime works them
// out from the built image; both must agree.
Figures figuresOf(const image::ProgrammerEntries& entries) {
    const auto planned = image::plannedAirTime(entries, image::layOutRows(entries));
    const auto built = image::buildImage(entries);
    const auto& image = std::get<image::BuiltImage>(built).image;
    const auto stored = image::airTime(image::loadHeader(image), image::storedRows(image));
    const auto& air = std::get<image::AirTime>(planned);
    EXPECT_TRUE(stored.has_value());
    if (!stored || air.rows.empty()) return {};
    EXPECT_EQ(air.totalSeconds, stored->totalSeconds);
    EXPECT_EQ(air.rows.size(), stored->rows.size());
    return {air.rows.front().secondsPerTrigger, air.totalSeconds};
}

TEST(AirTime, EqualsTheLengthOfTheAudioOfEveryRowAndOfTheWhole) {
    ScratchDirectory dir;
    const image::PagerItem kinds[] = {
        {"", 1, paging::PagerType::Numeric, ""},  // tone-only
        {"", 0, paging::PagerType::Numeric, "01234567890123456789"},
        {"", 3, paging::PagerType::Alphanumeric, "The quick brown fox jumps over 13 dogs.."},
    };
    const std::string kCapcodes[] = {"1234568", "1234567"};  // frames 0 and 7
    const std::string config = dir.file("air.conf");
    int compared = 0;
    for (int rate = 0; rate < 3; ++rate) {
        for (const char* preamble : {"576", "800", "1023"}) {
            for (int repeat = 0; repeat < 4; ++repeat) {
                image::ProgrammerEntries settings;
                settings.dataRateIndex = rate;
                settings.preambleText = preamble;
                settings.repeatIndex = repeat;
                image::ProgrammerEntries whole = settings;
                unsigned row = 0;
                for (const auto& capcode : kCapcodes) {
                    for (image::PagerItem item : kinds) {
                        item.capcode = capcode;
                        image::ProgrammerEntries single = settings;
                        single.rows[0] = item;
                        whole.rows[row++] = item;
                        writeFile(config, config::writeConfig(single));
                        const double bitTime = 1.0 / image::kDataRates[static_cast<std::size_t>(rate)];
                        EXPECT_NEAR(figuresOf(single).row, wavSeconds(config), bitTime)
                            << "rate " << rate << ", preamble " << preamble << ", repeat " << repeat + 1
                            << ", capcode " << capcode << ", message '" << item.message << "'";
                        ++compared;
                    }
                }
                writeFile(config, config::writeConfig(whole));
                EXPECT_NEAR(figuresOf(whole).total, wavSeconds(config), 1.0 / image::kDataRates[static_cast<std::size_t>(rate)]);
            }
        }
    }
    EXPECT_EQ(compared, 3 * 3 * 4 * 2 * 3);
}

// The worked example: 512 bit/s, preamble 1023, repeat 4, 40 characters at frame 7.
constexpr const char* kExampleConfig =
    "[Settings]\nDataRate = 512\nPreamble = 1023\nRepeat = 4\n"
    "[Item01]\nCapCode = 1234567\nTone = D\nType = Alphanumeric\n"
    "Message = \"The quick brown fox jumps over 13 dogs..\"\n"
    "[Item02]\nCapCode = 0\nTone = D\nType = Alphanumeric\nMessage = \"not in use\"\n"
    "[Item03]\nCapCode = 8\nTone = B\nType = Numeric\n";

TEST(AirtimeCommand, AnImageReadBackGivesTheFiguresOfItsConfiguration) {
    ScratchDirectory dir;
    writeFile(dir.file("pages.conf"), kExampleConfig);
    const std::string emulator = dir.file("device.bin");
    ASSERT_EQ(run({"write", "--emulator", emulator, dir.file("pages.conf")}).status, 0);
    ASSERT_EQ(run({"read", "--emulator", emulator, "--image", dir.file("back.bin")}).status, 0);

    const CliRun fromConfig = run({"airtime", "--json", dir.file("pages.conf")});
    EXPECT_EQ(fromConfig.status, 0) << fromConfig.err;
    EXPECT_EQ(fromConfig.out,
              "{\"rate\": 512, \"preamble_bits\": 1023, \"repeat\": 4, \"rows\": ["
              "{\"row\": 1, \"capcode\": 1234567, \"codewords\": 32, \"seconds_per_repetition\": 3.998, "
              "\"seconds_per_trigger\": 15.992}, "
              "{\"row\": 3, \"capcode\": 8, \"codewords\": 3, \"seconds_per_repetition\": 2.186, "
              "\"seconds_per_trigger\": 8.742}], \"total_seconds\": 24.734}\n");
    EXPECT_EQ(run({"airtime", "--json", dir.file("back.bin")}).out, fromConfig.out);

    const CliRun table = run({"airtime", dir.file("back.bin")});
    EXPECT_EQ(table.status, 0);
    EXPECT_EQ(table.out,
              "512 bit/s, preamble 1023 bits, repeat 4\n"
              "row  capcode  codewords  s/repetition  s/trigger\n"
              "  1  1234567         32         3.998     15.992\n"
              "  3        8          3         2.186      8.742\n"
              "total                                     24.734\n");
    EXPECT_EQ(run({"airtime", dir.file("pages.conf")}).out, table.out);
}

#if !defined(_WIN32)
TEST(AirtimeCommand, ReadsAPipeOnce) {
    ScratchDirectory dir;
    writeFile(dir.file("pages.conf"), kExampleConfig);
    const std::string fifo = dir.file("pages.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::atomic<bool> done = false;
    std::thread writer([&] {
        std::ofstream(fifo) << kExampleConfig;
        // Opening it a second time would wait for a writer for ever: this one brings an
        // empty text, so the figures come out wrong instead.
        while (!done) {
            if (const int end = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK); end >= 0) ::close(end);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    const CliRun result = run({"airtime", fifo});
    done = true;
    writer.join();
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, run({"airtime", dir.file("pages.conf")}).out);
}
#endif

TEST(AirtimeCommand, RefusalsAndMisuse) {
    ScratchDirectory dir;
    writeFile(dir.file("bad.conf"), "[Item01]\nCapCode = 9999999\n");
    writeFile(dir.file("norate.bin"), bytesOf(noRateImage()));
    writeFile(dir.file("damaged.bin"), bytesOf(damagedImage()));
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string error;
    } cases[] = {
        {{"airtime", dir.file("norate.bin")}, 1, "norate.bin: names no data rate"},
        {{"airtime", dir.file("bad.conf")}, 1, "bad.conf: CapCode out of range in Item[01]"},
        {{"airtime", dir.file("damaged.bin")}, 1, "EEPROM read error"},
        {{"airtime", dir.file("missing.conf")}, 1, "missing.conf"},
        {{"airtime"}, 2, "expected one CONFIG or IMAGE"},
        {{"airtime", "--json=yes", dir.file("bad.conf")}, 2, "takes no value"},
    };
    for (const auto& c : cases) {
        const CliRun result = run(c.arguments);
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
    }
}

}  // namespace
