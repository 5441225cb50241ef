// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Arbitrary 512-byte images into the image reader.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "image/image_reader.h"
#include "texts/text_codec.h"

// The first byte past the image picks the alphabet the messages are shown in.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vostrel::image::EepromImage image;
    std::copy_n(data, std::min(size, image.bytes.size()), image.bytes.begin());
    vostrel::image::PagerTextSettings text;
    if (size > image.bytes.size()) {
        text.alphabet = vostrel::paging::kAlphabets[data[image.bytes.size()] % vostrel::paging::kAlphabets.size()].alphabet;
    }
    const auto contents = vostrel::image::decodeImage(image, text);
    for (const auto& row : contents.rows) {
        if (!vostrel::texts::isValidUtf8(row.message) || vostrel::texts::codePointCount(row.message) > 129) {
            __builtin_trap();
        }
    }
    return 0;
}
