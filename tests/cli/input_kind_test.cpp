// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// What a command takes its input for: an EEPROM image is never a configuration, and a
// configuration's text is read in one encoding or refused.

#include <gtest/gtest.h>

#include "cli_test_support.h"

using namespace vostrel;
using namespace vostrel::cli::testing;

namespace {

// The sample's two rows under settings whose header bytes read as text a
// configuration skips: byte 0, the preamble's low byte, is '#' (803) or ';' (827), a
// comment whatever byte 1 holds; or a tab (777), a newline (778) or a blank (800),
// and byte 1 is '#' (2400 bit/s, repeat 1).
struct CommentHeader {
    unsigned preamble;
    unsigned rate;    // 512, 1200, 2400
    unsigned repeat;  // 1 to 4
};

std::vector<CommentHeader> commentHeaders() {
    std::vector<CommentHeader> headers;
    for (const unsigned preamble : {803U, 827U}) {
        for (const unsigned rate : {512U, 1200U, 2400U}) {
            for (unsigned repeat = 1; repeat <= 4; ++repeat) headers.push_back({preamble, rate, repeat});
        }
    }
    for (const unsigned preamble : {777U, 778U, 800U}) headers.push_back({preamble, 2400, 1});
    return headers;
}

std::string configWith(const CommentHeader& header) {
    return "[Settings]\nDataRate = " + std::to_string(header.rate) + "\nPreamble = " + std::to_string(header.preamble) +
           "\nRepeat = " + std::to_string(header.repeat) +
           "\n[Item02]\nCapCode = 1234567\nTone = A\nMessage = \"12 34-5U\"\n"
           "[Item05]\nCapCode = 8\nTone = D\nMessage = \"Gruss\"\n";
}

// airtime and audio give an image the figures and sound of the configuration it was
// built from; write and build, given an image where a configuration belongs, say so
// and write nothing.
TEST(InputKind, AnImageWhoseHeaderReadsAsACommentIsNeverAConfiguration) {
    ScratchDirectory dir;
    const std::string config = dir.file("pages.conf");
    const std::string image = dir.file("pages.bin");
    const std::string eeprom = dir.file("eeprom.bin");
    for (const CommentHeader& header : commentHeaders()) {
        SCOPED_TRACE("preamble " + std::to_string(header.preamble) + ", " + std::to_string(header.rate) +
                     " bit/s, repeat " + std::to_string(header.repeat));
        writeFile(config, configWith(header));
        ASSERT_EQ(run({"build", config, image}).status, 0);

        const CliRun configAirtime = run({"airtime", config});
        const CliRun imageAirtime = run({"airtime", image});
        EXPECT_EQ(imageAirtime.status, 0);
        EXPECT_EQ(imageAirtime.out, configAirtime.out);
        ASSERT_EQ(run({"audio", config, dir.file("config.wav")}).status, 0);
        EXPECT_EQ(run({"audio", image, dir.file("image.wav")}).status, 0);
        EXPECT_EQ(readFile(dir.file("image.wav")), readFile(dir.file("config.wav")));

        writeFile(eeprom, bytesOf(sampleImage()));
        const CliRun write = run({"write", "--emulator", eeprom, image});
        EXPECT_EQ(write.status, 1);
        EXPECT_EQ(write.out, "");
        EXPECT_EQ(write.err, image + ": an EEPROM image, not a configuration; nothing was written (write --image " +
                                 "takes an image, decode turns it into a configuration)\n");
        EXPECT_EQ(readFile(eeprom), bytesOf(sampleImage()));
        const CliRun build = run({"build", image, dir.file("rebuilt.bin")});
        EXPECT_EQ(build.status, 1);
        EXPECT_FALSE(std::filesystem::exists(dir.file("rebuilt.bin")));
    }
    // Each command that takes only a configuration says what takes an image instead.
    writeFile(dir.file("list.csv"), "CapCode\n8\n");
    const CliRun settings = run({"csv-import", "--settings", image, dir.file("list.csv"), dir.file("out.conf")});
    EXPECT_EQ(settings.err, image + ": an EEPROM image, not a configuration; nothing was written (--settings takes a "
                                    "configuration, whose settings the list's rows join; decode turns an image into one)\n");
    const CliRun verify = run({"verify", "--emulator", eeprom, image});
    EXPECT_EQ(verify.err, image + ": an EEPROM image, not a configuration; verify --image IMAGE compares the "
                                  "transmitter with an image\n");
}

}  // namespace

