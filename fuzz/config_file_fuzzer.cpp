// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Configuration files are written by hand and by scripts: the parser must stay in
// bounds on any bytes, keep the window's limits on what it accepts, and whatever it
// accepts and builds must decode into a configuration that reads back unchanged.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>

#include "config/config_file.h"
#include "image/image_builder.h"
#include "image/image_reader.h"
#include "image/pager_text.h"
#include "texts/text_codec.h"

using namespace vostrel;

namespace {

bool withinLimits(const image::ProgrammerEntries& entries) {
    if (entries.preambleText.size() > config::kMaxPreambleCharacters) return false;
    if (entries.repeatIndex < 0 || entries.repeatIndex > 3) return false;
    if (entries.dataRateIndex < -1 || entries.dataRateIndex > 2) return false;
    for (const auto& row : entries.rows) {
        if (row.capcode.size() > config::kMaxCapcodeCharacters ||
            image::composedLength(row.message) > config::kMaxMessageCharacters || !texts::isValidUtf8(row.message)) {
            return false;
        }
        if (row.tone > 3 || row.message.find('\0') != std::string::npos) return false;
        // A capcode is digits only, so it never reads as another pager's number.
        if (!std::ranges::all_of(row.capcode, [](char c) { return c >= '0' && c <= '9'; })) return false;
    }
    return true;
}

// The decoded image, written and parsed again, gives the same rows and settings, and
// builds the same image.
bool decodesToReadableConfig(const image::EepromImage& built, const image::PagerTextSettings& text) {
    const image::ImageContents contents = image::decodeImage(built, text);
    if (contents.readErrorRow) return false;
    const auto reparsed = config::parseConfig(config::writeConfig(image::shownEntries(contents, text)));
    const auto* entries = std::get_if<image::ProgrammerEntries>(&reparsed);
    if (entries == nullptr) return false;
    const auto rebuilt = image::buildImage(*entries);
    const auto* image = std::get_if<image::BuiltImage>(&rebuilt);
    return entries->rows == contents.rows && entries->text == text &&
           entries->dataRateIndex == static_cast<int>(contents.settings.dataRateIndex) &&
           entries->repeatIndex == static_cast<int>(contents.settings.repeatIndex) &&
           entries->preambleText == std::to_string(contents.settings.preambleBits) && image != nullptr &&
           image->image == built;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = config::parseConfig(text);
    const auto* entries = std::get_if<image::ProgrammerEntries>(&parsed);
    if (entries == nullptr) return 0;
    if (!withinLimits(*entries)) __builtin_trap();
    const auto built = image::buildImage(*entries);
    // Transliteration is undone by nothing: what was sent reads back as sent.
    image::PagerTextSettings sent = entries->text;
    sent.transliterate = false;
    if (const auto* image = std::get_if<image::BuiltImage>(&built); image && !decodesToReadableConfig(image->image, sent)) {
        __builtin_trap();
    }
    return 0;
}
