// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "cli/command.h"

#include <algorithm>
#include <cstdio>

#include "config/label_list.h"
#include "files/utf8_path.h"
#include "files/whole_file.h"
#include "image/capacity.h"
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

PartialSite chosenPartialSite(const Arguments& arguments) {
    return arguments.has(kAllowPartialOption.name) ? PartialSite::Named : PartialSite::Refused;
}

std::string leftOutLine(const image::ProgrammerEntries& entries) {
    const image::SiteCapacity capacity = image::siteCapacity(entries, image::layOutRows(entries));
    std::string line;
    for (const texts::Message& name : image::leftOutRowNames(capacity, entries)) {
        line += (line.empty() ? texts::formatMessage({texts::keys::kNotStored, texts::Title::Warn, {}}) + ' ' : ", ") +
                texts::formatMessage(name);
    }
    return line;
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

namespace {

// Each line as terminalText shows it; line ends and the tabs between cells stay.
std::string terminalLines(std::string_view text) {
    std::string shown;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        for (std::size_t tab; (tab = line.find('\t')) != std::string_view::npos; line.remove_prefix(tab + 1)) {
            shown += terminalText(line.substr(0, tab)) + '\t';
        }
        shown += terminalText(line);
        if (end < text.size()) shown += '\n';
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return shown;
}

}  // namespace

int saveOutput(const std::string& output, std::string_view bytes, CliContext& context, OutputKind kind) {
    if (output == kStandardOutput) {
        const std::string shown = kind == OutputKind::Text && context.outputIsTerminal ? terminalLines(bytes) : "";
        if (!shown.empty()) bytes = shown;
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
                                                   CliContext& context, std::string_view imageAdvice) {
    const auto bytes = files::readWholeFile(path, files::kMaxFileBytes);
    if (const auto* error = std::get_if<files::FileError>(&bytes)) {
        failure(context, error->what);
        return std::nullopt;
    }
    const std::string name = files::utf8Name(path);
    auto read = reader(std::get<std::string>(bytes), name);
    if (const auto* problem = std::get_if<config::ReadProblem>(&read)) {
        std::string text =
            texts::formatMessage(config::locatedProblem(name, *problem, texts::formatMessage(problem->what)));
        if (problem->kind == config::ReadProblem::Kind::ImageNotWanted) {
            text += "; " + std::string(imageAdvice);
        }
        failure(context, text);
        return std::nullopt;
    }
    auto& entries = std::get<config::EntriesRead>(read);
    for (const texts::Message& note : entries.notes) printMessage(context.err, note);
    return std::move(entries);
}

std::optional<image::BuiltImage> buildConfigEntries(const std::filesystem::path& path, image::ProgrammerEntries entries,
                                                    Transliteration transliteration, CliContext& context,
                                                    PartialSite partial) {
    if (transliteration == Transliteration::On) entries.text.transliterate = true;
    image::BuildOutcome outcome = image::buildImage(entries);
    const std::string name = files::utf8Name(path);
    const std::string prefix = name + ": ";
    if (const auto* refusal = std::get_if<image::BuildRefusal>(&outcome)) {
        failure(context, prefix + texts::formatMessage(refusal->message));
        return std::nullopt;
    }
    auto& built = std::get<image::BuiltImage>(outcome);
    // A transmitter missing some calls must not pass for one that holds the site.
    if (built.fullAtRow && partial == PartialSite::Refused) {
        failure(context, prefix + "not all rows fit the transmitter, so nothing was written");
        failure(context, leftOutLine(entries));
        failure(context, "'" + std::string(kProgramName) + " fit " + name +
                             "' says why and what would fit; --allow-partial takes the rows that fit");
        return std::nullopt;
    }
    printReplacements(built, prefix, context);
    if (built.fullAtRow) failure(context, prefix + leftOutLine(entries));
    return std::move(built);
}

std::optional<image::ProgrammerEntries> readConfigFile(const std::filesystem::path& path, CliContext& context,
                                                       std::string_view imageAdvice) {
    auto read = readEntriesFile(path, [](std::string_view bytes, std::string_view name) {
        return config::readConfiguration(bytes, name);
    }, context, imageAdvice);
    if (!read) return std::nullopt;
    return std::move(read->entries);
}

std::optional<image::BuiltImage> buildConfigFile(const std::filesystem::path& path, Transliteration transliteration,
                                                 CliContext& context, PartialSite partial) {
    auto entries = readConfigFile(path, context);
    if (!entries) return std::nullopt;
    return buildConfigEntries(path, std::move(*entries), transliteration, context, partial);
}

namespace {

int reportReadOutcome(const image::ImageContents& contents, CliContext& context) {
    if (contents.erased) context.err << kErasedNote << '\n';
    for (const texts::Message& hidden : contents.hiddenWordsMessages()) printMessage(context.err, hidden);
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
        // A damaged image would show calls the transmitter never sends. Its hidden
        // words were among the notes.
        if (parsed->readErrorRow) {
            printMessage(context.err, {texts::keys::kEepromReadError, texts::Title::Error, {}});
            return std::nullopt;
        }
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
