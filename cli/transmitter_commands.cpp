// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The commands about which transmitter is which: name gives one a name, kept by the
// port it is plugged into; backups lists what Writes saved before they overwrote a
// transmitter, by time and transmitter.

#include <algorithm>
#include <array>
#include <cctype>

#include "cli/command.h"
#include "cli/device_target.h"
#include "device/device_selection.h"
#include "device/device_survey.h"
#include "files/backups.h"
#include "files/program_folders.h"
#include "files/utf8_path.h"
#include "image/fingerprint.h"
#include "image/image_reader.h"
#include "texts/message_format.h"

namespace vostrel::cli {
namespace {

constexpr std::string_view kName = "name";
constexpr std::string_view kBackups = "backups";

// ---- name ----------------------------------------------------------------------------

// "at port 1-1.2", or the path where the system names no port.
std::string placeText(const device::HidDeviceInfo& transmitter) {
    return transmitter.location.empty() ? transmitter.path : "at port " + transmitter.location;
}

int runName(const Arguments& arguments, CliContext& context) {
    if (arguments.positionals.size() != 1) return usageError(context, kName, "expected the NAME (\"\" takes the name away)");
    if (const auto empty = refuseEmptyTarget(arguments, context, kName)) return *empty;
    const auto settings = files::programPlaces().settingsFile();
    if (!settings) return failure(context, "No folder for the settings file that keeps the names (set HOME or XDG_CONFIG_HOME)");
    const DeviceTarget target = openTarget(arguments, context, TargetUse::Looks);
    const std::vector<device::SurveyedDevice> attached =
        device::surveyTransmitters(*target.transport, device::SurveyReads::None);
    if (attached.empty()) {
        return reportDeviceFailure(context, target,
                                   device::DeviceFailure({texts::keys::kDeviceNotFound, texts::Title::Error, {}}));
    }
    if (attached.size() > 1) {
        return usageError(context, kName, "several transmitters are attached: name one with --device (its port or "
                                          "path, as 'vostrel-cli devices' lists them)");
    }
    const device::HidDeviceInfo& transmitter = attached.front().device;
    auto loaded = files::loadTransmitterNames(*settings);
    if (const auto* error = std::get_if<files::FileError>(&loaded)) return failure(context, error->what);
    auto& names = std::get<files::TransmitterNames>(loaded);
    if (const auto refused = names.give(device::portOf(transmitter), arguments.positionals.front())) {
        printMessage(context.err, *refused);
        return kExitFailure;
    }
    if (const auto error = files::saveTransmitterNames(*settings, names)) return failure(context, error->what);
    const auto name = names.nameAt(device::portOf(transmitter));
    context.out << terminalText("The transmitter " + placeText(transmitter) +
                                (name ? " is named " + *name : " has no name now"))
                << '\n';
    return kExitSuccess;
}

// ---- backups -------------------------------------------------------------------------

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// Whether the backup is of the transmitter `wanted` names: the port the name is kept by
// now, or the name or port the record of its Write has; or, for a backup without a
// record, what its file's name calls the transmitter.
bool isBackupOf(const files::BackupFile& backup, std::string_view wanted, const files::TransmitterNames& names) {
    if (backup.port.empty()) return sameIgnoringCase(backup.called, wanted);
    const std::string port = names.portNamed(wanted).value_or(std::string(wanted));
    return sameIgnoringCase(backup.port, port) || (!backup.name.empty() && sameIgnoringCase(backup.name, wanted));
}

std::string transmitterOf(const files::BackupFile& backup) {
    if (backup.port.empty()) return backup.called;
    if (backup.name.empty()) return "Port " + backup.port;
    return backup.name + " (port " + backup.port + ")";
}

// What the backup holds, as devices says it of a transmitter.
std::string heldText(const std::optional<image::ImageContents>& contents) {
    if (!contents) return "not an EEPROM image";
    if (contents->erased) return texts::formatMessage({texts::keys::kTransmitterErased, texts::Title::Success, {}});
    const auto rows = static_cast<unsigned>(std::ranges::count_if(
        contents->rows, [](const image::PagerItem& row) { return row != image::PagerItem{}; }));
    std::string text = std::to_string(rows) + (rows == 1 ? " row" : " rows");
    if (contents->readErrorRow) text += ", EEPROM read error from row " + std::to_string(*contents->readErrorRow);
    return text;
}

std::optional<image::ImageContents> contentsOf(const files::BackupFile& backup) {
    if (!backup.contents) return std::nullopt;
    return image::decodeImage(*backup.contents);
}

std::string fingerprintOf(const files::BackupFile& backup) {
    return backup.contents ? image::fingerprintText(image::contentsFingerprint(*backup.contents)) : std::string();
}

void printBackupLines(const std::vector<files::BackupFile>& backups, std::ostream& out) {
    for (const files::BackupFile& backup : backups) {
        std::vector<std::string> fields{backup.time, transmitterOf(backup), heldText(contentsOf(backup))};
        if (backup.contents) fields.push_back("fingerprint " + fingerprintOf(backup));
        fields.push_back(files::utf8Name(backup.file));
        std::string line;
        for (const std::string& field : fields) line += (line.empty() ? "" : "\t") + terminalText(field);
        out << line << '\n';
    }
}

std::string jsonText(const std::string& text) { return text.empty() ? "null" : jsonString(text); }

void printBackupsJson(const std::vector<files::BackupFile>& backups, std::ostream& out) {
    out << "{\"backups\": [";
    const char* separator = "";
    for (const files::BackupFile& backup : backups) {
        const auto contents = contentsOf(backup);
        out << separator << "{\"file\": " << jsonString(files::utf8Name(backup.file)) << ", \"time\": "
            << jsonString(backup.time) << ", \"name\": " << jsonText(backup.name) << ", \"port\": "
            << jsonText(backup.port) << ", \"called\": " << jsonString(backup.called) << ", \"image\": "
            << (contents ? "true" : "false");
        if (contents) {
            const auto rows = std::ranges::count_if(contents->rows, [](const image::PagerItem& row) { return row != image::PagerItem{}; });
            out << ", \"rows\": " << rows << ", \"erased\": " << (contents->erased ? "true" : "false")
                << ", \"read_error_row\": " << (contents->readErrorRow ? std::to_string(*contents->readErrorRow) : "null")
                << ", \"fingerprint\": " << jsonString(fingerprintOf(backup));
        }
        out << '}';
        separator = ", ";
    }
    out << "]}\n";
}

int runBackups(const Arguments& arguments, CliContext& context) {
    if (!arguments.positionals.empty()) return usageError(context, kBackups, "takes no arguments");
    const auto wanted = arguments.value(kDeviceOption.name);
    if (wanted == "") return usageError(context, kBackups, "--device needs a name or port");
    const auto folder = files::backupFolder();
    if (const auto* error = std::get_if<files::FileError>(&folder)) return failure(context, error->what);
    std::vector<files::BackupFile> backups = files::listBackups(std::get<std::filesystem::path>(folder));
    if (wanted) {
        const files::TransmitterNames names = files::rememberedTransmitterNames();
        std::erase_if(backups, [&](const files::BackupFile& backup) { return !isBackupOf(backup, *wanted, names); });
    }
    if (arguments.has("json")) {
        printBackupsJson(backups, context.out);
    } else {
        printBackupLines(backups, context.out);
    }
    if (backups.empty()) {
        context.err << terminalText("No backups " + (wanted ? "of " + *wanted + " " : std::string()) + "in " +
                                    files::utf8Name(std::get<std::filesystem::path>(folder)) +
                                    "; each Write to a transmitter saves what it held before.")
                    << '\n';
    }
    return kExitSuccess;
}

constexpr std::array kNameOptions = {kEmulatorOption, kDeviceOption};
constexpr std::array kBackupsOptions = {
    OptionSpec{"device", "D", "only the backups of the transmitter D: its name or its port"},
    OptionSpec{"json", "", "print the list as one JSON object, for scripts"},
};

constexpr std::array<Command, 2> kTransmitterCommands = {{
    {kName, "[--emulator FILE] [--device D] NAME", "give the transmitter a name, kept by the port it is plugged into",
     "Names the transmitter attached (with several, the one --device names) NAME, such as\n"
     "\"Erdgeschoss\"; an empty NAME (\"\") takes its name away. The name is kept by the USB\n"
     "port the transmitter is plugged into (Linux: the port path; Windows: the location\n"
     "path; an emulated one: its file), in the settings file the window keeps its own in:\n"
     "a transmitter plugged into another port goes by that port's name. devices, verify,\n"
     "write, the backups' names and the window's choice of transmitter show it, and\n"
     "--device takes it. A name has 1 to 40 characters, no control characters, and is\n"
     "no other port's.\n",
     kNameOptions, runName},
    {kBackups, "[--device D] [--json]", "list the backups Writes saved, newest first",
     "Lists the backups in the backup folder, newest first, one line each: the time it was\n"
     "taken, the transmitter (its name and port when the Write was made, from the record\n"
     "kept beside the backups), the rows it holds (\"empty (erased)\" for a new\n"
     "transmitter's), its contents fingerprint and its file, separated by tabs. To put one\n"
     "back: vostrel-cli write --device PORT --image FILE (the window: Restore backup...).\n"
     "--json prints {\"backups\": [{\"file\", \"time\", \"name\", \"port\", \"called\", \"image\",\n"
     "\"rows\", \"erased\", \"read_error_row\", \"fingerprint\"}, ...]}; name and port are\n"
     "null for a backup without a record (of an earlier version), which \"called\" names.\n"
     "The folder:\n"
     "{backup-folder}.\n",
     kBackupsOptions, runBackups},
}};

}  // namespace

std::span<const Command> transmitterCommands() { return kTransmitterCommands; }

}  // namespace vostrel::cli
