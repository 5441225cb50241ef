// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The commands an installer checks transmitters with: devices lists the attached ones
// and what each holds, verify compares one with a configuration or an image file.

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>

#include "cli/command.h"
#include "cli/device_target.h"
#include "device/device_selection.h"
#include "device/device_survey.h"
#include "device/transmitter_hold.h"
#include "files/utf8_path.h"
#include "files/whole_file.h"
#include "image/fingerprint.h"
#include "image/image_changes.h"
#include "image/image_reader.h"
#include "texts/message_format.h"

namespace vostrel::cli {
namespace {

constexpr std::string_view kDevices = "devices";
constexpr std::string_view kVerify = "verify";

unsigned rowsInUse(const image::PagerRows& rows) {
    return static_cast<unsigned>(
        std::ranges::count_if(rows, [](const image::PagerItem& row) { return row != image::PagerItem{}; }));
}

std::string rowCount(unsigned rows) { return std::to_string(rows) + (rows == 1 ? " row" : " rows"); }

std::string fingerprintOf(const image::EepromImage& image) {
    return image::fingerprintText(image::contentsFingerprint(image));
}

// ---- devices -------------------------------------------------------------------------

// What a transmitter holds, as devices lists it.
struct HeldSummary {
    std::optional<unsigned> dataRate;  // none for the index that names no rate
    unsigned rows = 0;
    std::optional<int> readErrorRow;
    bool erased = false;
    std::string fingerprint;
    std::vector<std::string> hiddenWords;  // each row that holds more than its call
};

HeldSummary summaryOf(const image::EepromImage& image) {
    const image::ImageContents contents = image::decodeImage(image);
    const unsigned rate = contents.settings.dataRateIndex;
    std::vector<std::string> hidden;
    for (const texts::Message& message : contents.hiddenWordsMessages()) hidden.push_back(texts::formatMessage(message));
    const bool rated = rate < image::kDataRates.size() && !contents.erased;
    return HeldSummary{rated ? std::optional(image::kDataRates[rate]) : std::nullopt, rowsInUse(contents.rows),
                       contents.readErrorRow, contents.erased, fingerprintOf(image), std::move(hidden)};
}

// The fields of a line: path, port, name, what the device holds or why it could not be
// read, its report lengths.
std::vector<std::string> deviceFields(const device::SurveyedDevice& surveyed, const files::TransmitterNames& names) {
    std::vector<std::string> fields{
        surveyed.device.path, surveyed.device.location.empty() ? "port unknown" : "port " + surveyed.device.location};
    if (const auto name = names.nameAt(device::portOf(surveyed.device))) fields.push_back("name " + *name);
    if (surveyed.failure) fields.push_back(texts::formatMessage(surveyed.failure->message));
    if (surveyed.contents) {
        const HeldSummary held = summaryOf(*surveyed.contents);
        if (held.erased) {
            fields.push_back(texts::formatMessage({texts::keys::kTransmitterErased, texts::Title::Success, {}}));
        } else {
            fields.push_back(held.dataRate ? std::to_string(*held.dataRate) + " bps" : "no data rate");
            fields.push_back(rowCount(held.rows));
        }
        if (held.readErrorRow) fields.push_back("EEPROM read error from row " + std::to_string(*held.readErrorRow));
        std::ranges::copy(held.hiddenWords, std::back_inserter(fields));
        fields.push_back("fingerprint " + held.fingerprint);
    }
    fields.push_back("input report " + std::to_string(surveyed.device.reports.inputReportLength) + " bytes");
    fields.push_back("output report " + std::to_string(surveyed.device.reports.outputReportLength) + " bytes");
    return fields;
}

void printDeviceLines(const std::vector<device::SurveyedDevice>& devices, const files::TransmitterNames& names,
                      std::ostream& out) {
    for (const device::SurveyedDevice& surveyed : devices) {
        std::string line;
        for (const std::string& field : deviceFields(surveyed, names)) {
            if (!line.empty()) line += '\t';
            line += terminalText(field);
        }
        out << line << '\n';
    }
}

template <typename T>
std::string jsonOr(const std::optional<T>& value) {
    if (!value) return "null";
    if constexpr (std::is_same_v<T, std::string>) {
        return jsonString(*value);
    } else {
        return std::to_string(*value);
    }
}

std::string jsonList(const std::vector<std::string>& texts) {
    std::string list = "[";
    for (const std::string& text : texts) list += (list.size() > 1 ? ", " : "") + jsonString(text);
    return list + "]";
}

std::string deviceJson(const device::SurveyedDevice& surveyed, const files::TransmitterNames& names) {
    const device::HidDeviceInfo& info = surveyed.device;
    const std::optional<HeldSummary> held =
        surveyed.contents ? std::optional(summaryOf(*surveyed.contents)) : std::nullopt;
    const auto error = surveyed.failure ? std::optional(texts::formatMessage(surveyed.failure->message)) : std::nullopt;
    return "{\"path\": " + jsonString(info.path) + ", \"port\": " +
           jsonOr(info.location.empty() ? std::nullopt : std::optional(info.location)) +
           ", \"name\": " + jsonOr(names.nameAt(device::portOf(info))) +
           ", \"input_report_bytes\": " + std::to_string(info.reports.inputReportLength) +
           ", \"output_report_bytes\": " + std::to_string(info.reports.outputReportLength) +
           ", \"read\": " + (held ? "true" : "false") + ", \"error\": " + jsonOr(error) +
           ", \"data_rate\": " + jsonOr(held ? held->dataRate : std::nullopt) +
           ", \"rows\": " + jsonOr(held ? std::optional(held->rows) : std::nullopt) +
           ", \"read_error_row\": " + jsonOr(held ? held->readErrorRow : std::nullopt) +
           ", \"hidden_words\": " + (held ? jsonList(held->hiddenWords) : "null") +
           ", \"erased\": " + (held ? (held->erased ? "true" : "false") : "null") +
           ", \"fingerprint\": " + jsonOr(held ? std::optional(held->fingerprint) : std::nullopt) + "}";
}

void printDevicesJson(const std::vector<device::SurveyedDevice>& devices, const files::TransmitterNames& names,
                      std::ostream& out) {
    out << "{\"devices\": [";
    for (std::size_t index = 0; index < devices.size(); ++index) {
        out << (index ? ", " : "") << deviceJson(devices[index], names);
    }
    out << "]}\n";
}

// The remedy once, under the list, for the lines that say access was denied.
void printRemedies(const std::vector<device::SurveyedDevice>& devices, CliContext& context) {
    const auto denied = std::ranges::find_if(devices, [](const device::SurveyedDevice& surveyed) {
        return surveyed.failure && surveyed.failure->remedy;
    });
    if (denied != devices.end()) printMessage(context.err, *denied->failure->remedy);
}

int runDevices(const Arguments& arguments, CliContext& context) {
    if (!arguments.positionals.empty()) return usageError(context, kDevices, "takes no arguments");
    if (const auto empty = refuseEmptyTarget(arguments, context, kDevices)) return *empty;
    const bool json = arguments.has("json");
    const bool pathsOnly = arguments.has("paths");
    if (json && pathsOnly) return usageError(context, kDevices, "give one of --json and --paths");
    const DeviceTarget target = openTarget(arguments, context, TargetUse::Looks);
    const bool read = !pathsOnly && !arguments.has("no-read");
    const std::vector<device::SurveyedDevice> devices =
        device::surveyTransmitters(*target.transport, read ? device::SurveyReads::Each : device::SurveyReads::None);
    if (pathsOnly) {
        for (const auto& surveyed : devices) context.out << terminalText(surveyed.device.path) << '\n';
    } else if (json) {
        printDevicesJson(devices, target.names, context.out);
    } else {
        printDeviceLines(devices, target.names, context.out);
    }
    printRemedies(devices, context);
    if (devices.empty()) {
        const texts::Message notFound{texts::keys::kDeviceNotFound, texts::Title::Error, {}};
        return reportDeviceFailure(context, target, device::DeviceFailure(notFound));
    }
    const bool allRead = std::ranges::none_of(devices, [](const auto& surveyed) { return bool(surveyed.failure); });
    return allRead ? kExitSuccess : kExitFailure;
}

// ---- verify --------------------------------------------------------------------------

// What the transmitter should hold, and how its messages read.
struct Expected {
    image::EepromImage image;
    image::PagerTextSettings text;
};

std::optional<Expected> expectedFromConfig(const Arguments& arguments, const std::filesystem::path& path,
                                           CliContext& context) {
    const std::optional<image::ProgrammerEntries> entries =
        readConfigFile(path, context, "verify --image IMAGE compares the transmitter with an image");
    if (!entries) return std::nullopt;
    const auto built = buildConfigEntries(path, *entries, chosenTransliteration(arguments), context);
    if (!built) return std::nullopt;
    return Expected{built->image, entries->text};
}

std::optional<Expected> expectedFromImage(const Arguments& arguments, const std::filesystem::path& path,
                                          CliContext& context) {
    auto loaded = files::loadImageFile(path);
    if (const auto* error = std::get_if<files::FileError>(&loaded)) {
        failure(context, error->what);
        return std::nullopt;
    }
    Expected expected{std::get<image::EepromImage>(loaded), {}};
    expected.text.alphabet = std::get<paging::Alphabet>(chosenAlphabet(arguments));
    // Compared all the same, word for word: a backup of a damaged transmitter matches
    // the transmitter it was taken from.
    if (const auto badRow = image::decodeImage(expected.image).readErrorRow) {
        context.err << terminalText(files::utf8Name(path)) << ": row " << *badRow
                    << " cannot be read (\"EEPROM read error\"); its words are compared as they are.\n";
    }
    return expected;
}

// Exit 0 with one line when the transmitter at `device` holds the words a Write of
// `expected` stores, where the fingerprint looks: then it pages what `expected` pages,
// and the line's one fingerprint is both. Else exit 1 with each row and setting that
// differs, in the words of the Write's question, and what the rows hold beyond their
// calls. The transmitter is named (by its name and port): with several attached, one
// another program holds is passed over.
int reportVerify(const image::EepromImage& held, const Expected& expected, const std::string& name,
                 const std::string& device, CliContext& context) {
    const std::string heldFingerprint = fingerprintOf(held);
    if (image::sameContents(held, expected.image)) {
        const unsigned rows = rowsInUse(image::decodeImage(expected.image, expected.text).rows);
        const std::string line =
            "Settings and " + rowCount(rows) + " as in " + name + " (fingerprint " + heldFingerprint + ") on " + device;
        context.out << terminalText(line) << '\n';
        return kExitSuccess;
    }
    std::vector<std::string> lines;
    const image::ImageContents heldContents = image::decodeImage(held, expected.text);
    if (heldContents.readErrorRow) {
        lines.push_back("The transmitter's rows from row " + std::to_string(*heldContents.readErrorRow) +
                        " on cannot be read (\"EEPROM read error\")");
    }
    if (heldContents.erased) lines.push_back("The transmitter is empty (erased)");
    for (const texts::Message& hidden : heldContents.hiddenWordsMessages()) lines.push_back(texts::formatMessage(hidden));
    const image::ImageChanges changes = image::compareImages(held, expected.image, image::kImageWords, expected.text);
    std::ranges::move(image::changeLines(changes, image::ChangeListing::Differences,
                                         [](const texts::Message& message) { return texts::formatMessage(message); }),
                      std::back_inserter(lines));
    if (lines.empty()) lines.push_back("The rows read as in " + name + ", but are stored in other words (another program's layout)");
    context.out << terminalText("The transmitter " + device + " does not hold " + name + "; writing it would change:")
                << '\n';
    for (const std::string& line : lines) context.out << terminalText(line) << '\n';
    context.out << terminalText("The fingerprint " + heldFingerprint + " on the transmitter, " +
                                fingerprintOf(expected.image) + " for " + name)
                << '\n';
    return kExitFailure;
}

int runVerify(const Arguments& arguments, CliContext& context) {
    const auto imageFile = arguments.value("image");
    if (arguments.positionals.size() + (imageFile ? 1 : 0) != 1) {
        return usageError(context, kVerify, "give either one CONFIG or --image IMAGE");
    }
    if (const auto empty = refuseEmptyTarget(arguments, context, kVerify)) return *empty;
    const std::string name = imageFile.value_or(arguments.positionals.empty() ? "" : arguments.positionals.front());
    if (const auto empty = refuseEmptyFileName(context, kVerify, {name})) return *empty;
    const auto alphabet = chosenAlphabet(arguments);
    if (const auto* error = std::get_if<std::string>(&alphabet)) return usageError(context, kVerify, *error);
    if (!imageFile && arguments.value(kAlphabetOption.name)) {
        return usageError(context, kVerify, "--alphabet goes with --image: a CONFIG names its pagers' alphabets");
    }
    if (imageFile && arguments.has(kTransliterateOption.name)) {
        return usageError(context, kVerify, "--transliterate goes with a CONFIG, not with --image");
    }
    const std::filesystem::path path = files::pathFromUtf8(name);
    const std::optional<Expected> expected =
        imageFile ? expectedFromImage(arguments, path, context) : expectedFromConfig(arguments, path, context);
    if (!expected) return kExitFailure;
    const DeviceTarget target = openTarget(arguments, context, TargetUse::Looks);
    auto taken = device::TransmitterHold::take(*target.transport);
    if (const auto* failed = std::get_if<device::DeviceFailure>(&taken)) {
        return reportDeviceFailure(context, target, *failed);
    }
    auto& hold = std::get<device::TransmitterHold>(taken);
    const std::optional<image::EepromImage> held = hold.readAllWords();
    if (!held) {
        return reportDeviceFailure(
            context, target, device::DeviceFailure(texts::Message{texts::keys::kCommandFail, texts::Title::Error, {}}));
    }
    return reportVerify(*held, *expected, name, transmitterText(target, hold.path(), hold.location()), context);
}

constexpr std::array kDevicesOptions = {
    kEmulatorOption,
    kDeviceOption,
    OptionSpec{"no-read", "", "list the transmitters without reading them"},
    OptionSpec{"json", "", "print the list as one JSON object, for scripts"},
    OptionSpec{"paths", "", "print only each transmitter's path, one per line, without reading it"},
};
constexpr std::array kVerifyOptions = {
    kEmulatorOption, kDeviceOption, OptionSpec{"image", "IMAGE", "compare with this 512-byte image file"},
    kAlphabetOption, kTransliterateOption,
};

constexpr std::array<Command, 2> kCheckCommands = {{
    {kDevices, "[--emulator FILE] [--device D] [--no-read | --json | --paths]",
     "list the attached transmitters and what each holds",
     "Prints one line per transmitter, the first (the one the other commands take without\n"
     "--device) first: its path, the USB port it is plugged into (\"port unknown\" where\n"
     "the system names none), its data rate, the rows in use and the contents fingerprint,\n"
     "then its input and output report lengths, separated by tabs. Each transmitter is\n"
     "read whole, under its lock; one that is busy or cannot be read says so on its line\n"
     "and the others are still listed. --no-read leaves out what each holds; --paths\n"
     "prints the paths alone, for a loop such as\n"
     "  for d in $(vostrel-cli devices --paths); do vostrel-cli write --device \"$d\" site.conf; done\n"
     "A row that holds more than its call (\"Item[01] also holds an address for capcode\n"
     "9, ...\") is named before the fingerprint. --json prints {\"devices\": [{\"path\",\n"
     "\"port\", \"name\", \"input_report_bytes\", \"output_report_bytes\", \"read\", \"error\",\n"
     "\"data_rate\", \"rows\", \"read_error_row\", \"hidden_words\", \"erased\", \"fingerprint\"}, ...]}\n"
     "with null for what is unknown or was not read. Exits 1 when none is attached or one\n"
     "could not be read.\n",
     kDevicesOptions, runDevices},
    {kVerify, "[--emulator FILE] [--device D] [--transliterate] (CONFIG | --image IMAGE [--alphabet NAME])",
     "check that the transmitter holds a configuration or an image file",
     "Reads the transmitter once and compares what it sends with what a Write of CONFIG\n"
     "or IMAGE would store: the settings, the slot table and every stored row's words\n"
     "(the words after the stored rows are not compared, as the fingerprint leaves them\n"
     "out). When they are the same it prints \"Settings and N rows as in FILE\" with the\n"
     "contents fingerprint and the transmitter's path, and exits 0; else it lists each\n"
     "row and setting that differs as the window's Write asks about it (\"Item[03]:\n"
     "changed OLD → NEW\", \"new\" for a row only FILE holds, \"cleared\" for one only\n"
     "the transmitter holds, messages as the rows' pager alphabets show them), a row that\n"
     "holds more than its call (\"Item[01] also holds an address for capcode 9, ...\"),\n"
     "and exits 1. A device failure or a FILE that cannot be built also exits 1.\n",
     kVerifyOptions, runVerify},
}};

}  // namespace

std::span<const Command> checkCommands() { return kCheckCommands; }

}  // namespace vostrel::cli
