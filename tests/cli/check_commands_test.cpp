// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The installer's checks: fingerprint, verify, devices and --device.

#include <gtest/gtest.h>

#include <random>

#include "cli_test_support.h"
#include "config/config_file.h"
#include "image/fingerprint.h"
#include "image/slot_table.h"
#include "tests/device/emulated_bus.h"

using namespace vostrel;
using namespace vostrel::cli::testing;
using device::EmulatedTransmitter;
using device::EmulatorPresence;

namespace {

// Neither erased nor cleared, and different for every seed: what an earlier Write left.
image::EepromImage leftOver(unsigned seed) {
    image::EepromImage image;
    for (unsigned word = 0; word < image::kImageWords; ++word) {
        image.setWord(word, static_cast<std::uint16_t>(0x9100 + seed * 7 + word));
    }
    return image;
}

// A configuration as an installer might write one: every setting, rows in use here and
// there with messages their pagers show, up to the longest a row takes.
image::ProgrammerEntries randomEntries(std::mt19937& random) {
    const auto below = [&random](unsigned bound) { return static_cast<unsigned>(random() % bound); };
    image::ProgrammerEntries entries;
    entries.dataRateIndex = static_cast<int>(below(3));
    entries.preambleText = std::to_string(576 + below(448));
    entries.repeatIndex = static_cast<int>(below(4));
    for (image::PagerItem& row : entries.rows) {
        if (below(10) < 4) continue;
        row.capcode = std::to_string(1 + below(image::kMaxCapcode));
        row.tone = below(4);
        row.type = row.tone == 3 ? PagerType::Alphanumeric : PagerType::Numeric;
        if (row.tone == 1 || row.tone == 2) continue;  // tone-only calls
        const std::string_view characters = row.tone == 3 ? " !#%&()*+,-./0123456789:;<=>?@ABCXYZ[]^_`abcxyz{|}~"
                                                            : "0123456789 -U[]";
        const unsigned length = below(row.tone == 3 ? 41 : 21);
        for (unsigned n = 0; n < length; ++n) row.message += characters[below(characters.size())];
    }
    return entries;
}

// The 8 hex digits after "fingerprint " in `text`, or at its start.
std::string fingerprintIn(const std::string& text) {
    const std::size_t at = text.find("fingerprint ");
    return text.substr(at == std::string::npos ? 0 : at + 12, 8);
}

std::size_t differingBytes(const std::string& a, const std::string& b) {
    std::size_t count = 0;
    for (std::size_t n = 0; n < std::min(a.size(), b.size()); ++n) count += a[n] != b[n];
    return count;
}

// A configuration, the image built from it and a transmitter after its Write, whose
// words past the rows still hold what was there before, give one fingerprint; verify
// finds the transmitter holding it although the bytes differ; one character changed
// makes verify exit 1 naming that row.
TEST(FingerprintAndVerify, RandomConfigurationsAgreeFromFileToTransmitter) {
    const ScratchDirectory dir;
    const std::string config = dir.file("site.conf");
    const std::string built = dir.file("site.bin");
    const std::string eeprom = dir.file("eeprom.bin");
    std::mt19937 random(29);
    for (unsigned seed = 0; seed < 24; ++seed) {
        SCOPED_TRACE("configuration " + std::to_string(seed));
        image::ProgrammerEntries entries = randomEntries(random);
        // A capcode whose address codeword is the sync or idle codeword cannot be sent.
        if (!std::holds_alternative<image::BuiltImage>(image::buildImage(entries))) continue;
        writeFile(config, config::writeConfig(entries));
        // Sites that do not fit whole are written as far as they fit, as before.
        ASSERT_EQ(run({"build", "--allow-partial", config, built}).status, 0);
        const std::string fingerprint = run({"fingerprint", config}).out.substr(0, 8);
        EXPECT_EQ(run({"fingerprint", config}).out, fingerprint + "  " + config + "\n");
        EXPECT_EQ(run({"fingerprint", built}).out, fingerprint + "  " + built + "\n");
        EXPECT_EQ(fingerprintIn(run({"decode", built}).out), fingerprint);

        writeFile(eeprom, bytesOf(leftOver(seed)));
        ASSERT_EQ(run({"write", "--allow-partial", "--emulator", eeprom, config}).status, 0);
        EXPECT_GT(differingBytes(readFile(eeprom), readFile(built)), 0U) << "a byte compare would cry wolf";
        EXPECT_EQ(fingerprintIn(run({"devices", "--emulator", eeprom}).out), fingerprint);
        const CliRun verified = run({"verify", "--emulator", eeprom, config});
        EXPECT_EQ(verified.status, 0) << verified.out << verified.err;
        EXPECT_TRUE(verified.out.starts_with("Settings and ")) << verified.out;
        EXPECT_TRUE(verified.out.ends_with(" as in " + config + " (fingerprint " + fingerprint + ") on emulated:" +
                                           eeprom + "\n"))
            << verified.out;

        const auto changed = std::ranges::find_if(entries.rows, [](const auto& row) { return !row.message.empty(); });
        if (changed == entries.rows.end()) continue;
        changed->message[0] = changed->message[0] == '1' ? '2' : '1';
        writeFile(config, config::writeConfig(entries));
        const CliRun differs = run({"verify", "--emulator", eeprom, config});
        EXPECT_EQ(differs.status, 1);
        char row[24];
        std::snprintf(row, sizeof row, "\nItem[%02d]: changed ", static_cast<int>(changed - entries.rows.begin() + 1));
        EXPECT_NE(differs.out.find(row), std::string::npos) << differs.out;
        EXPECT_EQ(std::ranges::count(differs.out, '\n'), 3) << "one row differs: " << differs.out;
    }
}

class VerifyCommand : public ::testing::Test {
protected:
    ScratchDirectory dir;
    std::string eeprom = dir.file("eeprom.bin");
    std::string config = dir.file("site.conf");

