// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <regex>

#include "cli_test_support.h"
#include "device/word_transfer.h"
#include "image/fingerprint.h"
#include "image/slot_table.h"
#include "tests/device/weak_cell_transport.h"

using namespace vostrel;
using namespace vostrel::cli::testing;
using device::EmulatedTransmitter;
using device::EmulatorFault;
using device::EmulatorPresence;

namespace {

// Words that are neither erased nor cleared, so an overwrite shows.
image::EepromImage patternImage(std::uint16_t base = 0x5A00) {
    image::EepromImage image;
    for (unsigned word = 0; word < image::kImageWords; ++word) image.setWord(word, static_cast<std::uint16_t>(base + word));
    return image;
}

void expectWritten(const image::EepromImage& eeprom, const image::EepromImage& written, unsigned count) {
    for (unsigned word = 0; word < image::kImageWords; ++word) {
        const auto expected = word < count ? written.word(word) : patternImage().word(word);
        EXPECT_EQ(eeprom.word(word), expected) << "word " << word;
    }
}

unsigned sampleWordCount() { return image::usedWordCount(sampleImage()); }
std::size_t sampleReportCount() { return device::crashConsistentOrder(sampleImage(), sampleWordCount()).size(); }

std::size_t reportsWithCommand(const EmulatedTransmitter& device, device::WordCommand command) {
    return static_cast<std::size_t>(std::ranges::count_if(device.receivedReports(), [command](const auto& report) {
        return report[device::kCommandByte] == static_cast<std::uint8_t>(command);
    }));
}

// ---- through --emulator FILE ---------------------------------------------------------

class EmulatorFileCommands : public ::testing::Test {
protected:
    ScratchDirectory dir;
    std::string eeprom = dir.file("eeprom.bin");
    std::string config = dir.file("site.conf");

    void SetUp() override {
        writeFile(eeprom, bytesOf(patternImage()));
        writeFile(config, kSampleConfig);
    }
};

TEST_F(EmulatorFileCommands, WriteProgramsTheUsedWordsOnly) {
    const CliRun result = run({"write", "--emulator", eeprom, "--verify", config});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "Data write completed\nTransmitter: emulated:" + eeprom + "\nVerified words 0 to " +
                              std::to_string(sampleWordCount() - 1) + "\n");
    expectWritten(imageOf(readFile(eeprom)), sampleImage(), sampleWordCount());
    EXPECT_TRUE(backups().empty()) << "no backup of an emulated transmitter";
}

TEST_F(EmulatorFileCommands, WriteOfAnImageFileStopsAtItsLastSlot) {
    writeFile(dir.file("in.bin"), bytesOf(sampleImage()));
    const CliRun result = run({"write", "--image", dir.file("in.bin"), "--emulator", eeprom});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Data write completed\nTransmitter: emulated:" + eeprom + "\n");
    expectWritten(imageOf(readFile(eeprom)), sampleImage(), sampleWordCount());
}

TEST_F(EmulatorFileCommands, ReadPrintsOrSavesTheEeprom) {
    writeFile(eeprom, bytesOf(sampleImage()));
    writeFile(dir.file("sample.bin"), bytesOf(sampleImage()));
    const CliRun read = run({"read", "--emulator", eeprom});
    EXPECT_EQ(read.status, 0);
    EXPECT_EQ(read.out, run({"decode", dir.file("sample.bin")}).out);
    const CliRun swedish = run({"read", "--alphabet", "SE", "--emulator", eeprom});
    EXPECT_NE(swedish.out.find("Alphabet = SE\n"), std::string::npos) << swedish.out;
    EXPECT_EQ(swedish.out, run({"decode", "--alphabet", "SE", dir.file("sample.bin")}).out);

    const CliRun saved = run({"read", "--emulator", eeprom, "--image", dir.file("out.bin")});
    EXPECT_EQ(saved.status, 0);
    EXPECT_EQ(saved.out + saved.err, "");
    EXPECT_EQ(readFile(dir.file("out.bin")), bytesOf(sampleImage()));
}

