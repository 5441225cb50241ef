// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Shared fixtures of the device tests: recognisable EEPROM contents and checks of the
// reports the emulated transmitter received.

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <variant>
#include <vector>

#include "device/eeprom_programmer.h"
#include "device/emulator/emulated_transmitter.h"
#include "device/transmitter_hold.h"
#include "device/word_transfer.h"
#include "image/eeprom_image.h"

namespace vostrel::device::testing {

inline EmulatorOptions withReportLengths(std::uint16_t input, std::uint16_t output) {
    EmulatorOptions options;
    options.inputReportLength = input;
    options.outputReportLength = output;
    return options;
}

// Words that are neither erased (0xFFFF) nor cleared (0x0000), and differ per word.
inline image::EepromImage patternImage(std::uint16_t base = 0x3C00) {
    image::EepromImage image;
    for (unsigned word = 0; word < image::kImageWords; ++word) {
        image.setWord(word, static_cast<std::uint16_t>(base + word));
    }
    return image;
}

// Checks one received report byte for byte: report ID 0, the command, the word (0
// for a read), the address, and zeros up to the output report length.
inline void expectWordReport(const std::vector<std::uint8_t>& report, std::size_t outputReportLength,
                             WordCommand command, unsigned address, std::uint16_t value) {
    std::vector<std::uint8_t> expected(outputReportLength, 0);
    expected[1] = static_cast<std::uint8_t>(command);
    expected[2] = static_cast<std::uint8_t>(value & 0xFF);
    expected[3] = static_cast<std::uint8_t>(value >> 8);
    expected[4] = static_cast<std::uint8_t>(address);
    EXPECT_EQ(report, expected) << "report for word " << address;
}

inline void expectReadReports(std::span<const std::vector<std::uint8_t>> reports,
                              std::size_t outputReportLength) {
    ASSERT_EQ(reports.size(), image::kImageWords);
    for (unsigned word = 0; word < reports.size(); ++word) {
        expectWordReport(reports[word], outputReportLength, WordCommand::ReadWord, word, 0);
    }
}

// The reports of a Write of words 0..wordCount-1 of `image`, in the order it sends them.
inline void expectWriteReports(std::span<const std::vector<std::uint8_t>> reports,
                               std::size_t outputReportLength, const image::EepromImage& image,
                               unsigned wordCount) {
    const std::vector<WordWrite> order = crashConsistentOrder(image, wordCount);
    ASSERT_EQ(reports.size(), order.size());
    for (std::size_t n = 0; n < order.size(); ++n) {
        expectWordReport(reports[n], outputReportLength, WordCommand::WriteWord, order[n].address, order[n].value);
    }
}

// `before` with the first `taken` reports of a Write of `written` applied.
inline image::EepromImage partlyWritten(image::EepromImage before, const image::EepromImage& written,
                                        unsigned wordCount, std::size_t taken) {
    const std::vector<WordWrite> order = crashConsistentOrder(written, wordCount);
    for (std::size_t n = 0; n < taken && n < order.size(); ++n) before.setWord(order[n].address, order[n].value);
    return before;
}

// Words 0..wordCount-1 of `image` sent under one hold, as a Write sends them but with
// nothing read before or after: the failure, or nothing when every word was sent.
inline std::optional<DeviceFailure> writeOnly(HidTransport& transport, const image::EepromImage& image,
                                              unsigned wordCount, const TransferProgress& progress = {}) {
    return writeUnderOneHold(transport, image, wordCount, WriteSteps{false, false}, {}, progress).failure;
}

inline const DeviceFailure* failureOf(const std::optional<DeviceFailure>& outcome) {
    return outcome ? &*outcome : nullptr;
}

inline const DeviceFailure* failureOf(const ReadOutcome& outcome) { return std::get_if<DeviceFailure>(&outcome); }

// The outcome is the failure with text `key`, shown under the Error title.
template <class Outcome>
void expectFailure(const Outcome& outcome, texts::TextKey key) {
    const DeviceFailure* failure = failureOf(outcome);
    ASSERT_NE(failure, nullptr) << "expected the failure \"" << key.text() << "\"";
    EXPECT_EQ(failure->message.key.text(), key.text());
    EXPECT_EQ(failure->message.title, texts::Title::Error);
    EXPECT_TRUE(failure->message.arguments.empty());
}

}  // namespace vostrel::device::testing
