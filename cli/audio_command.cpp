// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The commands about what the transmitter sends on air: audio renders it as a WAV
// file, so that the stored transmissions can be checked with any POCSAG decoder;
// airtime says how long each stored call keeps the transmitter on air.

#include <array>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>

#include "audio/baseband_audio.h"
#include "cli/command.h"
#include "files/utf8_path.h"
#include "image/air_time.h"
#include "image/image_reader.h"
#include "image/slot_table.h"
#include "image/transmitter_settings.h"
#include "texts/message_format.h"

namespace vostrel::cli {
namespace {

constexpr std::string_view kAudio = "audio";
constexpr std::string_view kAirtime = "airtime";

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

// The option's number; text that is no number gives a value outside every option's range.
std::optional<unsigned> numberOption(const Arguments& arguments, std::string_view name) {
    const auto text = arguments.value(name);
    if (!text) return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size()) return std::numeric_limits<unsigned>::max();
    return value;
}

bool isDataRate(unsigned rate) { return std::ranges::find(image::kDataRates, rate) != image::kDataRates.end(); }

// The usage error of an option out of its range, found before the input is read.
std::optional<std::string> optionError(const Arguments& arguments) {
    if (const auto rate = numberOption(arguments, "rate"); rate && !isDataRate(*rate)) {
        return "--rate must be 512, 1200 or 2400";
    }
    if (numberOption(arguments, "preamble").value_or(0) > image::kMaxPreambleBits) {
        return "--preamble must be 0 to 1023 bits";
    }
    if (const auto repeat = numberOption(arguments, "repeat"); repeat && (*repeat < 1 || *repeat > image::kRepeatChoices)) {
        return "--repeat must be 1 to 4";
    }
    return std::nullopt;
}

// Settings from the image's header, overridden by the options; a usage error text
// when the input names no rate and no option gives one.
std::variant<audio::AirSettings, std::string> airSettings(const Arguments& arguments,
                                                          const image::TransmitterSettings& stored) {
    audio::AirSettings settings;
    settings.bitRate = stored.dataRateIndex < image::kDataRates.size() ? image::kDataRates[stored.dataRateIndex] : 0;
    settings.preambleBits = stored.preambleBits;
    settings.repeat = stored.repeatIndex + 1;
    settings.bitRate = numberOption(arguments, "rate").value_or(settings.bitRate);
    settings.preambleBits = numberOption(arguments, "preamble").value_or(settings.preambleBits);
    settings.repeat = numberOption(arguments, "repeat").value_or(settings.repeat);
    if (!isDataRate(settings.bitRate)) return std::string("--rate must be 512, 1200 or 2400 (the input names no rate)");
    return settings;
}

int runAudio(const Arguments& arguments, CliContext& context) {
    if (arguments.positionals.size() != 2) return usageError(context, kAudio, "expected an input file and OUT.wav");
    const std::string& input = arguments.positionals[0];
    const std::string& output = arguments.positionals[1];
    if (const auto empty = refuseEmptyFileName(context, kAudio, {input, output})) return *empty;
    if (const auto error = optionError(arguments)) return usageError(context, kAudio, *error);
    if (outputIsInput(output, files::pathFromUtf8(input), context)) return kExitFailure;
    const auto loaded = loadConfigOrImage(files::pathFromUtf8(input), chosenTransliteration(arguments), context);
    if (!loaded) return kExitFailure;
    const image::EepromImage& image = loaded->image;
    const auto settings = airSettings(arguments, image::loadHeader(image));
    if (const auto* error = std::get_if<std::string>(&settings)) return usageError(context, kAudio, *error);

    const auto transmissions = storedTransmissions(image);
    const auto wav = audio::wavFile(audio::renderBaseband(transmissions, std::get<audio::AirSettings>(settings)));
    const std::string_view bytes(reinterpret_cast<const char*>(wav.data()), wav.size());
    return saveOutput(output, bytes, context);
}

// Seconds to `decimals` places, always with a decimal point: a figure for scripts, so
// the process's locale must not change it.
std::string seconds(double value, int decimals) {
    char digits[64];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(digits, end) : std::string("0");
}
// The table's figures, for people.
std::string milliseconds(double value) { return seconds(value, 3); }
// --json's: at 2400 bit/s one bit lasts 417 microseconds, so a total rounded to the
// millisecond could lie more than a bit away from the length of the audio.
std::string microseconds(double value) { return seconds(value, 6); }

// The capcodes of the stored rows, as decode prints them.
std::array<long long, image::kRowCount> storedCapcodes(const image::EepromImage& image) {
    const image::ImageContents contents = image::decodeImage(image);
    std::array<long long, image::kRowCount> capcodes{};
    for (unsigned row = 0; row < image::kRowCount; ++row) capcodes[row] = image::leadingInteger(contents.rows[row].capcode);
    return capcodes;
}

// "row 1 over 5 s, under it with 2400 bit/s or repeat 1", as the window's line ends.
std::string limitHint(const image::TriggerLimitCheck& limit) {
    std::vector<std::string> remedies;
    for (const image::Remedy& remedy : limit.remedies) remedies.push_back(texts::formatMessage(image::remedyMessage(remedy)));
    std::string hint = texts::formatMessage(image::overLimitMessage(limit, std::nullopt));
    if (!remedies.empty()) hint.append(" ").append(texts::joinedAlternatives(remedies, texts::keys::kOr.text()));
    return hint;
}

void printAirTimeTable(const image::AirTime& air, const std::array<long long, image::kRowCount>& capcodes,
                       std::ostream& out) {
    out << air.bitRate << " bit/s, preamble " << air.preambleBits << " bits, repeat " << air.repeat << '\n'
        << "row  capcode  codewords  s/repetition  s/trigger\n";
    for (const image::RowAirTime& row : air.rows) {
        char line[96];
        std::snprintf(line, sizeof line, "%3u  %7lld  %9zu  %12s  %9s\n", row.row + 1, capcodes[row.row],
                      row.stored.codewords, milliseconds(row.secondsPerRepetition).c_str(),
                      milliseconds(row.secondsPerTrigger).c_str());
        out << line;
    }
    char total[96];
    std::snprintf(total, sizeof total, "total%43s\n", milliseconds(air.totalSeconds).c_str());
    out << total;
    if (const auto limit = image::checkTriggerLimit(air); limit.over()) out << limitHint(limit) << '\n';
}

// A remedy as the settings it changes, with their new values: {"rate": 2400}.
void printRemedyJson(const image::Remedy& remedy, std::ostream& out) {
    using Change = image::Remedy::Change;
    switch (remedy.change) {
        case Change::Rate: out << "{\"rate\": " << remedy.bitRate << '}'; return;
        case Change::Repeat: out << "{\"repeat\": " << remedy.repeat << '}'; return;
        case Change::Preamble: out << "{\"preamble_bits\": " << remedy.preambleBits << '}'; return;
        case Change::RateAndRepeat:
            out << "{\"rate\": " << remedy.bitRate << ", \"repeat\": " << remedy.repeat << '}';
            return;
    }
}

void printLimitJson(const image::TriggerLimitCheck& limit, std::ostream& out) {
    out << "\"limit_seconds\": " << image::kTriggerLimitSeconds << ", \"over_limit_rows\": [";
    const char* separator = "";
    for (const unsigned row : limit.rowsOver) {
        out << separator << row + 1;
        separator = ", ";
    }
    out << "], \"remedies\": [";
    separator = "";
    for (const image::Remedy& remedy : limit.remedies) {
        out << separator;
        printRemedyJson(remedy, out);
        separator = ", ";
    }
    out << ']';
}

void printAirTimeJson(const image::AirTime& air, const std::array<long long, image::kRowCount>& capcodes,
                      std::ostream& out) {
    out << "{\"rate\": " << air.bitRate << ", \"preamble_bits\": " << air.preambleBits
        << ", \"repeat\": " << air.repeat << ", \"rows\": [";
    const char* separator = "";
    for (const image::RowAirTime& row : air.rows) {
        out << separator << "{\"row\": " << row.row + 1 << ", \"capcode\": " << capcodes[row.row]
            << ", \"codewords\": " << row.stored.codewords << ", \"bits_per_repetition\": " << row.bitsPerRepetition
            << ", \"bits_per_trigger\": " << row.bitsPerTrigger
            << ", \"seconds_per_repetition\": " << microseconds(row.secondsPerRepetition)
            << ", \"seconds_per_trigger\": " << microseconds(row.secondsPerTrigger) << '}';
        separator = ", ";
    }
    out << "], \"total_bits\": " << air.totalBits << ", \"total_seconds\": " << microseconds(air.totalSeconds)
        << ", ";
    printLimitJson(image::checkTriggerLimit(air), out);
    out << "}\n";
}

int runAirtime(const Arguments& arguments, CliContext& context) {
    if (arguments.positionals.size() != 1) return usageError(context, kAirtime, "expected one CONFIG or IMAGE");
    const std::string& input = arguments.positionals[0];
    if (const auto empty = refuseEmptyFileName(context, kAirtime, {input})) return *empty;
    const auto loaded = loadConfigOrImage(files::pathFromUtf8(input), Transliteration::AsConfigured, context);
    if (!loaded) return kExitFailure;
    const image::EepromImage& image = loaded->image;
    const auto air = image::airTime(image::loadHeader(image), image::storedRows(image));
    if (!air) return failure(context, input + ": names no data rate (index 3), so it has no time on air");
    const auto capcodes = storedCapcodes(image);
    if (arguments.has("json")) {
        printAirTimeJson(*air, capcodes, context.out);
    } else {
        printAirTimeTable(*air, capcodes, context.out);
    }
    return kExitSuccess;
}

constexpr std::array kAudioOptions = {
    OptionSpec{"rate", "512|1200|2400", "bit rate in bps (default: the input's data rate)"},
    OptionSpec{"preamble", "BITS", "preamble length, 0 to 1023 (default: the input's)"},
    OptionSpec{"repeat", "N", "how often each transmission is sent, 1 to 4 (default: the input's)"},
    kTransliterateOption,
};

constexpr std::array kAirtimeOptions = {
    OptionSpec{"json", "", "print the figures, the rows over 5 s and the remedies as one JSON object, for scripts"},
};

constexpr std::array<Command, 2> kAudioCommands = {{
    {kAudio, "[--rate 512|1200|2400] [--preamble BITS] [--repeat N] [--transliterate] (CONFIG | IMAGE) OUT.wav",
     "render the stored transmissions as baseband audio (WAV)",
     "Writes what the transmitter sends on air as 16-bit mono WAV at 22050 Hz, NRZ with\n"
     "logical 1 negative and 0 positive: for every row in use, in row order, the preamble\n"
     "(alternating 1010...) and the row's transmission, repeated as set. The input is a\n"
     "configuration (built as a Write would build it) or a 512-byte image file; an image\n"
     "that decode calls damaged is refused. OUT.wav '-' is standard output.\n",
     kAudioOptions, runAudio},
    {kAirtime, "[--json] (CONFIG | IMAGE)", "how long each stored call keeps the transmitter on air",
     "Prints, for every row the image stores (a configuration is built as a Write would\n"
     "build it; rows left out of it are not listed), its capcode, its codewords and the\n"
     "seconds it sends per repetition, (preamble bits + 32 x codewords) / data rate, and\n"
     "per trigger, repeat x that; then the total of one trigger of every row, to the\n"
     "millisecond. When one trigger of a row is longer than 5 s, a last line says so and\n"
     "names the settings that bring every row under it, as the window does. --json gives\n"
     "the bits and the seconds (to the microsecond) of each row and of the total, the rows\n"
     "over the limit (\"over_limit_rows\") and the remedies, each as the settings it\n"
     "changes (\"remedies\": [{\"rate\": 2400}, {\"repeat\": 1}]). An image that decode\n"
     "calls damaged, or one that names no data rate, is refused.\n",
     kAirtimeOptions, runAirtime},
}};

}  // namespace

std::span<const Command> audioCommands() { return kAudioCommands; }

}  // namespace vostrel::cli
