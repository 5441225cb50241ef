// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "cli/command.h"

#include "config/config_file.h"
#include "files/utf8_path.h"
#include "files/whole_file.h"
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
        context.err << prefix;
        printMessage(context.err, replaced);
    }
}

int usageError(CliContext& context, std::string_view command, std::string_view what) {
    context.err << kProgramName << ' ' << command << ": " << what << "\nTry '" << kProgramName << ' '
                << command << " --help'.\n";
    return kExitUsage;
}

int failure(CliContext& context, std::string_view what) {
    context.err << what << '\n';
    return kExitFailure;
}

void printMessage(std::ostream& stream, const texts::Message& message) {
    stream << texts::formatMessage(message) << '\n';
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
    if (auto error = files::writeWholeFile(files::pathFromUtf8(output), bytes)) return failure(context, error->what);
    return kExitSuccess;
}

std::optional<image::BuiltImage> buildConfigFile(const std::filesystem::path& path, Transliteration transliteration,
                                                 CliContext& context) {
    auto text = files::readWholeFile(path, files::kMaxFileBytes);
    if (auto* error = std::get_if<files::FileError>(&text)) {
        failure(context, error->what);
        return std::nullopt;
    }
    return buildConfigText(path, std::get<std::string>(text), transliteration, context);
}

std::optional<image::BuiltImage> buildConfigText(const std::filesystem::path& path, const std::string& text,
                                                 Transliteration transliteration, CliContext& context) {
    const config::ConfigOutcome parsed = config::parseConfig(text);
    if (const auto* error = std::get_if<config::ConfigError>(&parsed)) {
        context.err << files::utf8Name(path) << ':' << error->line << ": " << error->what << '\n';
        return std::nullopt;
    }
    auto entries = std::get<image::ProgrammerEntries>(parsed);
    if (transliteration == Transliteration::On) entries.text.transliterate = true;
    image::BuildOutcome outcome = image::buildImage(entries);
    const std::string prefix = files::utf8Name(path) + ": ";
    if (const auto* refusal = std::get_if<image::BuildRefusal>(&outcome)) {
        context.err << prefix;
        printMessage(context.err, refusal->message);
        return std::nullopt;
    }
    auto& built = std::get<image::BuiltImage>(outcome);
    printReplacements(built, prefix, context);
    if (const auto warning = built.warning()) printMessage(context.err, *warning);
    return std::move(built);
}

namespace {

int reportReadOutcome(const image::ImageContents& contents, CliContext& context) {
    if (!contents.readErrorRow) return kExitSuccess;
    printMessage(context.err, {texts::keys::kEepromReadError, texts::Title::Error, {}});
    return kExitFailure;
}

}  // namespace

int printImageAsConfig(const image::EepromImage& image, paging::Alphabet alphabet, CliContext& context) {
    image::PagerTextSettings text;
    text.alphabet = alphabet;
    const image::ImageContents contents = image::decodeImage(image, text);
    context.out << config::writeConfig(image::shownEntries(contents, text));
    return reportReadOutcome(contents, context);
}

int reportImageReadable(const image::EepromImage& image, CliContext& context) {
    return reportReadOutcome(image::decodeImage(image), context);
}

}  // namespace vostrel::cli