// One byte of Windows-1252 in a file of UTF-8 text, even in a comment, would turn every
// UTF-8 letter into two others, and with transliteration on these would be sent. Such
// a file is refused by the byte's place; a file of Windows-1252 alone is read as it
// was meant, and the guess is said once.
TEST(InputKind, AConfigurationIsReadInOneEncodingOrRefused) {
    ScratchDirectory dir;
    const std::string utf8 =
        "[Settings]\nAlphabet = DE\n# Gr\xC3\xBC\xC3\x9F" "e\n"
        "[Item01]\nCapCode = 8\nTone = D\nMessage = \"\xC3\x96STERREICH Gr\xC3\xBC\xC3\x9F" "e\"\n";
    const std::string windows1252 =
        "[Settings]\nAlphabet = DE\n# Gr\xFC\xDF" "e\n"
        "[Item01]\nCapCode = 8\nTone = D\nMessage = \"\xD6STERREICH Gr\xFC\xDF" "e\"\n";
    writeFile(dir.file("utf8.conf"), utf8);
    writeFile(dir.file("cp1252.conf"), windows1252);
    writeFile(dir.file("mixed.conf"), "[Settings]\nTransliterate = yes\n# \x96 Preise\n"
                                      "[Item01]\nCapCode = 8\nTone = D\nMessage = \"\xC3\x96STERREICH\"\n");

    const CliRun mixed = run({"build", dir.file("mixed.conf"), dir.file("mixed.bin")});
    EXPECT_EQ(mixed.status, 1);
    EXPECT_EQ(mixed.err, dir.file("mixed.conf") +
                             ": line 3, column 3: byte 0x96 is not UTF-8, while line 7, column 12 holds the UTF-8 "
                             "character 'Ö' (U+00D6); save the file as UTF-8\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("mixed.bin")));

    const CliRun fromUtf8 = run({"build", dir.file("utf8.conf"), dir.file("utf8.bin")});
    EXPECT_EQ(fromUtf8.status, 0);
    EXPECT_EQ(fromUtf8.err, "");
    const CliRun fromWindows1252 = run({"build", dir.file("cp1252.conf"), dir.file("cp1252.bin")});
    EXPECT_EQ(fromWindows1252.status, 0);
    EXPECT_EQ(fromWindows1252.err, dir.file("cp1252.conf") + " is not UTF-8 and was read as Windows-1252\n");
    EXPECT_EQ(readFile(dir.file("cp1252.bin")), readFile(dir.file("utf8.bin")));
    for (const CliRun& read : {run({"airtime", dir.file("cp1252.conf")}), run({"csv-export", dir.file("cp1252.conf"), "-"})}) {
        EXPECT_EQ(read.err, dir.file("cp1252.conf") + " is not UTF-8 and was read as Windows-1252\n");
    }

    // "ß“" in Windows-1252 is a valid UTF-8 sequence, and no mixture.
    writeFile(dir.file("pairs.conf"), "[Item01]\nCapCode = 8\nLabel = \"\x84Gr\xFC\xDF\x93 \xA7 3\"\n");
    const CliRun pairs = run({"csv-export", dir.file("pairs.conf"), "-"});
    EXPECT_EQ(pairs.err, dir.file("pairs.conf") + " is not UTF-8 and was read as Windows-1252\n");
    EXPECT_NE(pairs.out.find(";\xE2\x80\x9EGr\xC3\xBC\xC3\x9F\xE2\x80\x9C \xC2\xA7 3;"), std::string::npos) << pairs.out;
    // Notepad's "Unicode" without a byte-order mark is named, not read as text with NULs.
    writeFile(dir.file("wide.conf"), std::string("[\0I\0t\0e\0m\0" "0\0" "1\0]\0\n\0", 18));
    EXPECT_EQ(run({"build", dir.file("wide.conf"), dir.file("wide.bin")}).err,
              dir.file("wide.conf") + ": the file is UTF-16 text (little-endian); save the file as UTF-8\n");
}