    void SetUp() override { writeFile(config, kSampleConfig); }

    // verify against a transmitter holding `held`, of the configuration or what `source` names.
    CliRun verifyAgainst(const std::string& held, std::vector<std::string> source = {}) {
        writeFile(eeprom, held);
        if (source.empty()) source = {config};
        std::vector<std::string> arguments{"verify", "--emulator", eeprom};
        arguments.insert(arguments.end(), source.begin(), source.end());
        return run(arguments);
    }
};

// Each difference a transmitter can have from the configuration, in the words of the
// Write's question; the fingerprints of both under the list.
TEST_F(VerifyCommand, ListsEachRowAndSettingThatDiffers) {
    const auto builtFrom = [](const std::function<void(image::ProgrammerEntries&)>& edit) {
        image::ProgrammerEntries entries = sampleEntries();
        edit(entries);
        return std::get<image::BuiltImage>(image::buildImage(entries)).image;
    };
    const std::string row2 = "1234567 A Numeric \"12 34-5U  \"";
    const std::string row5 = "8 D Alphnumeric \"Gruss \"x\"\"";
    const struct {
        const char* transmitter;
        image::EepromImage held;
        std::string lines;
    } cases[] = {
        {"another message", builtFrom([](auto& e) { e.rows[4].message = "Gruss"; }),
         "Item[05]: changed 8 D Alphnumeric \"Gruss\" \u2192 " + row5 + "\n"},
        {"without row 2", builtFrom([](auto& e) { e.rows[1] = {}; }), "Item[02]: new " + row2 + "\n"},
        {"with a row more", builtFrom([](auto& e) { e.rows[8] = {"77", 1, PagerType::Numeric, ""}; }),
         "Item[09]: cleared 77 B Numeric \"\"\n"},
        {"other settings", builtFrom([](auto& e) { e.dataRateIndex = 2; e.repeatIndex = 0; }),
         "Data Rate: 2400 \u2192 512 bps\nReapter: 1 \u2192 3 times\n"},
        {"erased", [] { image::EepromImage erased; erased.bytes.fill(0xFF); return erased; }(),
         "The transmitter is empty (erased)\nItem[02]: new " + row2 +
             "\nItem[05]: new " + row5 + "\nData Rate: - \u2192 512 bps\nPreamble: 1023 \u2192 700 bits\nReapter: 4 "
             "\u2192 3 times\n"},
    };
    const std::string expectedFingerprint = image::fingerprintText(image::contentsFingerprint(sampleImage()));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.transmitter);
        const CliRun result = verifyAgainst(bytesOf(c.held));
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out, "The transmitter emulated:" + eeprom + " does not hold " + config +
                                  "; writing it would change:\n" + c.lines +
                                  "The fingerprint " + image::fingerprintText(image::contentsFingerprint(c.held)) +
                                  " on the transmitter, " + expectedFingerprint + " for " + config + "\n");
    }
}