// A new transmitter is empty, not faulty: no settings a Write would refuse, no error.
TEST_F(EmulatorFileCommands, ErasedEepromReadsAsEmpty) {
    const std::string fresh = dir.file("new-device.bin");  // a missing file starts erased
    const CliRun read = run({"read", "--emulator", fresh});
    EXPECT_EQ(read.status, 0);
    EXPECT_EQ(read.out, "# Contents fingerprint 5D0F5CC7\n# Empty (erased): no calls and no settings\n");
    EXPECT_EQ(read.err, "");

    const CliRun saved = run({"read", "--emulator", fresh, "--image", dir.file("erased.bin")});
    EXPECT_EQ(saved.status, 0);
    EXPECT_EQ(saved.err, "Empty (erased): no calls and no settings\n");
    EXPECT_EQ(readFile(dir.file("erased.bin")), std::string(512, '\xFF'));

    // Commands that only look make no file; write makes it.
    writeFile(dir.file("site.conf"), kSampleConfig);
    EXPECT_EQ(run({"devices", "--emulator", fresh}).status, 0);
    EXPECT_EQ(run({"verify", "--emulator", fresh, dir.file("site.conf")}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(fresh));
    EXPECT_EQ(run({"write", "--emulator", fresh, dir.file("site.conf")}).status, 0);
    EXPECT_EQ(readFile(fresh).size(), 512U);
}

TEST_F(EmulatorFileCommands, DevicesListsTheEmulatorAndWhatItHolds) {
    writeFile(eeprom, bytesOf(sampleImage()));
    const std::string reports = "\tinput report 65 bytes\toutput report 65 bytes\n";
    const CliRun result = run({"devices", "--emulator", eeprom});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "emulated:" + eeprom + "\tport unknown\t512 bps\t2 rows\tfingerprint " +
                              image::fingerprintText(image::contentsFingerprint(sampleImage())) + reports);
    EXPECT_EQ(run({"devices", "--no-read", "--emulator", eeprom}).out, "emulated:" + eeprom + "\tport unknown" + reports);
}

TEST_F(EmulatorFileCommands, UnusableFilesAreClearErrors) {
    writeFile(dir.file("short.bin"), "short");
    const CliRun badEmulator = run({"read", "--emulator", dir.file("short.bin")});
    EXPECT_EQ(badEmulator.status, 1);
    EXPECT_NE(badEmulator.err.find("short.bin"), std::string::npos) << badEmulator.err;

    const CliRun badImage = run({"write", "--emulator", eeprom, "--image", dir.file("short.bin")});
    EXPECT_EQ(badImage.status, 1);
    EXPECT_EQ(badImage.err, dir.file("short.bin") + ": not an EEPROM image: 5 bytes instead of 512\n");
    EXPECT_EQ(readFile(eeprom), bytesOf(patternImage()));
}

// The emulated transmitter's file is its EEPROM: a configuration given in its place,
// even one of an EEPROM's size, is never written over; an empty file is a new device.
TEST_F(EmulatorFileCommands, AnEmulatorFileIsAnImageOrNothing) {
    const std::string padded = std::string(kSampleConfig) + std::string(512 - std::strlen(kSampleConfig), '\n');
    writeFile(config, padded);
    const CliRun overConfig = run({"write", "--emulator", config, config});
    EXPECT_EQ(overConfig.status, 1);
    EXPECT_EQ(overConfig.out, "");
    EXPECT_EQ(overConfig.err, "vostrel-cli: emulated EEPROM " + config +
                                  ": not an EEPROM image: 512 bytes of text (an image holds a NUL or a byte that is not UTF-8)\n");
    EXPECT_EQ(readFile(config), padded);

    writeFile(eeprom, "");
    const CliRun onEmpty = run({"read", "--emulator", eeprom});
    EXPECT_EQ(onEmpty.status, 0);
    EXPECT_EQ(onEmpty.out, "# Contents fingerprint 5D0F5CC7\n# Empty (erased): no calls and no settings\n");
    EXPECT_EQ(readFile(eeprom), std::string(512, '\xFF'));
}

TEST_F(EmulatorFileCommands, RefusedBuildsNeverReachTheDevice) {
    writeFile(config, "[Settings]\nPreamble = 1024\n");
    const CliRun result = run({"write", "--emulator", eeprom, config});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, config + ": Preamble value out of range\n");
    EXPECT_EQ(readFile(eeprom), bytesOf(patternImage()));
}

