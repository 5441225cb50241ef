// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The commands that talk to a transmitter: devices, read, write. Each takes
// --emulator FILE to use an emulated transmitter whose EEPROM is kept in FILE.

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "cli/command.h"
#include "device/eeprom_programmer.h"
#include "device/emulator/emulated_transmitter.h"
#include "files/utf8_path.h"
#include "files/whole_file.h"
#include "image/slot_table.h"

namespace vostrel::cli {
namespace {

using device::HidTransport;

constexpr std::string_view kEmulatorOption = "emulator";

bool usesEmulator(const Arguments& arguments) { return arguments.value(kEmulatorOption).has_value(); }

// The emulator named by --emulator, or the transport to real hardware. Both throw
// std::runtime_error when they cannot start; runCli reports it.
std::unique_ptr<HidTransport> openTransport(const Arguments& arguments, CliContext& context) {
    if (const auto file = arguments.value(kEmulatorOption)) {
        device::EmulatorOptions options;
        options.backingFile = files::pathFromUtf8(*file);
        return std::make_unique<device::EmulatedTransmitter>(std::move(options));
    }
    return context.hardware();
}

int deviceFailure(CliContext& context, const device::DeviceFailure& failure) {
    printMessage(context.err, failure.message);
    return kExitFailure;
}

std::string reportLengths(const device::HidDeviceInfo& info) {
    return "\tinput report " + std::to_string(info.reports.inputReportLength) + " bytes\toutput report " +
           std::to_string(info.reports.outputReportLength) + " bytes";
}

int runDevices(const Arguments& arguments, CliContext& context) {
    if (!arguments.positionals.empty()) return usageError(context, "devices", "takes no arguments");
    const auto transport = openTransport(arguments, context);
    const auto found = transport->enumerate(device::kTransmitterVendorId, device::kTransmitterProductId);
    if (found.empty()) {
        printMessage(context.err, {texts::keys::kDeviceNotFound, texts::Title::Error, {}});
        return kExitFailure;
    }
    for (const auto& info : found) context.out << info.path << reportLengths(info) << '\n';
    return kExitSuccess;
}

int runRead(const Arguments& arguments, CliContext& context) {
    if (!arguments.positionals.empty()) return usageError(context, "read", "takes no arguments (use --image OUT)");
    const auto output = arguments.value("image");
    // The emulator's file is the transmitter itself: never overwritten as an output.
    const std::filesystem::path emulatorFile = files::pathFromUtf8(arguments.value(kEmulatorOption).value_or(""));
    if (output && outputIsInput(*output, emulatorFile, context)) return kExitFailure;
    const auto transport = openTransport(arguments, context);
    const device::ReadOutcome read = device::readEeprom(*transport);
    if (const auto* failed = std::get_if<device::DeviceFailure>(&read)) return deviceFailure(context, *failed);
    const auto& image = std::get<image::EepromImage>(read);
    if (!output) return printImageAsConfig(image, context);
    if (const int status = saveOutput(*output, files::imageBytes(image), context)) return status;
    return reportImageReadable(image, context);
}

struct WriteJob {
    image::EepromImage image;
    unsigned wordCount = 0;
    std::filesystem::path source;  // the configuration or image file; backups go beside it
};

// The image to write and how many words of it, from the configuration or --image.
std::optional<WriteJob> prepareWrite(const Arguments& arguments, CliContext& context) {
    if (const auto imageFile = arguments.value("image")) {
        const std::filesystem::path imagePath = files::pathFromUtf8(*imageFile);
        auto loaded = files::loadImageFile(imagePath);
        if (const auto* error = std::get_if<files::FileError>(&loaded)) {
            failure(context, error->what);
            return std::nullopt;
        }
        const auto& image = std::get<image::EepromImage>(loaded);
        return WriteJob{image, image::usedWordCount(image), imagePath};
    }
    const std::filesystem::path config = files::pathFromUtf8(arguments.positionals.front());
    auto built = buildConfigFile(config, context);
    if (!built) return std::nullopt;
    return WriteJob{built->image, built->usedWords, config};
}

std::string timestamp() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", std::localtime(&now));
    return text;
}

// Beside the configuration or image when it is a regular file; otherwise (standard
// input, a FIFO) in the current directory.
std::filesystem::path backupStem(const std::filesystem::path& source) {
    std::error_code error;
    const std::filesystem::path directory =
        std::filesystem::is_regular_file(source, error) ? source.parent_path() : std::filesystem::path();
    return directory / files::pathFromUtf8(files::utf8Name(source.stem()) + ".backup-" + timestamp());
}

// Saves what the transmitter holds before it is overwritten, under a name no file has
// yet (a numbered suffix when the first choice exists). Without a backup nothing is
// written.
bool saveBackup(HidTransport& transport, const std::filesystem::path& source, CliContext& context) {
    constexpr std::string_view kNoBackup = "No backup of the transmitter could be made; nothing was written.\n";
    const device::ReadOutcome read = device::readEeprom(transport);
    if (const auto* failed = std::get_if<device::DeviceFailure>(&read)) {
        deviceFailure(context, *failed);
        context.err << kNoBackup;
        return false;
    }
    const std::filesystem::path stem = backupStem(source);
    constexpr int kMaxSuffix = 999;
    for (int suffix = 0;; ++suffix) {
        std::filesystem::path backup = stem;
        if (suffix > 0) {
            backup += '-';
            backup += std::to_string(suffix);
        }
        backup += ".bin";
        const auto error = files::saveImageFile(backup, std::get<image::EepromImage>(read), true);
        if (!error) {
            context.out << "Saved the transmitter's previous contents to " << files::utf8Name(backup) << '\n';
            return true;
        }
        if (!error->alreadyExists || suffix == kMaxSuffix) {
            context.err << error->what << '\n' << kNoBackup;
            return false;
        }
    }
}

// Reads the transmitter back and compares the written words.
int verify(HidTransport& transport, const WriteJob& job, CliContext& context) {
    const device::ReadOutcome read = device::readEeprom(transport);
    if (const auto* failed = std::get_if<device::DeviceFailure>(&read)) return deviceFailure(context, *failed);
    const auto& readBack = std::get<image::EepromImage>(read);
    for (unsigned word = 0; word < job.wordCount; ++word) {
        if (readBack.word(word) == job.image.word(word)) continue;
        char text[96];
        std::snprintf(text, sizeof text, "Verify failed: word %u reads 0x%04X, 0x%04X was written", word,
                      readBack.word(word), job.image.word(word));
        return failure(context, text);
    }
    context.out << "Verified words 0 to " << job.wordCount - 1 << '\n';
    return kExitSuccess;
}

int runWrite(const Arguments& arguments, CliContext& context) {
    const std::size_t sources = arguments.positionals.size() + (arguments.value("image") ? 1 : 0);
    if (arguments.positionals.size() > 1 || sources != 1) {
        return usageError(context, "write", "give either one CONFIG or --image IN");
    }
    const auto job = prepareWrite(arguments, context);
    if (!job) return kExitFailure;
    const auto transport = openTransport(arguments, context);
    const bool backup = !usesEmulator(arguments) && !arguments.has("no-backup");
    if (backup && !saveBackup(*transport, job->source, context)) return kExitFailure;
    if (const auto failed = device::writeEeprom(*transport, job->image, job->wordCount)) {
        return deviceFailure(context, *failed);
    }
    printMessage(context.out, {texts::keys::kWriteCompleted, texts::Title::Success, {}});
    return arguments.has("verify") ? verify(*transport, *job, context) : kExitSuccess;
}

constexpr OptionSpec kEmulator = {kEmulatorOption, "FILE",
                                  "use an emulated transmitter whose EEPROM is kept in FILE (512 bytes; "
                                  "a missing file starts erased) instead of the USB bus"};
constexpr std::array kDevicesOptions = {kEmulator};
constexpr std::array kReadOptions = {kEmulator, OptionSpec{"image", "OUT", "save the raw image instead of printing it"}};
constexpr std::array kWriteOptions = {
    kEmulator,
    OptionSpec{"image", "IN", "write this 512-byte image file"},
    OptionSpec{"verify", "", "read the written words back; a difference names the first differing word and exits 1"},
    OptionSpec{"no-backup", "", "do not save the transmitter's current contents first"},
};

constexpr std::array<Command, 3> kDeviceCommands = {{
    {"devices", "[--emulator FILE]", "list the attached transmitters",
     "Prints each transmitter's path and its input and output report lengths, one per\n"
     "line. When none is attached it says so and exits 1.\n",
     kDevicesOptions, runDevices},
    {"read", "[--emulator FILE] [--image OUT]", "read the transmitter's EEPROM",
     "Reads all 256 words and prints them as a configuration (as decode does), or saves\n"
     "the raw 512-byte image to OUT ('-' for standard output). A device failure exits 1 with its message; a\n"
     "damaged image reports \"EEPROM read error\" and exits 1 after printing or saving\n"
     "what was read.\n",
     kReadOptions, runRead},
    {"write", "[--emulator FILE] [--verify] [--no-backup] (CONFIG | --image IN)",
     "program the transmitter from a configuration or an image file",
     "Builds the image from CONFIG (or takes IN) and writes its words from 0 up to the end\n"
     "of the last stored item (at least 17), then prints \"Data write completed\".\n"
     "Before writing to a real transmitter its current contents are saved beside CONFIG\n"
     "or IN (in the current directory when that is no regular file) as\n"
     "NAME.backup-YYYYmmdd-HHMMSS.bin, or NAME.backup-YYYYmmdd-HHMMSS-N.bin when that name\n"
     "exists; when no backup can be saved, nothing is written. The table of items is\n"
     "emptied first and written last, so an interrupted write leaves each item as it was,\n"
     "as written, or empty.\n",
     kWriteOptions, runWrite},
}};

}  // namespace

std::span<const Command> deviceCommands() { return kDeviceCommands; }

}  // namespace vostrel::cli