// An image file is compared as a Read shows it too, with --alphabet for its messages;
// a configuration's rows with their own alphabets.
TEST_F(VerifyCommand, ImageFilesAndAlphabets) {
    writeFile(dir.file("sample.bin"), bytesOf(sampleImage()));
    const std::string fingerprint = image::fingerprintText(image::contentsFingerprint(sampleImage()));
    const CliRun same = verifyAgainst(bytesOf(sampleImage()), {"--image", dir.file("sample.bin")});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "Settings and 2 rows as in " + dir.file("sample.bin") + " (fingerprint " + fingerprint +
                            ") on emulated:" + eeprom + "\n");

    writeFile(config, "[Settings]\nAlphabet = DE\n[Item01]\nCapCode = 8\nTone = D\nMessage = \"Grüße\"\n");
    writeFile(dir.file("held.conf"), "[Item01]\nCapCode = 8\nTone = D\nMessage = \"Gr}ss\"\n");
    ASSERT_EQ(run({"build", dir.file("held.conf"), dir.file("held.bin")}).status, 0);
    const CliRun german = verifyAgainst(readFile(dir.file("held.bin")));
    EXPECT_EQ(german.status, 1);
    EXPECT_NE(german.out.find("Item[01]: changed 8 D Alphnumeric \"Grüss\" \u2192 8 D Alphnumeric \"Grüße\"\n"),
              std::string::npos)
        << german.out;
    const CliRun asUs = verifyAgainst(readFile(dir.file("held.bin")), {"--image", dir.file("held.bin")});
    EXPECT_EQ(asUs.status, 0);
    EXPECT_EQ(run({"verify", "--emulator", eeprom, "--alphabet", "DE", "--image", dir.file("held.bin")}).status, 0);
}

// A transmitter whose row 1 sends "HI" to capcode 8 and then calls capcode 9 does not
// hold a site of that one call: verify names the further call and exits 1, and decode
// and devices name it too. Only the words the fingerprint covers count: then the match
// line's one fingerprint is both.
TEST_F(VerifyCommand, ARowThatPagesAnotherPagerAsWellIsNoMatch) {
    writeFile(config, "[Item01]\nCapCode = 8\nTone = D\nMessage = \"HI\"\n");
    const image::EepromImage site = std::get<image::BuiltImage>(image::buildImage([] {
        image::ProgrammerEntries entries;
        entries.rows[0] = {"8", 3, PagerType::Alphanumeric, "HI"};
        return entries;
    }())).image;
    image::EepromImage held = site;
    const image::SlotEntry slot = image::loadSlot(held, 0);
    held.storeCodeword(slot.end - 2, paging::addressCodeword(9, 0));  // in frame 1, where the idle codeword was
    held.storeCodeword(slot.end, paging::kIdleCodeword);
    image::storeSlot(held, 0, {slot.start, static_cast<std::uint8_t>(slot.end + 2)});
    const std::string further = "Item[01] also holds an address for capcode 9, which the transmitter pages too\n";

    const CliRun result = verifyAgainst(bytesOf(held));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "The transmitter emulated:" + eeprom + " does not hold " + config +
                              "; writing it would change:\n" + further + "The fingerprint " +
                              image::fingerprintText(image::contentsFingerprint(held)) + " on the transmitter, " +
                              image::fingerprintText(image::contentsFingerprint(site)) + " for " + config + "\n");
    EXPECT_NE(run({"devices", "--emulator", eeprom}).out.find("\t" + further.substr(0, further.size() - 1) + "\t"),
              std::string::npos);
    writeFile(dir.file("held.bin"), bytesOf(held));
    const CliRun decoded = run({"decode", dir.file("held.bin")});
    EXPECT_EQ(decoded.err, further);
    EXPECT_NE(decoded.out.find("Message = \"HI\""), std::string::npos);

    // The words after the row may differ; the row's own may not.
    image::EepromImage sameRow = site;
    sameRow.storeCodeword(image::loadSlot(site, 0).end, paging::addressCodeword(9, 0));
    EXPECT_EQ(verifyAgainst(bytesOf(sameRow)).status, 0);
}

// ---- several transmitters ------------------------------------------------------------

class SeveralTransmitters : public ::testing::Test {
protected:
    ScratchDirectory dir;
    std::string config = dir.file("site.conf");
    std::vector<EmulatedTransmitter> transmitters;
    std::unique_ptr<device::testing::EmulatedBus> bus;

    // The first holds what an earlier Write left, the second is erased.
    void SetUp() override {
        writeFile(config, kSampleConfig);
        transmitters.resize(2);
        transmitters[0].setEeprom(leftOver(1));
        bus = std::make_unique<device::testing::EmulatedBus>(
            std::vector<EmulatedTransmitter*>{&transmitters[0], &transmitters[1]});
    }

