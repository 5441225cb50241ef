// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Time on air, measured against the audio export: the WAV holds exactly what the
// transmitter sends, so its length is the independent measure of the figures.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <random>
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

// Seconds of the WAV that audio writes to standard output for the configuration:
// 16-bit mono samples at 22050 Hz behind a 44-byte header.
double wavSeconds(const std::string& config) {
    const CliRun audio = run({"audio", config, "-"});
    EXPECT_EQ(audio.status, 0) << audio.err;
    constexpr std::size_t kHeaderBytes = 44, kBytesPerSample = 2;
    return static_cast<double>((audio.out.size() - kHeaderBytes) / kBytesPerSample) / 22050;
}

// The number after "KEY": in airtime's JSON.
double jsonNumber(const std::string& json, const std::string& key) {
    const std::string label = "\"" + key + "\": ";
    const std::size_t at = json.find(label);
    double value = -1;
    if (at != std::string::npos) std::from_chars(json.data() + at + label.size(), json.data() + json.size(), value);
    EXPECT_NE(at, std::string::npos) << key << " in " << json;
    return value;
}

// How many bits the totals of airtime --json (its seconds, and its bits at `rate`) lie
// from the length of audio's WAV of the same configuration, the larger of the two.
double bitsFromTheAudio(const std::string& config, unsigned rate) {
    const CliRun airtime = run({"airtime", "--json", config});
    EXPECT_EQ(airtime.status, 0) << airtime.err;
    const double wav = wavSeconds(config);
    const double seconds = jsonNumber(airtime.out, "total_seconds");
    const double bits = jsonNumber(airtime.out, "total_bits");
    return std::max(std::abs(seconds - wav), std::abs(bits / rate - wav)) * rate;
}

// The window works the figures out from its entries, airtime from the built image:
// both must agree.
void expectWindowAndImageAgree(const image::ProgrammerEntries& entries) {
    const auto planned = image::plannedAirTime(entries, image::layOutRows(entries));
    const auto built = image::buildImage(entries);
    const auto& image = std::get<image::BuiltImage>(built).image;
    const auto stored = image::airTime(image::loadHeader(image), image::storedRows(image));
    const auto& air = std::get<image::AirTime>(planned);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(air.totalBits, stored->totalBits);
    EXPECT_EQ(air.rows.size(), stored->rows.size());
}

