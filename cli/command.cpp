// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "cli/command.h"

#include <algorithm>
#include <cstdio>

#include "config/label_list.h"
#include "files/utf8_path.h"
#include "files/whole_file.h"
#include "image/fingerprint.h"
#include "image/image_reader.h"
#include "texts/message_format.h"

namespace vostrel::cli {
namespace {

// The choices --help shows are the table's names, in its order.
constexpr bool listsEveryAlphabet(std::string_view choices) {
    for (const paging::AlphabetTable& table : paging::kAlphabets) {
        if (!choices.starts_with(table.name)) return false;
        choices.remove_prefix(table.name.size());
        if (choices.starts_with('|')) choices.remove_prefix(1);
    }
    return choices.empty();
}
static_assert(listsEveryAlphabet(kAlphabetChoices));

}  // namespace

std::variant<paging::Alphabet, std::string> chosenAlphabet(const Arguments& arguments) {
    const auto name = arguments.value(kAlphabetOption.name);
    if (!name) return paging::Alphabet::US;
    if (const auto alphabet = paging::alphabetNamed(*name)) return *alphabet;
    return "--alphabet must be one of " + std::string(kAlphabetChoices) + ", not '" + *name + "'";
}

Transliteration chosenTransliteration(const Arguments& arguments) {
    return arguments.has(kTransliterateOption.name) ? Transliteration::On : Transliteration::AsConfigured;
}

void printReplacements(const image::BuiltImage& built, std::string_view prefix, CliContext& context) {
    for (const texts::Message& replaced : built.replacements) {
        context.err << terminalText(std::string(prefix) + texts::formatMessage(replaced)) << '\n';
    }
}

std::string jsonString(std::string_view text) {
    std::string quoted = "\"";
    for (const char character : text) {
        const auto byte = static_cast<unsigned char>(character);
        if (character == '"' || character == '\\') {
            quoted += '\\';
            quoted += character;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[7];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            quoted += escaped;
        } else {
            quoted += character;
        }
    }
    return quoted + '"';
}

std::string terminalText(std::string_view utf8) {
    std::string shown;
    shown.reserve(utf8.size());
    const auto escape = [&shown](unsigned code) {
        char text[5];
        std::snprintf(text, sizeof text, "\\x%02X", code);
        shown += text;
    };
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0U;
        if (byte < 0x20 || byte == 0x7F) {
            escape(byte);
        } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {  // U+0080 to U+009F
            escape(next);
            ++i;
        } else {
            shown += utf8[i];
        }
    }
    return shown;
}

int usageError(CliContext& context, std::string_view command, std::string_view what) {
    context.err << kProgramName << ' ' << command << ": " << terminalText(what) << "\nTry '" << kProgramName
                << ' ' << command << " --help'.\n";
    return kExitUsage;
}

int failure(CliContext& context, std::string_view what) {
    context.err << terminalText(what) << '\n';
    return kExitFailure;
}

void printMessage(std::ostream& stream, const texts::Message& message) {
    stream << terminalText(texts::formatMessage(message)) << '\n';
}

std::optional<int> refuseEmptyFileName(CliContext& context, std::string_view command,
                                       std::initializer_list<std::string_view> names) {
    if (std::ranges::find(names, std::string_view()) == names.end()) return std::nullopt;
    return usageError(context, command, "a file name is empty");
}

bool outputIsInput(const std::string& output, const std::filesystem::path& input, CliContext& context) {
    if (output == kStandardOutput) return false;
    const auto same = files::refuseSameFile(files::pathFromUtf8(output), input);
    if (same) failure(context, same->what);
    return same.has_value();
}

int saveOutput(const std::string& output, std::string_view bytes, CliContext& context) {
    if (output == kStandardOutput) {
        // Checked once the command ends, when standard output is flushed.
        context.out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return kExitSuccess;
    }
    // What the command printed comes first, should the file be standard output too.
    context.out.flush();
    if (auto error = files::writeWholeFile(files::pathFromUtf8(output), bytes)) return failure(context, error->what);
    return kExitSuccess;
}

std::optional<std::vector<unsigned>> labelRowsFromList(const std::string& file, image::ProgrammerEntries& entries,
                                                       CliContext& context) {
    auto labelled = readEntriesFile(files::pathFromUtf8(file), [&](std::string_view bytes, std::string_view name) {
        return config::readLabelListInto(bytes, name, entries);
    }, context);
    if (!labelled) return std::nullopt;
    entries = std::move(labelled->entries);
    return std::move(labelled->labelledRows);
}