    CliRun runOnBus(const std::vector<std::string>& arguments) { return run(arguments, forwardingTo(*bus)); }

    std::string fingerprintOf(std::size_t n) const {
        return image::fingerprintText(image::contentsFingerprint(transmitters[n].eeprom()));
    }
};

// --device by port or by path reaches that transmitter alone; without it the first.
TEST_F(SeveralTransmitters, DeviceNamesOneByPortOrPath) {
    transmitters[0].setEeprom(sampleImage());
    const CliRun listed = runOnBus({"devices"});
    EXPECT_EQ(listed.status, 0);
    const std::string reports = "\tinput report 65 bytes\toutput report 65 bytes\n";
    EXPECT_EQ(listed.out, "0|emulated:memory\tport 1-1.2\t512 bps\t2 rows\tfingerprint " + fingerprintOf(0) + reports +
                              "1|emulated:memory\tport 1-1.3\tempty (erased)\tfingerprint " + fingerprintOf(1) + reports);
    EXPECT_EQ(runOnBus({"devices", "--paths"}).out, "0|emulated:memory\n1|emulated:memory\n");
    EXPECT_EQ(runOnBus({"verify", config}).status, 0);
    EXPECT_EQ(runOnBus({"verify", "--device", "1-1.3", config}).status, 1);

    const image::EepromImage firstBefore = transmitters[0].eeprom();
    ASSERT_EQ(runOnBus({"write", "--no-backup", "--device", "1|EMULATED:MEMORY", config}).status, 0);
    EXPECT_EQ(transmitters[0].eeprom(), firstBefore);
    EXPECT_EQ(runOnBus({"verify", "--device", "1-1.3", config}).status, 0);
    EXPECT_EQ(transmitters[0].receivedReports().size(), 2U * image::kImageWords) << "the two verifies of the first";

    const CliRun nowhere = runOnBus({"read", "--device", "1-1.7"});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_EQ(nowhere.err, "USB Device not found !\nNo transmitter is attached as '1-1.7'; 'vostrel-cli devices' "
                           "lists those that are.\n");
}

// A busy transmitter says so on its line; the other is still read; the exit says one
// could not be.
TEST_F(SeveralTransmitters, OneBusyIsSaidOnItsLine) {
    transmitters[0].setPresence(EmulatorPresence::Busy);
    const CliRun listed = runOnBus({"devices"});
    EXPECT_EQ(listed.status, 1);
    EXPECT_TRUE(listed.out.starts_with("0|emulated:memory\tport 1-1.2\tUSB Device busy\tinput report")) << listed.out;
    EXPECT_NE(listed.out.find("\n1|emulated:memory\tport 1-1.3\tempty (erased)"), std::string::npos) << listed.out;

    EXPECT_EQ(runOnBus({"devices", "--json"}).out,
              "{\"devices\": [{\"path\": \"0|emulated:memory\", \"port\": \"1-1.2\", \"name\": null, "
              "\"input_report_bytes\": 65, \"output_report_bytes\": 65, \"read\": false, \"error\": \"USB Device busy\", "
              "\"data_rate\": null, \"rows\": null, \"read_error_row\": null, \"hidden_words\": null, \"erased\": null, "
              "\"fingerprint\": null}, {\"path\": \"1|emulated:memory\", \"port\": \"1-1.3\", \"name\": null, "
              "\"input_report_bytes\": 65, \"output_report_bytes\": 65, \"read\": true, \"error\": null, "
              "\"data_rate\": null, \"rows\": 0, \"read_error_row\": null, \"hidden_words\": [], \"erased\": true, "
              "\"fingerprint\": \"" + fingerprintOf(1) + "\"}]}\n");
    // Without --device a command passes over the busy one, so verify names the one it read.
    const CliRun verified = runOnBus({"verify", config});
    EXPECT_EQ(verified.status, 1);
    EXPECT_TRUE(verified.out.starts_with("The transmitter port 1-1.3 does not hold")) << verified.out;

    const CliRun noRead = runOnBus({"devices", "--no-read"});
    EXPECT_EQ(noRead.status, 0);
    EXPECT_EQ(transmitters[1].openCount(), 3U) << "read by devices, devices --json and verify only";
}