// Every rate, preamble and repeat, for each kind of row alone at frames 0 and 7 and
// for all of them together; then random sites at 2400 bit/s, where a bit is shortest
// (0.417 ms) and a total rounded to the millisecond would miss by more than a bit.
TEST(AirTime, JsonTotalsEqualTheLengthOfTheAudioToWithinOneBit) {
    ScratchDirectory dir;
    const image::PagerItem kinds[] = {
        {"", 1, paging::PagerType::Numeric, ""},  // tone-only
        {"", 0, paging::PagerType::Numeric, "01234567890123456789"},
        {"", 3, paging::PagerType::Alphanumeric, "The quick brown fox jumps over 13 dogs.."},
    };
    const std::string kCapcodes[] = {"1234568", "1234567"};  // frames 0 and 7
    const std::string config = dir.file("air.conf");
    std::vector<image::ProgrammerEntries> table;
    for (int rate = 0; rate < 3; ++rate) {
        for (const char* preamble : {"576", "800", "1023"}) {
            for (int repeat = 0; repeat < 4; ++repeat) {
                image::ProgrammerEntries whole;
                whole.dataRateIndex = rate;
                whole.preambleText = preamble;
                whole.repeatIndex = repeat;
                unsigned row = 0;
                for (const auto& capcode : kCapcodes) {
                    for (image::PagerItem item : kinds) {
                        item.capcode = capcode;
                        image::ProgrammerEntries single = whole;
                        single.rows[0] = item;
                        whole.rows[row++] = item;
                        table.push_back(single);
                    }
                }
                table.push_back(whole);
            }
        }
    }
    std::mt19937 random(2400);
    const auto upTo = [&random](unsigned most) { return std::uniform_int_distribution<unsigned>(0, most)(random); };
    for (int site = 0; site < 60; ++site) {
        image::ProgrammerEntries entries;
        entries.dataRateIndex = 2;
        entries.preambleText = std::to_string(576 + upTo(447));
        entries.repeatIndex = static_cast<int>(upTo(3));
        const unsigned rows = 1 + upTo(7);
        for (unsigned row = 0; row < rows; ++row) {
            image::PagerItem item = kinds[upTo(2)];
            item.capcode = std::to_string(1 + upTo(2097150));
            item.message.resize(upTo(static_cast<unsigned>(item.message.size())));
            entries.rows[row] = item;
        }
        table.push_back(entries);
    }
    double largest = 0;
    for (const image::ProgrammerEntries& entries : table) {
        expectWindowAndImageAgree(entries);
        writeFile(config, config::writeConfig(entries));
        const unsigned rate = image::kDataRates[static_cast<std::size_t>(entries.dataRateIndex)];
        const double off = bitsFromTheAudio(config, rate);
        EXPECT_LE(off, 1.0) << config::writeConfig(entries);
        largest = std::max(largest, off);
    }
    EXPECT_EQ(table.size(), 3U * 3 * 4 * (2 * 3 + 1) + 60);
    RecordProperty("largest_difference_in_bits", std::to_string(largest));
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
              "{\"row\": 1, \"capcode\": 1234567, \"codewords\": 32, \"bits_per_repetition\": 2047, "
              "\"bits_per_trigger\": 8188, \"seconds_per_repetition\": 3.998047, \"seconds_per_trigger\": 15.992188}, "
              "{\"row\": 3, \"capcode\": 8, \"codewords\": 3, \"bits_per_repetition\": 1119, "
              "\"bits_per_trigger\": 4476, \"seconds_per_repetition\": 2.185547, \"seconds_per_trigger\": 8.742188}], "
              "\"total_bits\": 12664, \"total_seconds\": 24.734375, \"limit_seconds\": 5, "
              "\"over_limit_rows\": [1, 3], \"remedies\": [{\"rate\": 2400}, {\"repeat\": 1}]}\n");
    EXPECT_EQ(run({"airtime", "--json", dir.file("back.bin")}).out, fromConfig.out);

    const CliRun table = run({"airtime", dir.file("back.bin")});
    EXPECT_EQ(table.status, 0);
    EXPECT_EQ(table.out,
              "512 bit/s, preamble 1023 bits, repeat 4\n"
              "row  capcode  codewords  s/repetition  s/trigger\n"
              "  1  1234567         32         3.998     15.992\n"
              "  3        8          3         2.186      8.742\n"
              "total                                     24.734\n"
              "rows 1, 3 over 5 s, under it with 2400 bit/s or repeat 1\n");
    EXPECT_EQ(run({"airtime", dir.file("pages.conf")}).out, table.out);
}

TEST(AirtimeCommand, WithinTheLimitThereIsNoHint) {
    ScratchDirectory dir;
    writeFile(dir.file("fast.conf"), "[Settings]\nDataRate = 2400\nPreamble = 576\nRepeat = 1\n"
                                     "[Item03]\nCapCode = 8\nTone = B\nType = Numeric\n");
    const CliRun table = run({"airtime", dir.file("fast.conf")});
    EXPECT_EQ(table.status, 0) << table.err;
    EXPECT_TRUE(table.out.ends_with("total                                      0.280\n")) << table.out;
    const CliRun json = run({"airtime", "--json", dir.file("fast.conf")});
    EXPECT_TRUE(json.out.ends_with("\"limit_seconds\": 5, \"over_limit_rows\": [], \"remedies\": []}\n")) << json.out;
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
