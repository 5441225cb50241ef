// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The commands that talk to a transmitter: devices, read, write. Each takes
// --emulator FILE to use an emulated transmitter whose EEPROM is kept in FILE.

#include <array>
#include <cstdio>

#include "cli/command.h"
#include "device/eeprom_programmer.h"
#include "device/emulator/emulated_transmitter.h"
#include "device/transmitter_hold.h"
#include "files/backups.h"
#include "files/utf8_path.h"
#include "files/whole_file.h"
#include "image/image_reader.h"
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

// An empty --emulator names no file: it would emulate a transmitter that keeps nothing.
std::optional<int> refuseEmptyEmulator(const Arguments& arguments, CliContext& context, std::string_view command) {
    if (arguments.value(kEmulatorOption) != "") return std::nullopt;
    return usageError(context, command, "--emulator needs a file name");
}

int runDevices(const Arguments& arguments, CliContext& context) {
    if (!arguments.positionals.empty()) return usageError(context, "devices", "takes no arguments");
    if (const auto empty = refuseEmptyEmulator(arguments, context, "devices")) return *empty;
    const auto transport = openTransport(arguments, context);
    const auto found = transport->enumerate(device::kTransmitterVendorId, device::kTransmitterProductId);
    if (found.empty()) {
        printMessage(context.err, {texts::keys::kDeviceNotFound, texts::Title::Error, {}});
        return kExitFailure;
    }
    for (const auto& info : found) context.out << terminalText(info.path) << reportLengths(info) << '\n';
    return kExitSuccess;
}

int runRead(const Arguments& arguments, CliContext& context) {
    if (!arguments.positionals.empty()) return usageError(context, "read", "takes no arguments (use --image OUT)");
    const auto alphabet = chosenAlphabet(arguments);
    if (const auto* error = std::get_if<std::string>(&alphabet)) return usageError(context, "read", *error);
    const auto output = arguments.value("image");
    if (const auto empty = refuseEmptyEmulator(arguments, context, "read")) return *empty;
    if (const auto empty = refuseEmptyFileName(context, "read", {output.value_or("-")})) return *empty;
    // The emulator's file is the transmitter itself: never overwritten as an output.
    const std::filesystem::path emulatorFile = files::pathFromUtf8(arguments.value(kEmulatorOption).value_or(""));
    if (output && outputIsInput(*output, emulatorFile, context)) return kExitFailure;
    const auto transport = openTransport(arguments, context);
    const device::ReadOutcome read = device::readEeprom(*transport);
    if (const auto* failed = std::get_if<device::DeviceFailure>(&read)) return deviceFailure(context, *failed);
    const auto& image = std::get<image::EepromImage>(read);
    if (!output) return printImageAsConfig(image, std::get<paging::Alphabet>(alphabet), context);
    if (const int status = saveOutput(*output, files::imageBytes(image), context)) return status;
    return reportImageReadable(image, context);
}

struct WriteJob {
    image::EepromImage image;
    unsigned wordCount = 0;
};

// An image that cannot be read back would leave the transmitter paging nobody, or
// paging garbage: it is written only on request.
bool refuseDamagedImage(const image::EepromImage& image, const std::filesystem::path& file, CliContext& context) {
    const std::optional<int> badRow = image::decodeImage(image).readErrorRow;
    if (!badRow) return false;
    context.err << files::utf8Name(file) << ": the image is damaged: row " << *badRow
                << " cannot be read (\"EEPROM read error\"); nothing was written.\n"
                << "The backup of an erased transmitter looks so too; to put such an image back, add --force.\n";
    return true;
}

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
        if (!arguments.has("force") && refuseDamagedImage(image, imagePath, context)) return std::nullopt;
        return WriteJob{image, image::usedWordCount(image)};
    }
    const std::filesystem::path config = files::pathFromUtf8(arguments.positionals.front());
    auto built = buildConfigFile(config, chosenTransliteration(arguments), context);
    if (!built) return std::nullopt;
    return WriteJob{built->image, built->usedWords};
}

void reportNoBackup(CliContext& context) {
    printMessage(context.err, {texts::keys::kBackupFailed, texts::Title::Error, {}});
}

// Saves what the transmitter holds before it is overwritten, as the window does, in the
// backup folder. Without a backup nothing is written.
bool saveBackup(const image::EepromImage& held, const std::string& devicePath, CliContext& context) {
    const auto saved = files::saveBackup(devicePath, held);
    if (const auto* problem = std::get_if<files::FileError>(&saved)) {
        failure(context, problem->what);
        reportNoBackup(context);
        return false;
    }
    context.out << "Saved the transmitter's previous contents to "
                << terminalText(files::utf8Name(std::get<std::filesystem::path>(saved))) << '\n';
    return true;
}