// A name is kept by the port: devices shows it, --device takes it, verify and write
// name the transmitter by it, its backups carry it and backups lists them by it.
TEST_F(SeveralTransmitters, NamesAreKeptByPortAndShownByEveryCommand) {
    removeBackups();
    transmitters[0].setEeprom(sampleImage());
    const CliRun which = runOnBus({"name", "Erdgeschoss"});
    EXPECT_EQ(which.status, 2);
    EXPECT_NE(which.err.find("several transmitters are attached: name one with --device"), std::string::npos);
    const CliRun named = runOnBus({"name", "--device", "1-1.2", " Erdgeschoss "});
    EXPECT_EQ(named.out, "The transmitter at port 1-1.2 is named Erdgeschoss\n");
    const CliRun taken = runOnBus({"name", "--device", "1-1.3", "ERDGESCHOSS"});
    EXPECT_EQ(taken.status, 1);
    EXPECT_EQ(taken.err, "ERDGESCHOSS is the name of the transmitter at 1-1.2 already\n");
    ASSERT_EQ(runOnBus({"name", "--device", "1-1.3", "1. OG"}).status, 0);

    const std::string listed = runOnBus({"devices"}).out;
    EXPECT_NE(listed.find("\tport 1-1.2\tname Erdgeschoss\t512 bps\t2 rows\t"), std::string::npos) << listed;
    EXPECT_NE(listed.find("\tport 1-1.3\tname 1. OG\tempty (erased)\tfingerprint 5D0F5CC7\t"), std::string::npos)
        << listed;
    const std::string json = runOnBus({"devices", "--json"}).out;
    EXPECT_NE(json.find("\"port\": \"1-1.3\", \"name\": \"1. OG\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"rows\": 0, \"read_error_row\": null, \"hidden_words\": [], \"erased\": true"), std::string::npos) << json;

    const CliRun verified = runOnBus({"verify", "--device", "erdgeschoss", config});
    EXPECT_EQ(verified.status, 0);
    EXPECT_TRUE(verified.out.ends_with(") on Erdgeschoss (port 1-1.2)\n")) << verified.out;
    const CliRun onErased = runOnBus({"verify", "--device", "1. OG", config});
    EXPECT_EQ(onErased.status, 1);
    EXPECT_TRUE(onErased.out.starts_with("The transmitter 1. OG (port 1-1.3) does not hold " + config +
                                         "; writing it would change:\nThe transmitter is empty (erased)\nItem[02]: new"))
        << onErased.out;

    const CliRun written = runOnBus({"write", "--device", "1. OG", config});
    EXPECT_EQ(written.status, 0) << written.err;
    ASSERT_EQ(backups().size(), 1U);
    const std::string backup = backups().front().string();
    EXPECT_TRUE(backup.ends_with("-1-OG.bin")) << backup;
    EXPECT_EQ(written.out, "Saved the transmitter's previous contents to " + backup +
                               "\nData write completed\nTransmitter: 1. OG (port 1-1.3)\n");
    EXPECT_EQ(fingerprintOf(1), fingerprintOf(0));
    EXPECT_EQ(runOnBus({"write", "--device", "1-1.3", config}).out,
              "Data write completed\nTransmitter: 1. OG (port 1-1.3)\n"
              "Nothing was sent; the transmitter already held these words\n");

    const CliRun listedBackups = runOnBus({"backups"});
    EXPECT_EQ(listedBackups.status, 0);
    EXPECT_EQ(listedBackups.out.substr(19), "\t1. OG (port 1-1.3)\tempty (erased)\tfingerprint 5D0F5CC7\t" + backup + "\n");
    EXPECT_EQ(runOnBus({"backups", "--device", "1-1.3"}).out, listedBackups.out);
    const CliRun none = runOnBus({"backups", "--device", "Erdgeschoss"});
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("No backups of Erdgeschoss in "), std::string::npos) << none.err;
    const std::string backupsJson = runOnBus({"backups", "--json"}).out;
    EXPECT_NE(backupsJson.find("\"name\": \"1. OG\", \"port\": \"1-1.3\", \"called\": \"1-OG\", \"image\": true, "
                               "\"rows\": 0, \"erased\": true"),
              std::string::npos)
        << backupsJson;

    EXPECT_EQ(runOnBus({"name", "--device", "1. OG", ""}).out, "The transmitter at port 1-1.3 has no name now\n");
    EXPECT_EQ(runOnBus({"devices", "--device", "1-1.3", "--no-read"}).out,
              "1|emulated:memory\tport 1-1.3\tinput report 65 bytes\toutput report 65 bytes\n");
}

}  // namespace
