// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The commands that work on files alone: encode, build, decode, fingerprint.

#include <algorithm>
#include <array>
#include <cstdio>

#include "cli/command.h"
#include "config/config_file.h"
#include "files/utf8_path.h"
#include "files/whole_file.h"
#include "image/fingerprint.h"
#include "image/pager_text.h"
#include "image/row_rules.h"
#include "image/slot_table.h"
#include "texts/text_codec.h"

namespace vostrel::cli {
namespace {

constexpr std::string_view kEncode = "encode";

std::optional<paging::PagerType> chosenType(const Arguments& arguments) {
    const bool numeric = arguments.has("numeric");
    if (numeric == arguments.has("alpha")) return std::nullopt;
    return numeric ? paging::PagerType::Numeric : paging::PagerType::Alphanumeric;
}

// What encode says of an item that breaks the row rules.
std::string breachText(image::RowBreach breach) {
    if (breach == image::RowBreach::MessageOnToneOnlyCall) return "tones B and C are tone-only calls: give no message";
    return "--alpha goes with --tone D, and --tone D with --alpha";
}

void printSlotCodewords(const image::EepromImage& image, unsigned row, std::ostream& out) {
    const image::SlotEntry slot = image::loadSlot(image, row);
    for (int n = 0; n < slot.codewordCount(); ++n) {
        char line[16];
        std::snprintf(line, sizeof line, "0x%08X\n", image.loadCodeword(slot.start + 2 * static_cast<unsigned>(n)));
        out << line;
    }
}

// The item becomes row 1 of an otherwise empty window and goes through the image
// builder, so that encode refuses exactly what a Write refuses.
int runEncode(const Arguments& arguments, CliContext& context) {
    if (arguments.positionals.size() > 1) return usageError(context, kEncode, "more than one message (quote it)");
    const auto capcode = config::parseCapcode(arguments.value("capcode").value_or(""));
    const long long address = capcode ? image::leadingInteger(*capcode) : 0;
    if (address < 1 || address > image::kMaxCapcode) {
        return usageError(context, kEncode, "--capcode must give the pager's address (1 to 2097151)");
    }
    const auto tone = config::parseTone(arguments.value("tone").value_or(""));
    if (!tone) return usageError(context, kEncode, "--tone must be A, B, C or D");
    const auto type = chosenType(arguments);
    if (!type) return usageError(context, kEncode, "give one of --numeric and --alpha");
    const std::string message = arguments.positionals.empty() ? "" : arguments.positionals[0];
    // The window's row rules, with both choices given.
    const auto item = image::completeRow({*capcode, *tone, *type, message}, {});
    if (const auto* breach = std::get_if<image::RowBreach>(&item)) return usageError(context, kEncode, breachText(*breach));
    if (!texts::isValidUtf8(message)) return usageError(context, kEncode, "message: invalid UTF-8");
    if (image::composedLength(message) > config::kMaxMessageCharacters) {
        return usageError(context, kEncode, "message longer than " + std::to_string(config::kMaxMessageCharacters) + " characters");
    }
    const auto alphabet = chosenAlphabet(arguments);
    if (const auto* error = std::get_if<std::string>(&alphabet)) return usageError(context, kEncode, *error);

    image::ProgrammerEntries entries;
    entries.rows[0] = std::get<image::PagerItem>(item);
    entries.text.alphabet = std::get<paging::Alphabet>(alphabet);
    entries.text.transliterate = chosenTransliteration(arguments) == Transliteration::On;
    const image::BuildOutcome outcome = image::buildImage(entries);
    if (const auto* refusal = std::get_if<image::BuildRefusal>(&outcome)) {
        // The one item has no row to name.
        if (refusal->message.key == texts::keys::kCapCodeOutOfRange) {
            return failure(context, std::string(kProgramName) + " encode: capcode " + *capcode + " with tone " +
                                        static_cast<char>('A' + *tone) +
                                        " cannot be received: its address codeword is the sync or idle codeword");
        }
        printMessage(context.err, image::withoutRow(refusal->message));
        return kExitFailure;
    }
    const auto& built = std::get<image::BuiltImage>(outcome);
    for (const texts::Message& replaced : built.replacements) printMessage(context.err, image::withoutRow(replaced));
    // The one item always fits: the builder refuses more than 129 codes, which take
    // at most 66 codewords.
    printSlotCodewords(built.image, 0, context.out);
    return kExitSuccess;
}

// With --labels, each stored row and its label, so that the image can be checked
// against the site's list before it is written.
void printStoredRowLabels(const image::ProgrammerEntries& entries, const image::BuiltImage& built, CliContext& context) {
    const unsigned stored = static_cast<unsigned>(built.fullAtRow.value_or(static_cast<int>(image::kRowCount)));
    for (unsigned row = 0; row < stored; ++row) {
        const image::PagerItem& item = entries.rows[row];
        if (!image::callsAPager(item)) continue;
        char name[24];  // room for any unsigned, so that the compiler sees nothing cut
        std::snprintf(name, sizeof name, "Item[%02u] ", row + 1);
        const std::string& label = entries.labels[row];
        context.err << terminalText(name + item.capcode + ' ' + static_cast<char>('A' + item.tone) + ": " +
                                    (label.empty() ? "(no label)" : label))
                    << '\n';
    }
}

int runBuild(const Arguments& arguments, CliContext& context) {
    if (arguments.positionals.size() != 2) return usageError(context, "build", "expected CONFIG and IMAGE");
    const std::vector<std::string> labels = arguments.valuesOf(kLabelsOption.name);
    const std::filesystem::path config = files::pathFromUtf8(arguments.positionals[0]);
    const std::string& output = arguments.positionals[1];
    for (const std::string& file : labels) {
        if (const auto empty = refuseEmptyFileName(context, "build", {file})) return *empty;
        if (outputIsInput(output, files::pathFromUtf8(file), context)) return kExitFailure;
    }
    if (const auto empty = refuseEmptyFileName(context, "build", {arguments.positionals[0], output})) return *empty;
    if (outputIsInput(output, config, context)) return kExitFailure;
    auto entries = readConfigFile(config, context);
    if (!entries) return kExitFailure;
    // The first list that names a capcode wins: each fills only the labels still empty.
    for (const std::string& file : labels) {
        if (!labelRowsFromList(file, *entries, context)) return kExitFailure;
    }
    const auto built = buildConfigEntries(config, *entries, chosenTransliteration(arguments), context,
                                          chosenPartialSite(arguments));
    if (!built) return kExitFailure;
    if (!labels.empty()) printStoredRowLabels(*entries, *built, context);
    return saveOutput(output, files::imageBytes(built->image), context);
}

int runDecode(const Arguments& arguments, CliContext& context) {
    if (arguments.positionals.size() != 1) return usageError(context, "decode", "expected one IMAGE");
    if (const auto empty = refuseEmptyFileName(context, "decode", {arguments.positionals[0]})) return *empty;
    const auto alphabet = chosenAlphabet(arguments);
    if (const auto* error = std::get_if<std::string>(&alphabet)) return usageError(context, "decode", *error);
    const auto loaded = files::loadImageFile(files::pathFromUtf8(arguments.positionals[0]));
    if (const auto* error = std::get_if<files::FileError>(&loaded)) return failure(context, error->what);
    return printImageAsConfig(std::get<image::EepromImage>(loaded), std::get<paging::Alphabet>(alphabet), context);
}

// The fingerprint of a file read once (it may be a pipe): a configuration built as a
// Write would build it, or a 512-byte image as it stands.
std::optional<image::EepromImage> contentsOf(const std::filesystem::path& path, Transliteration transliteration,
                                            CliContext& context) {
    auto parsed = readConfigOrImage(path, context);
    if (!parsed) return std::nullopt;
    if (parsed->image) return *parsed->image;
    auto built = buildConfigEntries(path, std::move(parsed->entries), transliteration, context);
    if (!built) return std::nullopt;
    return built->image;
}

int runFingerprint(const Arguments& arguments, CliContext& context) {
    if (arguments.positionals.empty()) return usageError(context, "fingerprint", "expected CONFIG or IMAGE files");
    if (std::ranges::any_of(arguments.positionals, &std::string::empty)) {
        return usageError(context, "fingerprint", "a file name is empty");
    }
    int status = kExitSuccess;
    for (const std::string& name : arguments.positionals) {
        const auto contents = contentsOf(files::pathFromUtf8(name), chosenTransliteration(arguments), context);
        if (!contents) {
            status = kExitFailure;
            continue;
        }
        context.out << image::fingerprintText(image::contentsFingerprint(*contents)) << "  " << terminalText(name)
                    << '\n';
    }
    return status;
}

constexpr std::array kEncodeOptions = {
    OptionSpec{"capcode", "N", "the pager's capcode, 1 to 2097151"},
    OptionSpec{"tone", "A|B|C|D", "the tone (the POCSAG function bits)"},
    OptionSpec{"numeric", "", "encode the message for a numeric pager"},
    OptionSpec{"alpha", "", "encode the message for an alphanumeric pager"},
    kAlphabetOption,
    kTransliterateOption,
};
constexpr std::array kBuildOptions = {kTransliterateOption, kLabelsOption, kAllowPartialOption};
constexpr std::array kDecodeOptions = {kAlphabetOption};
constexpr std::array kFingerprintOptions = {kTransliterateOption};

constexpr std::array<Command, 4> kFileCommands = {{
    {kEncode,
     "--capcode N --tone A|B|C|D (--numeric|--alpha) [--alphabet NAME] [--transliterate] [--] [MESSAGE]",
     "print one item's POCSAG transmission, one codeword per line",
     "Encodes the item as a Write would place it and prints its codewords as 0x%08X,\n"
     "from the sync codeword to the closing idle codeword. The message is UTF-8 text (at\n"
     "most 129 characters) as the pager shows it; '--' ends the options, so it may start\n"
     "with '-'. --alpha goes with --tone D; tones B and C take no message. A capcode\n"
     "outside 1 to 2097151 is a usage error; a refused item (a character the pager cannot\n"
     "show, a capcode whose address codeword is the sync or idle codeword) exits 1.\n",
     kEncodeOptions, runEncode},
    {"build", "[--transliterate] [--labels FILE]... [--allow-partial] CONFIG IMAGE",
     "build the 512-byte EEPROM image file from a configuration",
     "Reads the configuration file CONFIG and writes the image to IMAGE ('-' for standard\n"
     "output). When not all rows fit the transmitter, the rows left out are named on\n"
     "stderr and no file is written (exit 1), unless --allow-partial is given: then the\n"
     "rows before the first left out are kept and the command exits 0; 'fit' says why and\n"
     "what would fit. A configuration error or a refusal writes no file and exits 1.\n"
     "Labels never go into the image: with --labels, each stored row is listed on stderr\n"
     "with its label, from CONFIG or else from the lists, to check the image against the\n"
     "site.\n",
     kBuildOptions, runBuild},
    {"decode", "[--alphabet NAME] IMAGE", "print a 512-byte EEPROM image file as a configuration",
     "Prints the image as a configuration that build reads back, with its contents\n"
     "fingerprint in a comment on the first line, alphanumeric messages as\n"
     "pagers with the alphabet show them (with \"Alphabet = NAME\" when it is not US). A\n"
     "damaged image prints what was read before the bad row, reports \"EEPROM read\n"
     "error\" and exits 1.\n",
     kDecodeOptions, runDecode},
    {"fingerprint", "[--transliterate] FILE...", "print the contents fingerprint of configurations and images",
     "Prints one line per FILE: the contents fingerprint, two blanks and the name. FILE is\n"
     "a configuration, built as write builds it, or a 512-byte image. The fingerprint is\n"
     "the CRC-32 (as zlib computes it) of the words the settings and the stored items\n"
     "occupy, as 8 hexadecimal digits: the same for a configuration, its image and a\n"
     "transmitter that holds it, whatever the words after the items hold. devices,\n"
     "verify, decode, read and the window show it too. A FILE that cannot be read or built\n"
     "is reported and makes the command exit 1 after the others.\n",
     kFingerprintOptions, runFingerprint},
}};

}  // namespace

std::span<const Command> fileCommands() { return kFileCommands; }

}  // namespace vostrel::cli