// The outcome of a Write, as the command reports it.
int reportWrite(const device::WriteOutcome& outcome, const WriteJob& job, bool backup, bool verify,
                CliContext& context) {
    using End = device::WriteOutcome::End;
    const texts::Message completed{texts::keys::kWriteCompleted, texts::Title::Success, {}};
    switch (outcome.end) {
        case End::NotOpened:
        case End::ReadFailed:
            deviceFailure(context, *outcome.failure);
            if (backup) reportNoBackup(context);
            return kExitFailure;
        case End::Cancelled:  // the backup could not be saved; that was said
            return kExitFailure;
        case End::WriteFailed: return deviceFailure(context, *outcome.failure);
        case End::AlreadyThere:
            context.out << "The transmitter holds these words already; none was sent.\n";
            break;
        case End::Written: break;
        case End::ReadBackFailed:
            printMessage(context.out, completed);
            return deviceFailure(context, *outcome.failure);
        case End::VerifyFailed: {
            printMessage(context.out, completed);
            const device::WordMismatch& mismatch = *outcome.mismatch;
            char text[96];
            std::snprintf(text, sizeof text, "Verify failed: word %u reads 0x%04X, 0x%04X was written",
                          mismatch.address, mismatch.read, mismatch.written);
            return failure(context, text);
        }
    }
    printMessage(context.out, completed);
    // When none was sent, the read before the Write has compared every word.
    if (verify) context.out << "Verified words 0 to " << job.wordCount - 1 << '\n';
    return kExitSuccess;
}

int runWrite(const Arguments& arguments, CliContext& context) {
    const std::size_t sources = arguments.positionals.size() + (arguments.value("image") ? 1 : 0);
    if (arguments.positionals.size() > 1 || sources != 1) {
        return usageError(context, "write", "give either one CONFIG or --image IN");
    }
    if (const auto empty = refuseEmptyEmulator(arguments, context, "write")) return *empty;
    const std::string source = arguments.value("image").value_or(arguments.positionals.empty() ? "" : arguments.positionals[0]);
    if (const auto empty = refuseEmptyFileName(context, "write", {source})) return *empty;
    const auto job = prepareWrite(arguments, context);
    if (!job) return kExitFailure;
    const auto transport = openTransport(arguments, context);
    const bool backup = !usesEmulator(arguments) && !arguments.has("no-backup");
    const bool verify = arguments.has("verify");
    // One hold on the transmitter from the backup to the read-back: no other program
    // can change it in between.
    const device::WriteOutcome outcome = device::writeUnderOneHold(
        *transport, job->image, job->wordCount, device::WriteSteps{backup, verify},
        [&](const image::EepromImage& held, const std::string& devicePath) {
            return saveBackup(held, devicePath, context) ? device::Proceed::Write : device::Proceed::Cancel;
        });
    return reportWrite(outcome, *job, backup, verify, context);
}

constexpr OptionSpec kEmulator = {kEmulatorOption, "FILE",
                                  "use an emulated transmitter whose EEPROM is kept in FILE (512 bytes; "
                                  "a missing file starts erased) instead of the USB bus"};
constexpr std::array kDevicesOptions = {kEmulator};
constexpr std::array kReadOptions = {kEmulator, OptionSpec{"image", "OUT", "save the raw image instead of printing it"},
                                     kAlphabetOption};
constexpr std::array kWriteOptions = {
    kEmulator,
    OptionSpec{"image", "IN", "write this 512-byte image file"},
    OptionSpec{"verify", "", "read the written words back; a difference names the first differing word and exits 1"},
    OptionSpec{"no-backup", "", "do not save the transmitter's current contents first"},
    OptionSpec{"force", "", "write an image from --image even when it cannot be read back (an erased transmitter's backup)"},
    kTransliterateOption,
};

constexpr std::array<Command, 3> kDeviceCommands = {{
    {"devices", "[--emulator FILE]", "list the attached transmitters",
     "Prints each transmitter's path and its input and output report lengths, one per\n"
     "line. When none is attached it says so and exits 1.\n",
     kDevicesOptions, runDevices},
    {"read", "[--emulator FILE] [--alphabet NAME] [--image OUT]", "read the transmitter's EEPROM",
     "Reads all 256 words and prints them as a configuration (as decode does, messages as\n"
     "pagers with the alphabet show them), or saves\n"
     "the raw 512-byte image to OUT ('-' for standard output). A device failure exits 1 with its message; a\n"
     "damaged image reports \"EEPROM read error\" and exits 1 after printing or saving\n"
     "what was read.\n",
     kReadOptions, runRead},
    {"write", "[--emulator FILE] [--verify] [--no-backup] [--transliterate] (CONFIG | --image IN [--force])",
     "program the transmitter from a configuration or an image file",
     "Builds the image from CONFIG (or takes IN) and writes its words from 0 up to the end\n"
     "of the last stored item (at least 17), then prints \"Data write completed\".\n"
     "Before writing to a real transmitter its current contents are saved, as the window\n"
     "saves them, in the backup folder: $XDG_DATA_HOME/vostrel-programmer/backups (by\n"
     "default ~/.local/share/vostrel-programmer/backups), on Windows\n"
     "vostrel-programmer\\backups in the local application data folder; for a portable\n"
     "copy (a file portable.ini beside vostrel-cli), in the folder backups beside it. A\n"
     "backup is named NNNNNN-YYYYmmdd-HHMMSS-DEVICE.bin, NNNNNN one above the highest\n"
     "number there; the newest 50 by number are kept, whatever the clock says. When no\n"
     "backup can be saved, nothing is written. When the transmitter holds these words\n"
     "already, none is sent.\n"
     "The transmitter is held from the backup to the end of the read-back, so no other\n"
     "program can change it in between. The table of items is emptied first and written\n"
     "last, so an interrupted write leaves each item as it was, as written, or empty.\n"
     "An image IN that cannot be read back (\"EEPROM read error\") is refused unless\n"
     "--force is given.\n",
     kWriteOptions, runWrite},
}};

}  // namespace

std::span<const Command> deviceCommands() { return kDeviceCommands; }

}  // namespace vostrel::cli
