// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The programmer window on the real hidapi transport, against the fake transmitter that
// tests/fake_transmitter/with_fake_transmitter.sh puts at /dev/hidraw0.

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "device/hid/hidapi_transport.h"
#include "files/backups.h"
#include "tests/ui/window_driver.h"

namespace vostrel::test {
namespace {

using Messages = std::vector<ShownMessage>;

// How many of this process's open files are `device`: none once it is closed.
int openFilesOf(const std::filesystem::path& device) {
    int open = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) == device) ++open;
    }
    return open;
}

std::string contentOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::filesystem::path> backupsIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() == ".bin") found.push_back(entry.path());  // not the record of Writes
    }
    return found;
}

class RealUsbWindow : public testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("VOSTREL_FAKE_TRANSMITTER")) {
            GTEST_SKIP() << "runs against the fake transmitter, through with_fake_transmitter.sh";
        }
        // Numeric messages of whole groups of five read back exactly as typed.
        driver_.enterRow(1, {QStringLiteral("1234"), 0, 0, QStringLiteral("0123456789")});
        driver_.enterRow(2, {QStringLiteral("8"), 3, 1, QStringLiteral("Call the office, room 12")});
        driver_.enterRow(7, {QStringLiteral("2097151"), 1, 0, QString()});
        driver_.setPreamble(QStringLiteral("800"));
    }

    // The fake's EEPROM file, which it writes through word by word.
    static std::filesystem::path eepromFile() { return qgetenv("VOSTREL_FAKE_EEPROM").toStdString(); }
    static std::filesystem::path backupFolder() { return std::get<std::filesystem::path>(files::backupFolder()); }

    // Makes the transmitter hold calls other than the rows typed in SetUp.
    void holdOtherCalls() {
        WindowDriver other(transport_);
        other.enterRow(3, {QStringLiteral("4711"), 3, 1, QStringLiteral("Previous call")});
        other.clickWrite();
        ASSERT_EQ(headlines(other.messages()).back(), (ShownMessage{QStringLiteral("Success"), QStringLiteral("Data write completed")}));
    }

    device::HidapiTransport transport_;
    WindowDriver driver_{transport_};
};

TEST_F(RealUsbWindow, WriteThenReadGivesTheSameRows) {
    const WindowView written = driver_.view();
    driver_.clickWrite();
    driver_.clickRead();
    EXPECT_EQ(headlines(driver_.messages()), (Messages{{QStringLiteral("Success"), QStringLiteral("Data write completed")}}));
    EXPECT_EQ(driver_.view(), written);
}

// The whole Write through the real USB stack: one backup equal byte for byte to what the
// transmitter held, then the new contents, read back. While the window asks before
// overwriting, it holds the transmitter: another program is told it is busy.
TEST_F(RealUsbWindow, WriteBacksUpWhatWasThereAndNoOtherProgramGetsIn) {
    holdOtherCalls();
    const std::string before = contentOf(eepromFile());
    ASSERT_EQ(before.size(), 512U);
    const std::size_t backupsBefore = backupsIn(backupFolder()).size();
    int secondProgram = -1;
    const std::filesystem::path secondErrors = backupFolder().parent_path() / "second-program.err";
    driver_.presenter().whenShown = [&](const ShownMessage& shown) {
        if (shown.first != QLatin1String("Warn")) return;
        const std::string command = qgetenv("VOSTREL_CLI").toStdString() + " read >/dev/null 2>" + secondErrors.string();
        secondProgram = std::system(command.c_str());
    };
    driver_.clickWrite();
    EXPECT_EQ(driver_.messages().size(), 2U) << "the box, then the outcome";
    EXPECT_EQ(headlines(driver_.messages()).back(),
              (ShownMessage{QStringLiteral("Success"), QStringLiteral("Data write completed")}));
    EXPECT_NE(secondProgram, 0);
    EXPECT_EQ(contentOf(secondErrors), "USB Device busy\n");

    std::vector<std::filesystem::path> backups = backupsIn(backupFolder());
    ASSERT_EQ(backups.size(), backupsBefore + 1);
    std::ranges::sort(backups, {}, [](const auto& file) { return std::filesystem::last_write_time(file); });
    EXPECT_TRUE(contentOf(backups.back()) == before) << backups.back();
    // Named after the port the transmitter is plugged into, never after its hidraw node.
    EXPECT_TRUE(backups.back().filename().string().ends_with("-1-1-2.bin")) << backups.back();
    const WindowView written = driver_.view();
    driver_.clickRead();
    EXPECT_EQ(driver_.view(), written);
}

// A backup folder on a read-only file system (read-only for root too): nothing is sent.
TEST_F(RealUsbWindow, ABackupThatCannotBeSavedSendsNothing) {
    holdOtherCalls();
    const std::string before = contentOf(eepromFile());
    const std::string folder = backupFolder().string();
    std::filesystem::create_directories(folder);
    ASSERT_EQ(::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr), 0);
    ASSERT_EQ(::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0);
    driver_.clickWrite();
    ::umount(folder.c_str());
    ASSERT_EQ(driver_.messages().size(), 2U);
    const QString shown = driver_.messages().back().second;
    EXPECT_TRUE(shown.startsWith(QStringLiteral("No backup of the transmitter could be saved; nothing was written\n") +
                                 QString::fromStdString(folder)))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Read-only file system"))) << shown.toStdString();
    EXPECT_TRUE(contentOf(eepromFile()) == before);
}

// Run with a fake that goes away during the transfer.
TEST_F(RealUsbWindow, ReadFromAnUnpluggedDeviceFailsFastAndLeavesTheWindow) {
    const WindowView typed = driver_.view();
    const auto start = std::chrono::steady_clock::now();
    driver_.clickRead();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(driver_.messages(), (Messages{{QStringLiteral("Error"), QStringLiteral("USB Command fail")}}));
    EXPECT_EQ(driver_.view(), typed);
    EXPECT_EQ(openFilesOf(qgetenv("VOSTREL_FAKE_TRANSMITTER").toStdString()), 0);
}

// Run with a second fake transmitter (VOSTREL_FAKE_EEPROM2) beside the first: Write and
// Read ask which one; the one chosen is written and read, and the other is left as it
// was.
TEST_F(RealUsbWindow, WithTwoAttachedTheOneChosenIsWrittenAndRead) {
    const std::filesystem::path second = qgetenv("VOSTREL_FAKE_EEPROM2").toStdString();
    const std::string firstBefore = contentOf(eepromFile());
    const WindowView written = driver_.view();
    const ChoiceAnswer writeToTheSecond({Qt::Key_Down, Qt::Key_Return});
    driver_.clickWrite();
    const QStringList lines = writeToTheSecond.seen().lines;
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Port 1-1.2: "))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Port 1-1.3: "))) << lines[1].toStdString();
    ASSERT_EQ(driver_.messages().size(), 1U);
    EXPECT_TRUE(driver_.messages().front().second.startsWith(QStringLiteral("Data write completed\nTransmitter: Port 1-1.3\n")))
        << driver_.messages().front().second.toStdString();
    EXPECT_TRUE(contentOf(eepromFile()) == firstBefore);

    const ChoiceAnswer readTheSecond({Qt::Key_Return});
    driver_.clickRead();
    EXPECT_EQ(readTheSecond.seen().selected, 1) << "the window remembers its choice";
    EXPECT_EQ(driver_.view(), written);
    EXPECT_TRUE(contentOf(eepromFile()) == firstBefore);
    EXPECT_FALSE(contentOf(second) == firstBefore);
}

}  // namespace
}  // namespace vostrel::test
