// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "audio/baseband_audio.h"

#include <string_view>

namespace vostrel::audio {
namespace {

constexpr std::int16_t kLevel = 16000;

// Emits bits as samples, keeping the bit edges on the exact fractional sample
// positions so long runs do not drift.
class NrzWriter {
public:
    NrzWriter(unsigned bitRate, std::vector<std::int16_t>& samples) : bitRate_(bitRate), samples_(samples) {}

    void bit(bool one) {
        ++bits_;
        const std::uint64_t end = bits_ * kSampleRate / bitRate_;
        samples_.insert(samples_.end(), end - samplesWritten_, one ? -kLevel : kLevel);
        samplesWritten_ = end;
    }

    void codeword(paging::Codeword codeword) {
        for (int shift = 31; shift >= 0; --shift) bit(((codeword >> shift) & 1U) != 0);
    }

private:
    std::uint64_t bitRate_;
    std::vector<std::int16_t>& samples_;
    std::uint64_t bits_ = 0;
    std::uint64_t samplesWritten_ = 0;
};

void appendLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void appendTag(std::vector<std::uint8_t>& out, std::string_view tag) {
    for (const char character : tag) out.push_back(static_cast<std::uint8_t>(character));
}

}  // namespace

std::vector<std::int16_t> renderBaseband(std::span<const Transmission> transmissions, const AirSettings& settings) {
    std::vector<std::int16_t> samples;
    NrzWriter writer(settings.bitRate, samples);
    for (const Transmission& transmission : transmissions) {
        for (unsigned round = 0; round < settings.repeat; ++round) {
            for (unsigned i = 0; i < settings.preambleBits; ++i) writer.bit(i % 2 == 0);
            for (const paging::Codeword codeword : transmission) writer.codeword(codeword);
        }
    }
    return samples;
}

std::vector<std::uint8_t> wavFile(std::span<const std::int16_t> samples) {
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    appendTag(out, "RIFF");
    appendLittleEndian(out, 36 + dataBytes, 4);
    appendTag(out, "WAVEfmt ");
    appendLittleEndian(out, 16, 4);               // format chunk size
    appendLittleEndian(out, 1, 2);                // PCM
    appendLittleEndian(out, 1, 2);                // mono
    appendLittleEndian(out, kSampleRate, 4);
    appendLittleEndian(out, kSampleRate * 2, 4);  // bytes per second
    appendLittleEndian(out, 2, 2);                // block align
    appendLittleEndian(out, 16, 2);               // bits per sample
    appendTag(out, "data");
    appendLittleEndian(out, dataBytes, 4);
    for (const std::int16_t sample : samples) appendLittleEndian(out, static_cast<std::uint16_t>(sample), 2);
    return out;
}

}  // namespace vostrel::audio
