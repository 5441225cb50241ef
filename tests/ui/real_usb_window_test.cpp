// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The programmer window on the real hidapi transport, against the fake transmitter that
// tests/fake_transmitter/with_fake_transmitter.sh puts at /dev/hidraw0.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <system_error>

#include "device/hid/hidapi_transport.h"
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

    device::HidapiTransport transport_;
    WindowDriver driver_{transport_};
};

TEST_F(RealUsbWindow, WriteThenReadGivesTheSameRows) {
    const WindowView written = driver_.view();
    driver_.clickWrite();
    driver_.clickRead();
    EXPECT_EQ(driver_.messages(), (Messages{{QStringLiteral("Success"), QStringLiteral("Data write completed")}}));
    EXPECT_EQ(driver_.view(), written);
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

}  // namespace
}  // namespace vostrel::test