TEST(WriteCommandUsage, NeedsExactlyOneSource) {
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"write"}, {"write", "a.conf", "b.conf"}, {"write", "a.conf", "--image", "b.bin"}}) {
        const CliRun result = run(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_TRUE(result.err.starts_with("vostrel-cli write: give either one CONFIG or --image IN")) << result.err;
    }
}

// ---- "real hardware", played by an emulator the test keeps ----------------------------------

class HardwareCommands : public ::testing::Test {
protected:
    ScratchDirectory dir;
    std::string config = dir.file("site.conf");
    EmulatedTransmitter device;

    void SetUp() override {
        device.setEeprom(patternImage());
        writeFile(config, kSampleConfig);
        removeBackups();
    }
    CliRun runOnDevice(const std::vector<std::string>& arguments) { return run(arguments, forwardingTo(device)); }
};

// In the window's backup folder, named as the window names them: by number, time and
// the transmitter's path.
TEST_F(HardwareCommands, WriteSavesABackupFirst) {
    const CliRun result = runOnDevice({"write", config});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    const auto saved = backups();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_TRUE(std::regex_match(saved[0].filename().string(), std::regex(R"(000001-\d{8}-\d{6}-emulated-memory\.bin)")))
        << saved[0];
    EXPECT_EQ(readFile(saved[0].string()), bytesOf(patternImage()));
    EXPECT_EQ(result.out, "Saved the transmitter's previous contents to " + saved[0].string() +
                              "\nData write completed\nTransmitter: emulated:memory\n");
    EXPECT_EQ(reportsWithCommand(device, device::WordCommand::ReadWord), image::kImageWords);
    EXPECT_EQ(reportsWithCommand(device, device::WordCommand::WriteWord), sampleReportCount());
    expectWritten(device.eeprom(), sampleImage(), sampleWordCount());
}

TEST_F(HardwareCommands, WithoutABackupNothingIsWritten) {
    const std::filesystem::path folder = std::get<std::filesystem::path>(files::backupFolder());
    std::filesystem::remove_all(folder.parent_path());
    std::filesystem::create_directories(folder.parent_path().parent_path());
    writeFile(folder.parent_path().string(), "a file where the folder belongs");
    const CliRun result = runOnDevice({"write", config});
    std::filesystem::remove(folder.parent_path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.err.starts_with(folder.string() + ": cannot make the folder: ")) << result.err;
    EXPECT_TRUE(result.err.ends_with("\nNo backup of the transmitter could be saved; nothing was written\n"))
        << result.err;
    EXPECT_EQ(reportsWithCommand(device, device::WordCommand::WriteWord), 0u);
    EXPECT_EQ(device.eeprom(), patternImage());
}

TEST_F(HardwareCommands, WordsAlreadyThereAreNotSentAgain) {
    ASSERT_EQ(runOnDevice({"write", "--no-backup", config}).status, 0);
    const std::size_t reportsBefore = device.receivedReports().size();
    const CliRun again = runOnDevice({"write", "--verify", config});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, "Data write completed\nTransmitter: emulated:memory\n"
                         "Nothing was sent; the transmitter already held these words\nVerified words 0 to " + std::to_string(sampleWordCount() - 1) + "\n");
    EXPECT_EQ(device.receivedReports().size() - reportsBefore, image::kImageWords) << "only the read";
    EXPECT_TRUE(backups().empty()) << "nothing overwritten, nothing to back up";
}

// An image that cannot be read back is written only with --force. The backup of an
// erased transmitter is no such image: it is put back as it is.
TEST_F(HardwareCommands, DamagedImagesNeedForce) {
    image::EepromImage badRow = sampleImage();
    image::storeSlot(badRow, 4, {1, 9});  // row 5 points into the slot table
    const std::string file = dir.file("in.bin");
    writeFile(file, bytesOf(badRow));
    const std::size_t reportsBefore = device.receivedReports().size();
    const CliRun refused = runOnDevice({"write", "--image", file});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, file + ": the image is damaged: row 5 cannot be read (\"EEPROM read error\"); nothing "
                                  "was written.\nTo write it all the same, add --force.\n");
    EXPECT_EQ(device.receivedReports().size(), reportsBefore);
    const CliRun forced = runOnDevice({"write", "--no-backup", "--verify", "--force", "--image", file});
    EXPECT_EQ(forced.status, 0) << forced.err;
    expectWritten(device.eeprom(), badRow, image::usedWordCount(badRow));

    image::EepromImage erased;
    erased.bytes.fill(0xFF);
    writeFile(file, bytesOf(erased));
    const CliRun putBack = runOnDevice({"write", "--no-backup", "--verify", "--image", file});
    EXPECT_EQ(putBack.status, 0) << putBack.err;
    expectWritten(device.eeprom(), erased, image::usedWordCount(erased));
}

