// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Arbitrary codewords and counts into the transmission decoder.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "paging/transmission_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int count = static_cast<std::int8_t>(data[0]);
    std::vector<vostrel::paging::Codeword> codewords((size - 1) / 4);
    if (!codewords.empty()) std::memcpy(codewords.data(), data + 1, codewords.size() * 4);
    const auto item = vostrel::paging::decodeTransmission(codewords, count);
    if (item && item->textLength > vostrel::paging::kMaxDecodedText) __builtin_trap();
    return 0;
}
