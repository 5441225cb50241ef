// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Renders what the transmitter sends on air as baseband NRZ audio, so that the stored
// transmissions can be checked with any POCSAG decoder or fed to a radio.

#include <cstdint>
#include <span>
#include <vector>

#include "paging/codeword.h"

namespace vostrel::audio {

inline constexpr unsigned kSampleRate = 22050;

struct AirSettings {
    unsigned bitRate = 1200;     // 512, 1200 or 2400 bps
    unsigned preambleBits = 576; // alternating 1010... before the transmissions
    unsigned repeat = 1;         // how often the whole sequence is sent
};

using Transmission = std::vector<paging::Codeword>;

// 16-bit samples: logical 1 negative, 0 positive. Each transmission, in order, is sent
// `repeat` times, each time behind its own preamble, so that a receiver synchronises
// on every one (a transmission's last batch is not filled up). Codewords go bit 31 first.
std::vector<std::int16_t> renderBaseband(std::span<const Transmission> transmissions, const AirSettings& settings);

// A complete mono 16-bit PCM WAV file at kSampleRate.
std::vector<std::uint8_t> wavFile(std::span<const std::int16_t> samples);

}  // namespace vostrel::audio