TEST_F(HardwareCommands, NoBackupWritesOnly) {
    const CliRun result = runOnDevice({"write", "--no-backup", config});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Data write completed\nTransmitter: emulated:memory\n");
    EXPECT_TRUE(backups().empty());
    EXPECT_EQ(device.receivedReports().size(), sampleReportCount());
}

TEST_F(HardwareCommands, FailedBackupWritesNothing) {
    device.injectFault(5, EmulatorFault::RefuseSend);
    const CliRun result = runOnDevice({"write", config});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.err.starts_with("USB Command fail\n")) << result.err;
    EXPECT_EQ(reportsWithCommand(device, device::WordCommand::WriteWord), 0u);
    EXPECT_EQ(device.eeprom(), patternImage());
    EXPECT_TRUE(backups().empty());
}

TEST_F(HardwareCommands, DeviceFailuresEndWithTheirMessage) {
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        std::optional<EmulatorPresence> presence;
        std::optional<std::pair<unsigned, EmulatorFault>> fault;
        std::string error;
    } cases[] = {
        {"read, no device", {"read"}, EmulatorPresence::Absent, {}, "USB Device not found !\n"},
        {"write, no device", {"write", "--no-backup", "CONFIG"}, EmulatorPresence::Absent, {}, "USB Device not found !\n"},
        {"devices, none", {"devices"}, EmulatorPresence::Absent, {}, "USB Device not found !\n"},
        {"read, access denied", {"read"}, EmulatorPresence::AccessDenied, {}, "USB Device found, but access denied\n"},
        {"read, no reply", {"read"}, {}, std::pair{100u, EmulatorFault::NoReply}, "USB Command fail\n"},
        {"read, unplugged", {"read", "--image", "OUT"}, {}, std::pair{255u, EmulatorFault::Unplug}, "USB Command fail\n"},
        {"write, unplugged", {"write", "--no-backup", "CONFIG"}, {}, std::pair{20u, EmulatorFault::Unplug}, "USB Command fail\n"},
        {"write, short send", {"write", "--no-backup", "CONFIG"}, {}, std::pair{0u, EmulatorFault::ShortSend}, "USB Command fail\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EmulatedTransmitter target;
        if (c.presence) target.setPresence(*c.presence);
        if (c.fault) target.injectFault(c.fault->first, c.fault->second);
        std::vector<std::string> arguments = c.arguments;
        std::ranges::replace(arguments, std::string("CONFIG"), config);
        std::ranges::replace(arguments, std::string("OUT"), dir.file("out.bin"));
        const CliRun result = run(arguments, forwardingTo(target));
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, c.error);
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.bin")));
        EXPECT_EQ(target.openCount(), target.closeCount());
    }
}

// A Write whose read-back fails is not completed: stdout never says so, and stderr
// names the backup that puts the previous contents back.
TEST_F(HardwareCommands, VerifyNamesTheFirstDifferingWordAndTheBackupToRestore) {
    static constexpr unsigned kBadWord = 30;
    const CliRun result = run({"write", "--verify", config},
                              [this] { return std::make_unique<device::testing::WeakCellTransport>(device, kBadWord); });
    const auto saved = backups();
    ASSERT_EQ(saved.size(), 1u);
    const std::uint16_t written = sampleImage().word(kBadWord);
    char expected[96];
    std::snprintf(expected, sizeof expected, "Verify failed: word 30 reads 0x%04X, 0x%04X was written\n",
                  written ^ 0x01u, written);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "Saved the transmitter's previous contents to " + saved[0].string() + "\n");
    EXPECT_EQ(result.err, expected + ("The previous contents are in the backup " + saved[0].string() +
                                      "; to put them back: vostrel-cli write --image " + saved[0].string() + "\n"));

    // Without a backup there is none to name.
    device.setEeprom(patternImage());
    const CliRun unsaved = run({"write", "--no-backup", "--verify", config},
                               [this] { return std::make_unique<device::testing::WeakCellTransport>(device, kBadWord); });
    EXPECT_EQ(unsaved.status, 1);
    EXPECT_EQ(unsaved.out, "");
    EXPECT_EQ(unsaved.err, expected);
}

