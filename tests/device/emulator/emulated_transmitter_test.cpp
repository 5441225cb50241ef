// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The emulated transmitter's EEPROM file and its replies, which the command-line
// tool relies on as much as the tests do.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "device/emulator/emulated_transmitter.h"
#include "tests/device/device_test_support.h"

namespace vostrel::device {
namespace {

using testing::patternImage;

class EmulatorFileTest : public ::testing::Test {
protected:
    EmulatorFileTest()
        : directory_(std::filesystem::path(::testing::TempDir()) /
                     ("emulator-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()))) {
        std::filesystem::remove_all(directory_);
        std::filesystem::create_directories(directory_);
    }
    ~EmulatorFileTest() override { std::filesystem::remove_all(directory_); }

    std::filesystem::path file() const { return directory_ / "eeprom.bin"; }

    EmulatorOptions backed() const {
        EmulatorOptions options;
        options.backingFile = file();
        return options;
    }

    // Words 0x5A5A, but for a last byte that no text holds.
    void writeFileOfSize(std::size_t size) const {
        std::string bytes(size, '\x5A');
        if (!bytes.empty()) bytes.back() = '\xFF';
        std::ofstream(file(), std::ios::binary) << bytes;
    }

private:
    std::filesystem::path directory_;
};

image::EepromImage erased() {
    image::EepromImage image;
    image.bytes.fill(0xFF);
    return image;
}

TEST_F(EmulatorFileTest, NewFileReadsBackErased) {
    EmulatedTransmitter transmitter(backed());

    const ReadOutcome outcome = readEeprom(transmitter);

    ASSERT_TRUE(std::holds_alternative<image::EepromImage>(outcome));
    EXPECT_EQ(std::get<image::EepromImage>(outcome), erased());
    EXPECT_EQ(transmitter.path(), "emulated:" + file().string());
}

TEST_F(EmulatorFileTest, WrittenWordsOutliveTheTransmitter) {
    const image::EepromImage written = patternImage();
    // A missing file starts erased, and so does the missing target of a symlink.
    for (const bool dangling : {false, true}) {
#ifdef _WIN32
        if (dangling) continue;  // no symlinks without privileges
#endif
        SCOPED_TRACE(dangling ? "dangling symlink" : "missing file");
        std::filesystem::remove(file());
        if (dangling) std::filesystem::create_symlink("target.bin", file());
        {
            EmulatedTransmitter transmitter(backed());
            ASSERT_FALSE(testing::writeOnly(transmitter, written, 121));
        }
        EmulatedTransmitter reopened(backed());

        for (unsigned word = 0; word < image::kImageWords; ++word) {
            EXPECT_EQ(reopened.eeprom().word(word), word < 121 ? written.word(word) : 0xFFFF) << "word " << word;
        }
        EXPECT_EQ(std::filesystem::file_size(file()), image::kImageBytes);
        EXPECT_EQ(std::filesystem::is_symlink(file()), dangling);
    }
}

TEST_F(EmulatorFileTest, EachWordIsSavedAsItArrives) {
    EmulatedTransmitter transmitter(backed());
    transmitter.injectFault(50, EmulatorFault::Unplug);

    testing::expectFailure(testing::writeOnly(transmitter, patternImage(), 121), texts::keys::kCommandFail);

    // Reports 0-49: the table cleared (words 1-16), then words 17 to 50.
    const EmulatedTransmitter reopened(backed());
    EXPECT_EQ(reopened.eeprom().word(16), 0);
    EXPECT_EQ(reopened.eeprom().word(50), patternImage().word(50));
    EXPECT_EQ(reopened.eeprom().word(51), 0xFFFF);
}

// A second program on the same file is told the device is busy while the first has it
// open, then finds everything the first wrote; the file never shrinks meanwhile.
TEST_F(EmulatorFileTest, SecondProgramIsBusyUntilTheFirstLetsGo) {
    EmulatorOptions options = backed();
    options.lockWait = std::chrono::milliseconds(20);
    EmulatedTransmitter first(options);
    EmulatedTransmitter second(options);
    OpenResult opened = first.open(first.enumerate(kTransmitterVendorId, kTransmitterProductId).front());
    ASSERT_EQ(opened.status, OpenStatus::Opened);
    EXPECT_EQ(std::filesystem::file_size(file()), image::kImageBytes) << "made erased when first opened";

    testing::expectFailure(readEeprom(second), texts::keys::kDeviceBusy);
    testing::expectFailure(testing::writeOnly(second, patternImage(), 17), texts::keys::kDeviceBusy);
    const std::vector<std::uint8_t> writeWord{0, 3, 0xCD, 0xAB, 7, 0, 0, 0, 0};
    std::vector<std::uint8_t> request(65, 0);
    std::copy(writeWord.begin(), writeWord.end(), request.begin());
    EXPECT_EQ(opened.connection->writeReport(request), 65);
    EXPECT_EQ(std::filesystem::file_size(file()), image::kImageBytes);
    opened.connection.reset();

    const ReadOutcome read = readEeprom(second);
    ASSERT_TRUE(std::holds_alternative<image::EepromImage>(read));
    image::EepromImage expected = erased();
    expected.setWord(7, 0xABCD);
    EXPECT_EQ(std::get<image::EepromImage>(read), expected);
}

TEST_F(EmulatorFileTest, FileNobodyMayWriteDeniesAccessAndStaysAsItIs) {
    writeFileOfSize(image::kImageBytes);
    std::filesystem::permissions(file(), std::filesystem::perms(0444));
    EmulatedTransmitter transmitter(backed());

    testing::expectFailure(testing::writeOnly(transmitter, patternImage(), 17), texts::keys::kDeviceAccessDenied);

    EXPECT_EQ(std::filesystem::status(file()).permissions(), std::filesystem::perms(0444));
    EXPECT_EQ(EmulatedTransmitter(backed()).eeprom().word(0), 0x5A5A);
    // Windows will not remove a read-only file.
    std::filesystem::permissions(file(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
}

// A file that is no image (another size, or text of that size as a configuration
// is) would be overwritten by the first Write: it is refused by name.
TEST_F(EmulatorFileTest, FileThatIsNoImageIsAnErrorNamingIt) {
    for (const std::string& bytes : {std::string(1, '\xFF'), std::string(511, '\xFF'), std::string(513, '\xFF'),
                                     std::string(1024, '\0'), std::string(512, '\x5A')}) {
        std::ofstream(file(), std::ios::binary) << bytes;
        try {
            EmulatedTransmitter transmitter(backed());
            ADD_FAILURE() << "a file of " << bytes.size() << " bytes was taken";
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(file().string()), std::string::npos) << error.what();
        }
    }
}

TEST_F(EmulatorFileTest, FileOfTheRightSizeIsTakenAsItIs) {
    writeFileOfSize(image::kImageBytes);

    const EmulatedTransmitter transmitter(backed());

    EXPECT_EQ(transmitter.eeprom().word(0), 0x5A5A);
    EXPECT_EQ(transmitter.eeprom().word(255), 0xFF5A);
}

TEST(EmulatedReplies, ReadWordIsAnsweredWithReportIdThenTheWordInBytesTwoAndThree) {
    EmulatedTransmitter transmitter(testing::withReportLengths(9, 9));
    image::EepromImage contents = patternImage();
    contents.setWord(0x42, 0xBEEF);
    transmitter.setEeprom(contents);
    const std::vector<HidDeviceInfo> devices = transmitter.enumerate(kTransmitterVendorId, kTransmitterProductId);
    ASSERT_EQ(devices.size(), 1U);
    OpenResult opened = transmitter.open(devices.front());
    ASSERT_EQ(opened.status, OpenStatus::Opened);

    const std::vector<std::uint8_t> request{0, 2, 0, 0, 0x42, 0, 0, 0, 0};
    EXPECT_EQ(opened.connection->writeReport(request), 9);
    std::vector<std::uint8_t> reply(9, 0x77);
    EXPECT_EQ(opened.connection->readReport(reply, std::chrono::milliseconds(10)), 9);
    EXPECT_EQ(reply, (std::vector<std::uint8_t>{0, 0, 0xEF, 0xBE, 0, 0, 0, 0, 0}));

    EXPECT_EQ(opened.connection->readReport(reply, std::chrono::milliseconds(10)), 0) << "one reply per report";
    EXPECT_EQ(opened.connection->writeReport(std::vector<std::uint8_t>(8, 0)), -1) << "only whole reports";
}

}  // namespace
}  // namespace vostrel::device
