// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Running vostrel-cli as a function in the tests, with files in a scratch directory
// and the "real hardware" played by an emulated transmitter the test owns.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "device/emulator/emulated_transmitter.h"
#include "files/backups.h"
#include "image/image_builder.h"
#include "image/slot_table.h"
#include "paging/codeword.h"
#include "tests/device/forwarding_transport.h"

namespace vostrel::cli::testing {

using paging::PagerType;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

using HardwareFactory = std::function<std::unique_ptr<device::HidTransport>()>;

// Hands the tool a transport that forwards to one the test keeps, so the test can
// prepare it, inject faults and look at its traffic afterwards.
inline HardwareFactory forwardingTo(device::HidTransport& target) {
    return [&target] { return std::make_unique<device::testing::ForwardingTransport>(target); };
}

// No transmitter on the bus.
inline std::unique_ptr<device::HidTransport> noHardware() {
    auto absent = std::make_unique<device::EmulatedTransmitter>();
    absent->setPresence(device::EmulatorPresence::Absent);
    return absent;
}

// `onTerminal`: standard output is a terminal.
inline CliRun run(const std::vector<std::string>& arguments, const HardwareFactory& hardware = noHardware,
                  bool onTerminal = false) {
    std::ostringstream out;
    std::ostringstream err;
    CliContext context{out, err, hardware, {}, onTerminal};
    CliRun result;
    result.status = runCli(arguments, context);
    result.out = out.str();
    result.err = err.str();
    return result;
}

// A fresh directory for one test, removed afterwards. A random part keeps two test runs
// on one machine (two checkouts, two build trees) out of each other's way.
class ScratchDirectory {
public:
    ScratchDirectory() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("vostrel-cli-test-" + std::string(test->test_suite_name()) + "-" + test->name() + "-" +
                 std::to_string(std::random_device{}()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDirectory() { std::filesystem::remove_all(path_); }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The backups in the backup folder, which cli_test_main.cpp keeps apart from the user's;
// not the record of Writes beside them.
inline std::vector<std::filesystem::path> backups() {
    std::vector<std::filesystem::path> found;
    std::error_code missing;
    const auto folder = std::get<std::filesystem::path>(files::backupFolder());
    for (const auto& entry : std::filesystem::directory_iterator(folder, missing)) {
        if (entry.path().extension() == ".bin") found.push_back(entry.path());
    }
    return found;
}

inline void removeBackups() { std::filesystem::remove_all(std::get<std::filesystem::path>(files::backupFolder())); }

inline std::string bytesOf(const image::EepromImage& image) {
    return {reinterpret_cast<const char*>(image.bytes.data()), image.bytes.size()};
}

inline image::EepromImage imageOf(const std::string& bytes) {
    image::EepromImage image;
    EXPECT_EQ(bytes.size(), image.bytes.size());
    std::copy_n(bytes.begin(), std::min(bytes.size(), image.bytes.size()), image.bytes.begin());
    return image;
}

// A configuration with two rows in use and the image it builds to.
inline constexpr const char* kSampleConfig =
    "[Settings]\nDataRate = 512\nPreamble = 700\nRepeat = 3\n"
    "[Item02]\nCapCode = 1234567\nTone = A\nType = Numeric\nMessage = \"12 34-5U\"\n"
    "[Item05]\nCapCode = 8\nTone = D\nType = Alphanumeric\nMessage = \"Gruss \\\"x\\\"\"\n";

inline image::ProgrammerEntries sampleEntries() {
    image::ProgrammerEntries entries;
    entries.dataRateIndex = 0;
    entries.preambleText = "700";
    entries.repeatIndex = 2;
    entries.rows[1] = {"1234567", 0, PagerType::Numeric, "12 34-5U"};
    entries.rows[4] = {"8", 3, PagerType::Alphanumeric, "Gruss \"x\""};
    return entries;
}

inline image::EepromImage sampleImage() {
    return std::get<image::BuiltImage>(image::buildImage(sampleEntries())).image;
}

// The sample image with a data-rate index that names no rate, as read from a device.
inline image::EepromImage noRateImage() {
    image::EepromImage image = sampleImage();
    image.bytes[1] |= 0x30;
    return image;
}

// The sample image whose row 5 has lost its sync codeword.
inline image::EepromImage damagedImage() {
    image::EepromImage image = sampleImage();
    image.storeCodeword(image::loadSlot(image, 4).start, paging::kIdleCodeword);
    return image;
}

}  // namespace vostrel::cli::testing
