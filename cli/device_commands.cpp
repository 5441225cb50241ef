// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The commands that move a transmitter's contents: read and write. Each takes
// --emulator FILE to use an emulated transmitter whose EEPROM is kept in FILE, and
// --device D to name one of several on the USB bus.

#include <array>
#include <cstdio>

#include "cli/command.h"
#include "cli/device_target.h"
#include "device/eeprom_programmer.h"
#include "device/transmitter_hold.h"
#include "files/backups.h"
#include "files/write_history.h"
#include "image/fingerprint.h"
#include "files/utf8_path.h"
#include "files/whole_file.h"
#include "image/image_reader.h"
#include "image/slot_table.h"

namespace vostrel::cli {
namespace {

int runRead(const Arguments& arguments, CliContext& context) {
    if (!arguments.positionals.empty()) return usageError(context, "read", "takes no arguments (use --image OUT)");
    const auto alphabet = chosenAlphabet(arguments);
    if (const auto* error = std::get_if<std::string>(&alphabet)) return usageError(context, "read", *error);
    const auto output = arguments.value("image");
    if (const auto empty = refuseEmptyTarget(arguments, context, "read")) return *empty;
    if (const auto empty = refuseEmptyFileName(context, "read", {output.value_or("-")})) return *empty;
    // The emulator's file is the transmitter itself: never overwritten as an output.
    const std::filesystem::path emulatorFile =
        files::pathFromUtf8(arguments.value(kEmulatorOption.name).value_or(""));
    if (output && outputIsInput(*output, emulatorFile, context)) return kExitFailure;
    const DeviceTarget target = openTarget(arguments, context, TargetUse::Looks);
    const device::ReadOutcome read = device::readEeprom(*target.transport);
    if (const auto* failed = std::get_if<device::DeviceFailure>(&read)) {
        return reportDeviceFailure(context, target, *failed);
    }
    const auto& image = std::get<image::EepromImage>(read);
    if (!output) return printImageAsConfig(image, std::get<paging::Alphabet>(alphabet), context);
    if (const int status = saveOutput(*output, files::imageBytes(image), context)) return status;
    return reportImageReadable(image, context);
}

struct WriteJob {
    image::EepromImage image;
    unsigned wordCount = 0;
    std::string site;  // a configuration's site name
};

// An image that cannot be read back would leave the transmitter paging nobody, or
// paging garbage: it is written only on request. An erased one (the backup of a new
// transmitter) is no such image: written, it leaves the transmitter empty again.
bool refuseDamagedImage(const image::EepromImage& image, const std::filesystem::path& file, CliContext& context) {
    const std::optional<int> badRow = image::decodeImage(image).readErrorRow;
    if (!badRow) return false;
    context.err << files::utf8Name(file) << ": the image is damaged: row " << *badRow
                << " cannot be read (\"EEPROM read error\"); nothing was written.\n"
                << "To write it all the same, add --force.\n";
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
        return WriteJob{image, image::usedWordCount(image), std::string()};
    }
    const std::filesystem::path config = files::pathFromUtf8(arguments.positionals.front());
    auto entries = readConfigFile(config, context);
    if (!entries) return std::nullopt;
    auto built = buildConfigEntries(config, *entries, chosenTransliteration(arguments), context,
                                    chosenPartialSite(arguments));
    if (!built) return std::nullopt;
    return WriteJob{built->image, built->usedWords, entries->site};
}

void reportNoBackup(CliContext& context) {
    printMessage(context.err, {texts::keys::kBackupFailed, texts::Title::Error, {}});
}

// Saves what the transmitter holds before it is overwritten, as the window does, in the
// backup folder, named after the transmitter. Without a backup nothing is written. The
// backup's name, or nothing when it could not be saved.
std::optional<std::filesystem::path> saveBackup(const image::EepromImage& held, const std::string& transmitter,
                                                CliContext& context) {
    const auto saved = files::saveBackup(transmitter, held);
    if (const auto* problem = std::get_if<files::FileError>(&saved)) {
        failure(context, problem->what);
        reportNoBackup(context);
        return std::nullopt;
    }
    const auto& backup = std::get<std::filesystem::path>(saved);
    context.out << "Saved the transmitter's previous contents to " << terminalText(files::utf8Name(backup)) << '\n';
    return backup;
}

// A Write that failed once words were sent: the transmitter may hold part of the new
// contents, and the backup puts the old ones back.
int reportUnfinishedWrite(const std::optional<std::filesystem::path>& backup, CliContext& context) {
    if (backup) {
        const std::string name = files::utf8Name(*backup);
        failure(context, "The previous contents are in the backup " + name +
                             "; to put them back: vostrel-cli write --image " + name);
    }
    return kExitFailure;
}

// The outcome of a Write, as the command reports it: "Data write completed" only for
// words that were written and, when asked, read back as written.
int reportWrite(const device::WriteOutcome& outcome, const WriteJob& job, const DeviceTarget& target,
                const std::optional<std::filesystem::path>& backup, bool backupWanted, bool verify,
                CliContext& context) {
    using End = device::WriteOutcome::End;
    switch (outcome.end) {
        case End::NotOpened:
        case End::ReadFailed:
            reportDeviceFailure(context, target, *outcome.failure);
            if (backupWanted) reportNoBackup(context);
            return kExitFailure;
        case End::Cancelled:  // the backup could not be saved; that was said
            return kExitFailure;
        case End::WriteFailed:
        case End::ReadBackFailed:
            reportDeviceFailure(context, target, *outcome.failure);
            return reportUnfinishedWrite(backup, context);
        case End::VerifyFailed: {
            const device::WordMismatch& mismatch = *outcome.mismatch;
            char text[96];
            std::snprintf(text, sizeof text, "Verify failed: word %u reads 0x%04X, 0x%04X was written",
                          mismatch.address, mismatch.read, mismatch.written);
            failure(context, text);
            return reportUnfinishedWrite(backup, context);
        }
        case End::AlreadyThere:
        case End::Written: break;
    }
    printMessage(context.out, {texts::keys::kWriteCompleted, texts::Title::Success, {}});
    printMessage(context.out, {texts::keys::kResultTransmitter, texts::Title::Success,
                               {texts::Text{transmitterText(target, outcome.path, outcome.location)}}});
    if (outcome.end == End::AlreadyThere) printMessage(context.out, {texts::keys::kAlreadyHeld, texts::Title::Success, {}});
    // When none was sent, the read before the Write has compared every word.
    if (verify) context.out << "Verified words 0 to " << job.wordCount - 1 << '\n';
    return kExitSuccess;
}

// The Write in the record beside the backups, so that the list of backups names the
// transmitter and the site's sheet says where the site went; one that sent nothing and
// saved nothing is none. An emulated transmitter's Writes, which save no backup, leave
// no record either.
void recordWrite(const device::WriteOutcome& outcome, const WriteJob& job, const DeviceTarget& target,
                 const std::optional<std::filesystem::path>& backup, CliContext& context) {
    using End = device::WriteOutcome::End;
    if (target.emulated || outcome.end == End::NotOpened || outcome.end == End::ReadFailed ||
        outcome.end == End::Cancelled) {
        return;
    }
    const bool there = outcome.end == End::Written || outcome.end == End::AlreadyThere;
    const std::string fingerprint = there ? image::fingerprintText(image::contentsFingerprint(job.image)) : "";
    if (const auto error = files::recordWrite(files::writeRecord(outcome.port(), target.names, backup, fingerprint, job.site))) {
        failure(context, "The Write is not in the record beside the backups: " + error->what);
    }
}

int runWrite(const Arguments& arguments, CliContext& context) {
    const std::size_t sources = arguments.positionals.size() + (arguments.value("image") ? 1 : 0);
    if (arguments.positionals.size() > 1 || sources != 1) {
        return usageError(context, "write", "give either one CONFIG or --image IN");
    }
    if (const auto empty = refuseEmptyTarget(arguments, context, "write")) return *empty;
    const std::string source = arguments.value("image").value_or(arguments.positionals.empty() ? "" : arguments.positionals[0]);
    if (const auto empty = refuseEmptyFileName(context, "write", {source})) return *empty;
    const auto job = prepareWrite(arguments, context);
    if (!job) return kExitFailure;
    const DeviceTarget target = openTarget(arguments, context, TargetUse::Writes);
    const bool backup = !target.emulated && !arguments.has("no-backup");
    const bool verify = arguments.has("verify");
    // One hold on the transmitter from the backup to the read-back: no other program
    // can change it in between.
    std::optional<std::filesystem::path> backupFile;
    const device::WriteOutcome outcome = device::writeUnderOneHold(
        *target.transport, job->image, job->wordCount, device::WriteSteps{backup, verify},
        [&](const image::EepromImage& held, const device::TransmitterHold& hold) {
            backupFile = saveBackup(held, files::transmitterCalled(target.names, hold.port()), context);
            return backupFile ? device::Proceed::Write : device::Proceed::Cancel;
        });
    recordWrite(outcome, *job, target, backupFile, context);
    return reportWrite(outcome, *job, target, backupFile, backup, verify, context);
}

constexpr std::array kReadOptions = {kEmulatorOption, kDeviceOption,
                                     OptionSpec{"image", "OUT", "save the raw image instead of printing it"},
                                     kAlphabetOption};
constexpr std::array kWriteOptions = {
    kEmulatorOption,
    kDeviceOption,
    OptionSpec{"image", "IN", "write this 512-byte image file"},
    OptionSpec{"verify", "", "read the written words back; a difference names the first differing word and exits 1"},
    OptionSpec{"no-backup", "", "do not save the transmitter's current contents first"},
    OptionSpec{"force", "", "write an image from --image even when it cannot be read back"},
    kTransliterateOption,
    kAllowPartialOption,
};

constexpr std::array<Command, 2> kDeviceCommands = {{
    {"read", "[--emulator FILE] [--device D] [--alphabet NAME] [--image OUT]", "read the transmitter's EEPROM",
     "Reads all 256 words and prints them as a configuration (as decode does, with the\n"
     "contents fingerprint in a comment and messages as pagers with the alphabet show them), or saves\n"
     "the raw 512-byte image to OUT ('-' for standard output). A device failure exits 1 with its message; a\n"
     "damaged image reports \"EEPROM read error\" and exits 1 after printing or saving\n"
     "what was read.\n",
     kReadOptions, runRead},
    {"write",
     "[--emulator FILE] [--device D] [--verify] [--no-backup] [--transliterate] [--allow-partial] "
     "(CONFIG | --image IN [--force])",
     "program the transmitter from a configuration or an image file",
     "Builds the image from CONFIG (or takes IN) and writes its words from 0 up to the end\n"
     "of the last stored item (at least 17), then prints \"Data write completed\" (with\n"
     "--verify, once the words read back as written). When the Write or its read-back\n"
     "fails, stderr names the backup that puts the previous contents back. CONFIG must\n"
     "be a configuration: an EEPROM image there is refused, and written with --image.\n"
     "When not all rows of CONFIG fit the transmitter, the rows left out are named and\n"
     "nothing is written (exit 1), unless --allow-partial is given: then the rows that fit\n"
     "are written and those left out named on stderr.\n"
     "Before writing to a real transmitter its current contents are saved, as the window\n"
     "saves them, in the backup folder:\n"
     "{backup-folder}.\n"
     "A backup is named NNNNNN-YYYYmmdd-HHMMSS-DEVICE.bin, NNNNNN one above the highest\n"
     "number there; the newest {backups-kept} by number are kept, whatever the clock says. When no\n"
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
