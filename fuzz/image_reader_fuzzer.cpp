// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Arbitrary 512-byte images into the image reader.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "image/image_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vostrel::image::EepromImage image;
    std::copy_n(data, std::min(size, image.bytes.size()), image.bytes.begin());
    const auto contents = vostrel::image::decodeImage(image);
    for (const auto& row : contents.rows) {
        if (row.message.size() > 129) __builtin_trap();
    }
    return 0;
}