std::optional<config::EntriesRead> readEntriesFile(const std::filesystem::path& path, const EntriesReader& reader,
                                                   CliContext& context) {
    const auto bytes = files::readWholeFile(path, files::kMaxFileBytes);
    if (const auto* error = std::get_if<files::FileError>(&bytes)) {
        failure(context, error->what);
        return std::nullopt;
    }
    const std::string name = files::utf8Name(path);
    auto read = reader(std::get<std::string>(bytes), name);
    if (const auto* problem = std::get_if<config::ReadProblem>(&read)) {
        std::string text = config::locatedProblemText(name, *problem);
        if (problem->kind == config::ReadProblem::Kind::ImageNotWanted) {
            text += "; nothing was written (write --image takes an image, decode turns it into a configuration)";
        }
        failure(context, text);
        return std::nullopt;
    }
    auto& entries = std::get<config::EntriesRead>(read);
    for (const texts::Message& note : entries.notes) printMessage(context.err, note);
    return std::move(entries);
}

std::optional<image::BuiltImage> buildConfigEntries(const std::filesystem::path& path, image::ProgrammerEntries entries,
                                                    Transliteration transliteration, CliContext& context) {
    if (transliteration == Transliteration::On) entries.text.transliterate = true;
    image::BuildOutcome outcome = image::buildImage(entries);
    const std::string prefix = files::utf8Name(path) + ": ";
    if (const auto* refusal = std::get_if<image::BuildRefusal>(&outcome)) {
        failure(context, prefix + texts::formatMessage(refusal->message));
        return std::nullopt;
    }
    auto& built = std::get<image::BuiltImage>(outcome);
    printReplacements(built, prefix, context);
    if (const auto warning = built.warning()) printMessage(context.err, *warning);
    return std::move(built);
}

std::optional<image::ProgrammerEntries> readConfigFile(const std::filesystem::path& path, CliContext& context) {
    auto read = readEntriesFile(path, [](std::string_view bytes, std::string_view name) {
        return config::readConfiguration(bytes, name);
    }, context);
    if (!read) return std::nullopt;
    return std::move(read->entries);
}

std::optional<image::BuiltImage> buildConfigFile(const std::filesystem::path& path, Transliteration transliteration,
                                                 CliContext& context) {
    auto entries = readConfigFile(path, context);
    if (!entries) return std::nullopt;
    return buildConfigEntries(path, std::move(*entries), transliteration, context);
}

namespace {

int reportReadOutcome(const image::ImageContents& contents, CliContext& context) {
    if (contents.erased) context.err << kErasedNote << '\n';
    if (!contents.readErrorRow) return kExitSuccess;
    printMessage(context.err, {texts::keys::kEepromReadError, texts::Title::Error, {}});
    return kExitFailure;
}

}  // namespace

std::string fingerprintComment(const image::EepromImage& image) {
    return "# Contents fingerprint " + image::fingerprintText(image::contentsFingerprint(image)) + '\n';
}

std::optional<config::EntriesRead> readConfigOrImage(const std::filesystem::path& path, CliContext& context) {
    return readEntriesFile(path, [](std::string_view bytes, std::string_view name) {
        return config::readConfigOrImage(bytes, name);
    }, context);
}

std::optional<LoadedInput> loadConfigOrImage(const std::filesystem::path& path, Transliteration transliteration,
                                             CliContext& context) {
    auto parsed = readConfigOrImage(path, context);
    if (!parsed) return std::nullopt;
    if (parsed->image) {
        // A damaged image would show calls the transmitter never sends.
        if (reportImageReadable(*parsed->image, context) != kExitSuccess) return std::nullopt;
        return LoadedInput{*parsed->image, std::nullopt};
    }
    auto& entries = parsed->entries;
    if (transliteration == Transliteration::On) entries.text.transliterate = true;
    auto built = buildConfigEntries(path, entries, transliteration, context);
    if (!built) return std::nullopt;
    return LoadedInput{built->image, std::move(entries)};
}

int printImageAsConfig(const image::EepromImage& image, paging::Alphabet alphabet, CliContext& context) {
    image::PagerTextSettings text;
    text.alphabet = alphabet;
    const image::ImageContents contents = image::decodeImage(image, text);
    // An erased header reads as settings no Write would store ("DataRate = none").
    if (contents.erased) {
        context.out << fingerprintComment(image) << "# " << kErasedNote << '\n';
        return kExitSuccess;
    }
    context.out << fingerprintComment(image) << config::writeConfig(image::shownEntries(contents, text));
    return reportReadOutcome(contents, context);
}

int reportImageReadable(const image::EepromImage& image, CliContext& context) {
    return reportReadOutcome(image::decodeImage(image), context);
}

}  // namespace vostrel::cli
