// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include <gtest/gtest.h>

#include <array>
#include <cstdio>

#include "cli_test_support.h"
#include "image/slot_table.h"
#include "paging/transmission.h"

using namespace vostrel;
using namespace vostrel::cli::testing;
using paging::PagerType;

namespace {

// ---- the command table ----------------------------------------------------------------

TEST(CliDispatch, HelpAndUsage) {
    const CliRun overview = run({"--help"});
    EXPECT_EQ(overview.status, 0);
    for (const auto commands :
         {cli::fileCommands(), cli::deviceCommands(), cli::audioCommands(), cli::siteListCommands()}) {
        for (const cli::Command& command : commands) {
            EXPECT_NE(overview.out.find("  " + std::string(command.name) + " "), std::string::npos) << command.name;
            const CliRun help = run({std::string(command.name), "--help"});
            EXPECT_EQ(help.status, 0);
            EXPECT_TRUE(help.out.starts_with("Usage: vostrel-cli " + std::string(command.name) + " ")) << help.out;
        }
    }
    const struct {
        std::vector<std::string> arguments;
        std::string error;
    } misuses[] = {
        {{}, "Usage: vostrel-cli COMMAND"},
        {{"frobnicate"}, "vostrel-cli: unknown command 'frobnicate'"},
        {{"decode", "--bogus", "x"}, "vostrel-cli decode: unknown option '--bogus'"},
        {{"encode", "--capcode"}, "vostrel-cli encode: option '--capcode' needs a value"},
        {{"encode", "--tone", "A", "--tone=B"}, "vostrel-cli encode: option '--tone' given twice"},
        {{"write", "--verify=yes", "x"}, "vostrel-cli write: option '--verify' takes no value"},
        {{"build", "only-one"}, "vostrel-cli build: expected CONFIG and IMAGE"},
        {{"decode"}, "vostrel-cli decode: expected one IMAGE"},
        // An empty name names no file, not a file to create or to look for.
        {{"build", "a.conf", ""}, "vostrel-cli build: a file name is empty"},
        {{"decode", ""}, "vostrel-cli decode: a file name is empty"},
        {{"audio", "", "x.wav"}, "vostrel-cli audio: a file name is empty"},
        {{"airtime", ""}, "vostrel-cli airtime: a file name is empty"},
        {{"read", "--image", ""}, "vostrel-cli read: a file name is empty"},
        {{"write", ""}, "vostrel-cli write: a file name is empty"},
        {{"devices", "--emulator", ""}, "vostrel-cli devices: --emulator needs a file name"},
        {{"read", "--emulator="}, "vostrel-cli read: --emulator needs a file name"},
        {{"write", "--device", "", "a.conf"}, "vostrel-cli write: --device needs a path or port"},
        {{"devices", "--json", "--paths"}, "vostrel-cli devices: give one of --json and --paths"},
        {{"verify"}, "vostrel-cli verify: give either one CONFIG or --image IMAGE"},
        {{"verify", "a.conf", "--image", "b.bin"}, "vostrel-cli verify: give either one CONFIG or --image IMAGE"},
        {{"verify", "--alphabet", "DE", "a.conf"}, "vostrel-cli verify: --alphabet goes with --image"},
        {{"verify", "--transliterate", "--image", "b.bin"}, "vostrel-cli verify: --transliterate goes with a CONFIG"},
        {{"fingerprint"}, "vostrel-cli fingerprint: expected CONFIG or IMAGE files"},
        {{"fingerprint", "a.conf", ""}, "vostrel-cli fingerprint: a file name is empty"},
        {{"csv-export", "--separator", "|", "a.conf", "a.csv"}, "vostrel-cli csv-export: --separator must be ';', ',' or tab, not '|'"},
        {{"csv-import", "a.csv"}, "vostrel-cli csv-import: expected IN.csv and OUT.conf"},
        {{"csv-import", "--labels=", "a.csv", "a.conf"}, "vostrel-cli csv-import: a file name is empty"},
        // Texts from the command line reach the terminal too.
        {{"frob\x1B[2J"}, "vostrel-cli: unknown command 'frob\\x1B[2J'"},
    };
    for (const auto& misuse : misuses) {
        const CliRun result = run(misuse.arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_TRUE(result.err.starts_with(misuse.error)) << result.err;
    }
}

// ---- encode -------------------------------------------------------------------------

std::string repeated(std::string_view text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

std::string expectedTransmission(PagerType type, const std::string& codes, std::uint32_t capcode, unsigned tone) {
    std::array<paging::Codeword, 128> codewords{};
    const std::size_t count = paging::encodeTransmission(type, codes, capcode, tone, codewords);
    std::string lines;
    for (std::size_t i = 0; i < count; ++i) {
        char line[16];
        std::snprintf(line, sizeof line, "0x%08X\n", codewords[i]);
        lines += line;
    }
    return lines;
}

TEST(EncodeCommand, PrintsTheTransmission) {
    const struct {
        std::vector<std::string> arguments;
        PagerType type;
        std::string codes;  // what the pager receives
        std::uint32_t capcode;
        unsigned tone;
        std::string replaced = "";  // on stderr
    } cases[] = {
        {{"--capcode", "1234567", "--tone", "A", "--numeric", "123"}, PagerType::Numeric, "123", 1234567, 0},
        {{"--capcode=8", "--tone=d", "--alpha", "HELLO"}, PagerType::Alphanumeric, "HELLO", 8, 3},
        {{"--numeric", "--tone", "C", "--capcode", "2097151"}, PagerType::Numeric, "", 2097151, 2},
        {{"--capcode", "5", "--tone", "A", "--numeric", "--", "-5"}, PagerType::Numeric, "-5", 5, 0},
        {{"--capcode", "63", "--tone", "D", "--alpha", std::string(129, 'W')}, PagerType::Alphanumeric,
         std::string(129, 'W'), 63, 3},
        {{"--capcode", "8", "--tone", "D", "--alpha", "--alphabet", "de", "Gr\xC3\xBC\xC3\x9F" "e"},
         PagerType::Alphanumeric, "Gr}~e", 8, 3},
        {{"--capcode", "8", "--tone", "D", "--alpha", "--transliterate", "Gr\xC3\xBC\xC3\x9F" "e"},
         PagerType::Alphanumeric, "Gruesse", 8, 3,
         "'\xC3\xBC' is sent as 'ue'\n'\xC3\x9F' is sent as 'ss'\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"encode"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const CliRun result = run(arguments);
        SCOPED_TRACE(c.codes);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, c.replaced);
        EXPECT_EQ(result.out, expectedTransmission(c.type, c.codes, c.capcode, c.tone));
    }
}

TEST(EncodeCommand, RefusesWhatAWriteRefuses) {
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string error;  // the whole of stderr, or its start for usage errors
    } cases[] = {
        {{"--capcode", "8", "--tone", "A", "--numeric", "12a"}, 1, "Invalid code 'a'\n"},
        {{"--capcode", "8", "--tone", "A", "--numeric", "1\xC3\xA9"}, 1, "Invalid code '\xC3\xA9'\n"},
        {{"--capcode", "8", "--tone", "A", "--numeric", "su"}, 1, "Invalid code 's'\n"},
        {{"--capcode", "64", "--tone", "D", "--alpha", "caf\xC3\xA9"}, 1,
         "Invalid code '\xC3\xA9'; pager alphabets that have it: FR, IT\n"},
        {{"--capcode", "9999999", "--tone", "A", "--numeric"}, 2, "vostrel-cli encode: --capcode"},
        {{"--capcode", "2097152", "--tone", "D", "--alpha"}, 2, "vostrel-cli encode: --capcode"},
        {{"--capcode", "2007664", "--tone", "A", "--numeric"}, 1,
         "vostrel-cli encode: capcode 2007664 with tone A cannot be received: its address codeword is the sync or "
         "idle codeword\n"},
        {{"--capcode", "2045063", "--tone", "C", "--numeric"}, 1,
         "vostrel-cli encode: capcode 2045063 with tone C cannot be received: its address codeword is the sync or "
         "idle codeword\n"},
        {{"--capcode", "0", "--tone", "A", "--numeric"}, 2, "vostrel-cli encode: --capcode"},
        {{"--capcode", "abc", "--tone", "A", "--numeric"}, 2, "vostrel-cli encode: --capcode"},
        {{"--capcode", "12x", "--tone", "A", "--numeric"}, 2, "vostrel-cli encode: --capcode"},
        {{"--capcode", "-5", "--tone", "A", "--numeric"}, 2, "vostrel-cli encode: --capcode"},
        {{"--tone", "A", "--numeric"}, 2, "vostrel-cli encode: --capcode"},
        {{"--capcode", "8", "--numeric"}, 2, "vostrel-cli encode: --tone"},
        {{"--capcode", "8", "--tone", "E", "--numeric"}, 2, "vostrel-cli encode: --tone"},
        {{"--capcode", "8", "--tone", "A"}, 2, "vostrel-cli encode: give one of --numeric and --alpha"},
        {{"--capcode", "8", "--tone", "A", "--numeric", "--alpha"}, 2, "vostrel-cli encode: give one of"},
        {{"--capcode", "8", "--tone", "A", "--numeric", "1", "2"}, 2, "vostrel-cli encode: more than one message"},
        {{"--capcode", "8", "--tone", "A", "--numeric", "-5"}, 2, "vostrel-cli encode: unknown option '-5'"},
        {{"--capcode", "8", "--tone", "D", "--alpha", "\xE2\x82\xAC"}, 1, "Invalid code '\xE2\x82\xAC'; replacing special characters sends it as 'EUR'\n"},
        {{"--capcode", "8", "--tone", "D", "--alpha", "--alphabet", "DE", "a}"}, 1,
         "'}' would show as '\xC3\xBC' on a DE pager\n"},
        {{"--capcode", "8", "--tone", "D", "--alpha", "--alphabet", "GR", "a"}, 2,
         "vostrel-cli encode: --alphabet must be one of US|DE|DK|NO|SE|FR|ES|IT|YU, not 'GR'"},
        {{"--capcode", "8", "--tone", "A", "--alpha", "a"}, 2, "vostrel-cli encode: --alpha goes with --tone D"},
        {{"--capcode", "8", "--tone", "D", "--numeric", "1"}, 2, "vostrel-cli encode: --alpha goes with --tone D"},
        {{"--capcode", "8", "--tone", "B", "--numeric", "1"}, 2, "vostrel-cli encode: tones B and C"},
        {{"--capcode", "8", "--tone", "D", "--alpha", "a\xFF"}, 2, "vostrel-cli encode: message: invalid UTF-8"},
        {{"--capcode", "8", "--tone", "D", "--alpha", std::string(130, 'W')}, 2, "vostrel-cli encode: message longer"},
        // encode has one item and no rows: its messages name none.
        {{"--capcode", "8", "--tone", "D", "--alpha", "--transliterate", repeated("\xE2\x80\xA6", 44)}, 1,
         "The message would be sent as 132 characters; a Read gives back 129 at most\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"encode"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const CliRun result = run(arguments);
        EXPECT_EQ(result.status, c.status) << c.error;
        EXPECT_EQ(result.out, "");
        if (c.status == 1) {
            EXPECT_EQ(result.err, c.error);
        } else {
            EXPECT_TRUE(result.err.starts_with(c.error)) << result.err;
        }
    }
}

// ---- build and decode -------------------------------------------------------------------

TEST(BuildCommand, WritesTheImageOfTheConfiguration) {
    const ScratchDirectory dir;
    writeFile(dir.file("a.conf"), kSampleConfig);
    const CliRun result = run({"build", dir.file("a.conf"), dir.file("a.bin")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out + result.err, "");
    EXPECT_EQ(readFile(dir.file("a.bin")), bytesOf(sampleImage()));
}

TEST(BuildCommand, AllowedAPartialSiteNamesTheRowsLeftOut) {
    const ScratchDirectory dir;
    std::string config;
    for (int row = 1; row <= 16; ++row) {
        // Frame 7, 40 characters: 32 codewords, 64 words each; after rows 1 to 3 the
        // next free word is 17 + 3 * 64 = 209, and row 4 would end at 273.
        config += "[Item" + std::string(row < 10 ? "0" : "") + std::to_string(row) +
                  "]\nCapCode = 15\nTone = D\nType = Alphanumeric\nMessage = \"" + std::string(40, 'M') + "\"\n";
    }
    writeFile(dir.file("full.conf"), config);
    const CliRun result = run({"build", "--allow-partial", dir.file("full.conf"), dir.file("full.bin")});
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.err.starts_with(dir.file("full.conf") + ": Not stored: row 4 (capcode 15 D), row 5 (capcode 15 D)"))
        << result.err;
    const image::EepromImage image = imageOf(readFile(dir.file("full.bin")));
    EXPECT_EQ(image::usedWordCount(image), 209u);
    EXPECT_FALSE(image::loadSlot(image, 3).inUse());
}

TEST(BuildCommand, FailuresWriteNoImage) {
    const struct {
        std::string config;
        std::string error;  // with "CONFIG" for the configuration's path
    } cases[] = {
        {"[Settings]\nPreamble = 575\n", "CONFIG: Preamble value out of range\n"},
        {"[Settings]\nDataRate = none\n", "CONFIG: Data rate not selected\n"},
        {"[Item03]\nCapCode = 5\nMessage = \"12a\"\n", "CONFIG: Invalid code 'a' in Item[03]\n"},
        {"[Item02]\nCapCode = 5\nType = Alphanumeric\nMessage = \"\\xE9t\xC3\xA9\"\n",
         "CONFIG: Invalid code '\xC3\xA9' in Item[02]; pager alphabets that have it: FR, IT\n"},
        {"[Item07]\nCapCode = 9999999\n", "CONFIG: CapCode out of range in Item[07]\n"},
        {"[Settings]\n\n[Item01]\nTone = X\n", "CONFIG:4: Tone must be A, B, C or D, not 'X'\n"},
        {"[Settings]\nAlphabet = DE\n[Item04]\nCapCode = 5\nTone = D\nMessage = \"{x}\"\n",
         "CONFIG: '{' in Item[04] would show as '\xC3\xA4' on a DE pager\n"},
        {"[Settings]\nAlphabet = GR\n", "CONFIG:2: Alphabet must be one of US, DE, DK, NO, SE, FR, ES, IT, YU, not 'GR'\n"},
        {"[Item01]\nCapCode = 5\nTone = A\nType = Alphanumeric\nMessage = \"HI\"\n",
         "CONFIG:4: Type Alphanumeric needs Tone D, not Tone A\n"},
        // A control character from the file never reaches the terminal as it is.
        {"[Item01]\nTone = \x1B[2J\n", "CONFIG:2: Tone must be A, B, C or D, not '\\x1B[2J'\n"},
        {"[Ite\x1Bm]\n", "CONFIG:1: unknown section [Ite\\x1Bm]\n"},
        {"[Item01]\nCap\x07 = 1\n", "CONFIG:2: unknown key 'Cap\\x07' in [Item01]\n"},
        {"[Item01]\nType = \xC2\x9B\x7F\n", "CONFIG:2: Type must be Numeric or Alphanumeric, not '\\x9B\\x7F'\n"},
        {"[Item01]\nCapCode = 5\nMessage = \"1\\x1B\"\n", "CONFIG: Invalid code '\\x1B' in Item[01]\n"},
    };
    for (const auto& c : cases) {
        const ScratchDirectory dir;
        const std::string config = dir.file("bad.conf");
        writeFile(config, c.config);
        writeFile(dir.file("old.bin"), "previous");
        const CliRun result = run({"build", config, dir.file("old.bin")});
        std::string expected = c.error;
        if (expected.starts_with("CONFIG")) expected.replace(0, 6, config);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, expected);
        EXPECT_EQ(readFile(dir.file("old.bin")), "previous");
    }
    const ScratchDirectory dir;
    const CliRun missing = run({"build", dir.file("none.conf"), dir.file("none.bin")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.starts_with(dir.file("none.conf") + ": cannot open")) << missing.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.bin")));
}

TEST(DecodeCommand, PrintsAConfigurationThatBuildsTheSameImage) {
    const ScratchDirectory dir;
    writeFile(dir.file("a.bin"), bytesOf(sampleImage()));
    const CliRun decoded = run({"decode", dir.file("a.bin")});
    EXPECT_EQ(decoded.status, 0);
    EXPECT_EQ(decoded.err, "");
    EXPECT_NE(decoded.out.find("[Item02]\nCapCode = 1234567\nTone = A\nType = Numeric\nMessage = \"12 34-5U  \"\n"),
              std::string::npos)
        << decoded.out;
    writeFile(dir.file("b.conf"), decoded.out);
    EXPECT_EQ(run({"build", dir.file("b.conf"), dir.file("b.bin")}).status, 0);
    EXPECT_EQ(readFile(dir.file("b.bin")), bytesOf(sampleImage()));
}

// An image holds codes: decode shows them as the pagers of the alphabet show them,
// says which alphabet, and build turns that back into the same image.
TEST(DecodeCommand, ShowsTheMessagesAsThePagersOfTheAlphabetShowThem) {
    const ScratchDirectory dir;
    writeFile(dir.file("de.conf"), "[Settings]\nAlphabet = DE\n[Item01]\nCapCode = 8\nTone = D\nMessage = \"Gr\xC3\xBC\xC3\x9F" "e\"\n");
    writeFile(dir.file("us.conf"), "[Item01]\nCapCode = 8\nTone = D\nMessage = \"Gr}~e\"\n");
    ASSERT_EQ(run({"build", dir.file("de.conf"), dir.file("de.bin")}).status, 0);
    ASSERT_EQ(run({"build", dir.file("us.conf"), dir.file("us.bin")}).status, 0);
    EXPECT_EQ(readFile(dir.file("de.bin")), readFile(dir.file("us.bin")));

    const CliRun german = run({"decode", "--alphabet", "DE", dir.file("de.bin")});
    EXPECT_EQ(german.status, 0);
    EXPECT_NE(german.out.find("Repeat = 2\nAlphabet = DE\n"), std::string::npos) << german.out;
    EXPECT_NE(german.out.find("Message = \"Gr\xC3\xBC\xC3\x9F" "e\"\n"), std::string::npos) << german.out;
    EXPECT_NE(run({"decode", dir.file("de.bin")}).out.find("Message = \"Gr}~e\"\n"), std::string::npos);
    writeFile(dir.file("back.conf"), german.out);
    ASSERT_EQ(run({"build", dir.file("back.conf"), dir.file("back.bin")}).status, 0);
    EXPECT_EQ(readFile(dir.file("back.bin")), readFile(dir.file("de.bin")));

    writeFile(dir.file("x.conf"), "[Item02]\nCapCode = 8\nTone = D\nMessage = \"Gr\xC3\xBC\xC3\x9F" "e\"\n");
    const CliRun replaced = run({"build", "--transliterate", dir.file("x.conf"), dir.file("x.bin")});
    EXPECT_EQ(replaced.status, 0);
    EXPECT_EQ(replaced.err, dir.file("x.conf") + ": '\xC3\xBC' in Item[02] is sent as 'ue'\n" + dir.file("x.conf") +
                                ": '\xC3\x9F' in Item[02] is sent as 'ss'\n");
    EXPECT_EQ(run({"decode", "--alphabet", "xx", dir.file("x.bin")}).status, 2);
}

TEST(DecodeCommand, RefusesFilesThatAreNotImages) {
    const ScratchDirectory dir;
    for (const std::size_t size : {0, 511, 513, 1024}) {
        writeFile(dir.file("x.bin"), std::string(size, '\0'));
        const CliRun result = run({"decode", dir.file("x.bin")});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, dir.file("x.bin") + ": not an EEPROM image: " + std::to_string(size) +
                                  " bytes instead of 512\n");
    }
}

TEST(DecodeCommand, DamagedImagesPrintWhatWasReadBeforeTheBadRow) {
    const ScratchDirectory dir;
    // An erased image is no damaged one: it holds nothing. zlib.crc32 of 34 bytes 0xFF:
    // the header and slot table; no slot starts before it ends.
    writeFile(dir.file("erased.bin"), std::string(512, '\xFF'));
    const CliRun erased = run({"decode", dir.file("erased.bin")});
    EXPECT_EQ(erased.status, 0);
    EXPECT_EQ(erased.out, "# Contents fingerprint 5D0F5CC7\n# Empty (erased): no calls and no settings\n");
    EXPECT_EQ(erased.err, "");

    image::EepromImage damaged = sampleImage();
    damaged.storeCodeword(image::loadSlot(damaged, 4).start, paging::kIdleCodeword);  // row 5 loses its sync
    writeFile(dir.file("damaged.bin"), bytesOf(damaged));
    const CliRun result = run({"decode", dir.file("damaged.bin")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "EEPROM read error\n");
    EXPECT_NE(result.out.find("DataRate = 512\nPreamble = 700\nRepeat = 3\n"), std::string::npos);
    EXPECT_NE(result.out.find("[Item02]"), std::string::npos);
    EXPECT_EQ(result.out.find("[Item05]"), std::string::npos);
}

TEST(DecodeCommand, TwentyTwoBitCapcodesPrintAsReadAndBuildRefusesThem) {
    const ScratchDirectory dir;
    image::ProgrammerEntries entries;
    entries.rows[0] = {"8", 0, PagerType::Numeric, "1"};
    image::EepromImage image = std::get<image::BuiltImage>(image::buildImage(entries)).image;
    // Capcode 8 lies in frame 0: its address codeword is the slot's second codeword.
    const unsigned address = image::loadSlot(image, 0).start + 2;
    image.storeCodeword(address, image.loadCodeword(address) | 0x80000000u);
    writeFile(dir.file("flag.bin"), bytesOf(image));

    const CliRun decoded = run({"decode", dir.file("flag.bin")});
    EXPECT_EQ(decoded.status, 0);
    EXPECT_NE(decoded.out.find("CapCode = 2097160\n"), std::string::npos) << decoded.out;
    writeFile(dir.file("flag.conf"), decoded.out);
    const CliRun rebuilt = run({"build", dir.file("flag.conf"), dir.file("again.bin")});
    EXPECT_EQ(rebuilt.status, 1);
    EXPECT_EQ(rebuilt.err, dir.file("flag.conf") + ": CapCode out of range in Item[01]\n");
}

}  // namespace

// ---- output files ---------------------------------------------------------------------

// An output that is the command's input is refused before anything is written, and
// "-" is standard output, for every command that writes a file.
TEST(OutputFiles, SameFileIsRefusedAndDashIsStandardOutput) {
    const ScratchDirectory dir;
    const std::string config = dir.file("pages.conf");
    const std::string image = dir.file("pages.bin");
    const std::string link = dir.file("link.conf");
    const struct {
        std::vector<std::string> arguments;
        std::string refusedInput;  // "" when the command succeeds
        std::string outStart;      // what standard output starts with then
    } cases[] = {
        {{"build", config, config}, config, ""},
        {{"build", config, link}, config, ""},
        {{"audio", config, config}, config, ""},
        {{"audio", image, image}, image, ""},
        {{"read", "--emulator", image, "--image", image}, image, ""},
        {{"build", config, "-"}, "", bytesOf(sampleImage())},
        {{"audio", config, "-"}, "", "RIFF"},
        {{"read", "--emulator", image, "--image", "-"}, "", bytesOf(sampleImage())},
    };
    for (const auto& c : cases) {
        writeFile(config, kSampleConfig);
        writeFile(image, bytesOf(sampleImage()));
        std::filesystem::remove(link);
        std::filesystem::create_hard_link(config, link);
        const CliRun result = run(c.arguments);
        SCOPED_TRACE(c.arguments[0] + " " + c.arguments.back());
        if (c.refusedInput.empty()) {
            EXPECT_EQ(result.status, 0) << result.err;
            EXPECT_TRUE(result.out.starts_with(c.outStart));
        } else {
            EXPECT_EQ(result.status, 1);
            EXPECT_EQ(result.err, c.arguments.back() + ": is the same file as the input " + c.refusedInput +
                                      "; nothing was written\n");
        }
        EXPECT_EQ(readFile(config), kSampleConfig);
        EXPECT_EQ(readFile(image), bytesOf(sampleImage()));
    }
}

TEST(OutputFiles, LostStandardOutputFailsTheCommand) {
    const ScratchDirectory dir;
    writeFile(dir.file("pages.conf"), kSampleConfig);
    writeFile(dir.file("pages.bin"), bytesOf(sampleImage()));
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"decode", dir.file("pages.bin")}, {"build", dir.file("pages.conf"), "-"}, {"--help"}}) {
        std::ostream lost(nullptr);  // every write fails, as on a full disk
        std::ostringstream err;
        cli::CliContext context{lost, err, noHardware};
        EXPECT_EQ(cli::runCli(arguments, context), 1) << arguments[0];
        EXPECT_EQ(err.str(), "vostrel-cli: cannot write to standard output\n");
    }
}
