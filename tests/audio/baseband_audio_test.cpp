// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include <gtest/gtest.h>

#include <cstring>

#include "audio/baseband_audio.h"

using namespace vostrel::audio;

namespace {

TEST(Baseband, OnesAreNegativeZerosPositiveAtTheBitRate) {
    const std::vector<Transmission> one{{0x80000000U}};
    const auto samples = renderBaseband(one, {2400, 0, 1});
    // 32 bits at 2400 bps: 32 * 22050 / 2400 = 294 samples.
    ASSERT_EQ(samples.size(), 294U);
    EXPECT_LT(samples.front(), 0);
    EXPECT_LT(samples[8], 0);   // still within the first bit (9.1875 samples)
    EXPECT_GT(samples[10], 0);  // second bit, a zero
    EXPECT_GT(samples.back(), 0);
}

TEST(Baseband, EachTransmissionRepeatedBehindItsOwnPreamble) {
    const std::vector<Transmission> two{{0xFFFFFFFFU}, {0x00000000U}};
    const auto samples = renderBaseband(two, {512, 8, 3});
    const std::size_t bits = 2 * 3 * (8 + 32);
    EXPECT_EQ(samples.size(), bits * 22050 / 512);
    // The preamble starts with a one; after three rounds of the first transmission the
    // second one's rounds follow.
    EXPECT_LT(samples.front(), 0);
    const std::size_t secondStart = (3 * 40 + 8) * 22050 / 512 + 1;
    EXPECT_GT(samples[secondStart], 0);
}

TEST(WavFile, HeaderDescribesMono16BitPcm) {
    const std::vector<std::int16_t> samples{1, -2, 300};
    const auto file = wavFile(samples);
    ASSERT_EQ(file.size(), 44U + 6U);
    EXPECT_EQ(std::memcmp(file.data(), "RIFF", 4), 0);
    EXPECT_EQ(std::memcmp(file.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(file[22], 1);  // channels
    EXPECT_EQ(file[24] | file[25] << 8 | file[26] << 16, 22050);
    EXPECT_EQ(file[34], 16);  // bits per sample
    EXPECT_EQ(file[40], 6);   // data bytes
    EXPECT_EQ(file[46], 0xFE);
    EXPECT_EQ(file[47], 0xFF);
}

}  // namespace
