// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The audio command: what the transmitter would send on air, as a WAV file, so that
// the stored transmissions can be checked with any POCSAG decoder.

#include <array>
#include <algorithm>
#include <charconv>
#include <limits>

#include "audio/baseband_audio.h"
#include "cli/command.h"
#include "config/config_file.h"
#include "files/whole_file.h"
#include "image/slot_table.h"
#include "image/transmitter_settings.h"
#include "files/utf8_path.h"

namespace vostrel::cli {
namespace {

constexpr std::string_view kAudio = "audio";

// The transmissions of the rows in use, in row order, as the slot table gives them.
std::vector<audio::Transmission> storedTransmissions(const image::EepromImage& image) {
    std::vector<audio::Transmission> transmissions;
    for (unsigned row = 0; row < image::kRowCount; ++row) {
        const image::SlotEntry slot = image::loadSlot(image, row);
        if (!slot.inUse() || slot.codewordCount() <= 0) continue;
        audio::Transmission& transmission = transmissions.emplace_back();
        for (int n = 0; n < slot.codewordCount(); ++n) {
            transmission.push_back(image.loadCodeword(slot.start + 2 * static_cast<unsigned>(n)));
        }
    }
    return transmissions;
}

// A 512-byte file that is no configuration is an image; anything else is a
// configuration, built as a Write would build it.
std::optional<image::EepromImage> loadInput(const std::filesystem::path& path, Transliteration transliteration,
                                            CliContext& context) {
    const auto text = files::readWholeFile(path, files::kMaxFileBytes);
    if (const auto* error = std::get_if<files::FileError>(&text)) {
        failure(context, error->what);
        return std::nullopt;
    }
    if (const auto parsed = config::parseConfigOrImage(std::get<std::string>(text));
        const auto* image = std::get_if<image::EepromImage>(&parsed)) {
        // A damaged image would sound like calls the transmitter never sends.
        if (reportImageReadable(*image, context) != kExitSuccess) return std::nullopt;
        return *image;
    }
    auto built = buildConfigFile(path, transliteration, context);
    if (!built) return std::nullopt;
    return built->image;
}

// The option's number; text that is no number gives a value outside every option's range.
std::optional<unsigned> numberOption(const Arguments& arguments, std::string_view name) {
    const auto text = arguments.value(name);
    if (!text) return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size()) return std::numeric_limits<unsigned>::max();
    return value;
}

// Settings from the image's header, overridden by the options; a usage error text
// when an option is out of its range.
std::variant<audio::AirSettings, std::string> airSettings(const Arguments& arguments,
                                                          const image::TransmitterSettings& stored) {
    audio::AirSettings settings;
    settings.bitRate = stored.dataRateIndex < image::kDataRates.size() ? image::kDataRates[stored.dataRateIndex] : 0;
    settings.preambleBits = stored.preambleBits;
    settings.repeat = stored.repeatIndex + 1;
    settings.bitRate = numberOption(arguments, "rate").value_or(settings.bitRate);
    settings.preambleBits = numberOption(arguments, "preamble").value_or(settings.preambleBits);
    settings.repeat = numberOption(arguments, "repeat").value_or(settings.repeat);
    if (std::ranges::find(image::kDataRates, settings.bitRate) == image::kDataRates.end()) {
        return std::string("--rate must be 512, 1200 or 2400 (the input names no rate)");
    }
    if (settings.preambleBits > image::kMaxPreambleBits) return std::string("--preamble must be 0 to 1023 bits");
    if (settings.repeat < 1 || settings.repeat > image::kRepeatChoices) return std::string("--repeat must be 1 to 4");
    return settings;
}

int runAudio(const Arguments& arguments, CliContext& context) {
    if (arguments.positionals.size() != 2) return usageError(context, kAudio, "expected an input file and OUT.wav");
    const std::string& input = arguments.positionals[0];
    const std::string& output = arguments.positionals[1];
    if (outputIsInput(output, input, context)) return kExitFailure;
    const auto image = loadInput(files::pathFromUtf8(input), chosenTransliteration(arguments), context);
    if (!image) return kExitFailure;
    const auto settings = airSettings(arguments, image::loadHeader(*image));
    if (const auto* error = std::get_if<std::string>(&settings)) return usageError(context, kAudio, *error);

    const auto transmissions = storedTransmissions(*image);
    const auto wav = audio::wavFile(audio::renderBaseband(transmissions, std::get<audio::AirSettings>(settings)));
    const std::string_view bytes(reinterpret_cast<const char*>(wav.data()), wav.size());
    return saveOutput(output, bytes, context);
}

constexpr std::array kAudioOptions = {
    OptionSpec{"rate", "512|1200|2400", "bit rate in bps (default: the input's data rate)"},
    OptionSpec{"preamble", "BITS", "preamble length, 0 to 1023 (default: the input's)"},
    OptionSpec{"repeat", "N", "how often each transmission is sent, 1 to 4 (default: the input's)"},
    kTransliterateOption,
};

constexpr std::array<Command, 1> kAudioCommands = {{
    {kAudio, "[--rate 512|1200|2400] [--preamble BITS] [--repeat N] [--transliterate] (CONFIG | IMAGE) OUT.wav",
     "render the stored transmissions as baseband audio (WAV)",
     "Writes what the transmitter sends on air as 16-bit mono WAV at 22050 Hz, NRZ with\n"
     "logical 1 negative and 0 positive: for every row in use, in row order, the preamble\n"
     "(alternating 1010...) and the row's transmission, repeated as set. The input is a\n"
     "configuration (built as a Write would build it) or a 512-byte image file; an image\n"
     "that decode calls damaged is refused. OUT.wav '-' is standard output.\n",
     kAudioOptions, runAudio},
}};

}  // namespace

std::span<const Command> audioCommands() { return kAudioCommands; }

}  // namespace vostrel::cli
