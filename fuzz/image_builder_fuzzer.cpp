// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Arbitrary window contents into the image builder. Fields are separated by 0x1F:
// preamble, data-rate index, repeat index, then capcode, tone, type and message of
// each row in turn. Whatever the input, a built image must read back with every
// placed row at the capcode it was typed with, and no slot past the image's end.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "image/image_builder.h"
#include "image/image_reader.h"
#include "image/slot_table.h"

namespace {

using namespace vostrel::image;

std::vector<std::string> fields(std::string_view input) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = input.find('\x1F', start)) != std::string_view::npos; start = end + 1) {
        out.emplace_back(input.substr(start, end - start));
    }
    out.emplace_back(input.substr(start));
    return out;
}

int smallNumber(const std::string& text) { return text.empty() ? 0 : static_cast<std::int8_t>(text[0]); }

ProgrammerEntries entriesFrom(const std::vector<std::string>& f) {
    const auto field = [&](std::size_t i) { return i < f.size() ? f[i] : std::string(); };
    ProgrammerEntries entries;
    entries.preambleText = field(0);
    entries.dataRateIndex = smallNumber(field(1)) % 4;
    entries.repeatIndex = (smallNumber(field(2)) & 3);
    for (unsigned row = 0; row < kRowCount; ++row) {
        const std::size_t base = 3 + 4 * row;
        entries.rows[row].capcode = field(base);
        entries.rows[row].tone = static_cast<unsigned>(smallNumber(field(base + 1))) & 3U;
        entries.rows[row].type = (smallNumber(field(base + 2)) & 1) ? vostrel::paging::PagerType::Alphanumeric
                                                                   : vostrel::paging::PagerType::Numeric;
        entries.rows[row].message = field(base + 3);
    }
    return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ProgrammerEntries entries =
        entriesFrom(fields(std::string_view(reinterpret_cast<const char*>(data), size)));
    const BuildOutcome outcome = buildImage(entries);
    const auto* built = std::get_if<BuiltImage>(&outcome);
    if (built == nullptr) return 0;
    if (built->usedWords > kMaxEndWord) __builtin_trap();
    const ImageContents contents = decodeImage(built->image);
    if (contents.readErrorRow) __builtin_trap();
    for (unsigned row = 0; row < kRowCount; ++row) {
        if (!loadSlot(built->image, row).inUse()) continue;
        if (std::stoll(contents.rows[row].capcode) != leadingInteger(entries.rows[row].capcode)) __builtin_trap();
    }
    return 0;
}