// Another program that writes its own contents into the transmitter's file whenever
// the tool holds no lock on it: at each open and after each close of the tool's
// connection. Each attempt writes different words, so a write in a gap shows.
class RivalProgramTransport final : public device::testing::ForwardingTransport {
public:
    explicit RivalProgramTransport(const std::filesystem::path& eepromFile)
        : ForwardingTransport(device_), file_(eepromFile),
          device_(fileBacked(eepromFile, device::ExclusiveLock::kDefaultWait)),
          rival_(fileBacked(eepromFile, std::chrono::milliseconds(0))) {}

    device::OpenResult open(const device::HidDeviceInfo& info) override {
        rivalWrites();
        return ForwardingTransport::open(info);
    }

    // What the transmitter held when the tool's first write-word arrived.
    std::optional<std::string> overwritten;
    unsigned rivalWritesDone = 0;

private:
    static device::EmulatorOptions fileBacked(const std::filesystem::path& file, std::chrono::milliseconds wait) {
        device::EmulatorOptions options;
        options.backingFile = file;
        options.lockWait = wait;
        return options;
    }

    void rivalWrites() {
        try {
            rival_.setEeprom(patternImage(static_cast<std::uint16_t>(0x7000 + 0x100 * rivalWritesDone)));
            ++rivalWritesDone;
        } catch (const std::runtime_error&) {
            // The tool holds the transmitter: the rival is told it is busy.
        }
    }

    class Connection final : public device::testing::ForwardingConnection {
    public:
        Connection(RivalProgramTransport& owner, std::unique_ptr<device::HidConnection> inner)
            : ForwardingConnection(std::move(inner)), owner_(owner) {}
        ~Connection() override {
            closeInner();
            owner_.rivalWrites();
        }
        int writeReport(std::span<const std::uint8_t> report) override {
            const bool writesWord =
                report[device::kCommandByte] == static_cast<std::uint8_t>(device::WordCommand::WriteWord);
            if (writesWord && !owner_.overwritten) owner_.overwritten = readFile(owner_.file_.string());
            return ForwardingConnection::writeReport(report);
        }

    private:
        RivalProgramTransport& owner_;
    };

    std::unique_ptr<device::HidConnection> wrap(std::unique_ptr<device::HidConnection> connection) override {
        return std::make_unique<Connection>(*this, std::move(connection));
    }

    std::filesystem::path file_;
    EmulatedTransmitter device_;
    EmulatedTransmitter rival_;
};

// Two programs: the backup is what the Write overwrote, because no other program can
// get at the transmitter between the backup and the Write.
TEST(TwoPrograms, NoOtherProgramWritesBetweenTheBackupAndTheWrite) {
    ScratchDirectory dir;
    const std::string config = dir.file("site.conf");
    writeFile(config, kSampleConfig);
    writeFile(dir.file("eeprom.bin"), bytesOf(patternImage()));
    RivalProgramTransport transport(dir.file("eeprom.bin"));
    removeBackups();
    const CliRun result = run({"write", "--verify", config}, forwardingTo(transport));
    EXPECT_EQ(result.status, 0) << result.err;
    const auto saved = backups();
    ASSERT_EQ(saved.size(), 1u);
    ASSERT_TRUE(transport.overwritten.has_value());
    EXPECT_TRUE(readFile(saved[0].string()) == *transport.overwritten)
        << "another program wrote between the backup and the Write";
    EXPECT_GE(transport.rivalWritesDone, 1u);
}

// No USB host on the test machines: the real backend finds nothing.
TEST(RealHardware, NothingAttachedIsNotFound) {
    const CliRun devices = run({"devices"}, cli::makeHardwareTransport);
    if (devices.status == 0) GTEST_SKIP() << "a transmitter is attached: " << devices.out;
    EXPECT_EQ(devices.status, 1);
    EXPECT_EQ(devices.err, "USB Device not found !\n");
    const CliRun read = run({"read"}, cli::makeHardwareTransport);
    EXPECT_EQ(read.status, 1);
    EXPECT_EQ(read.err, "USB Device not found !\n");
}

}  // namespace
