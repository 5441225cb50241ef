// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "cli/command.h"

#include "config/config_file.h"
#include "files/utf8_path.h"
#include "files/whole_file.h"
#include "image/image_reader.h"
#include "texts/message_format.h"

namespace vostrel::cli {

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

std::optional<image::BuiltImage> buildConfigFile(const std::filesystem::path& path, CliContext& context) {
    auto text = files::readWholeFile(path, files::kMaxFileBytes);
    if (auto* error = std::get_if<files::FileError>(&text)) {
        failure(context, error->what);
        return std::nullopt;
    }
    return buildConfigText(path, std::get<std::string>(text), context);
}

std::optional<image::BuiltImage> buildConfigText(const std::filesystem::path& path, const std::string& text,
                                                 CliContext& context) {
    const config::ConfigOutcome parsed = config::parseConfig(text);
    if (const auto* error = std::get_if<config::ConfigError>(&parsed)) {
        context.err << files::utf8Name(path) << ':' << error->line << ": " << error->what << '\n';
        return std::nullopt;
    }
    image::BuildOutcome outcome = image::buildImage(std::get<image::ProgrammerEntries>(parsed));
    if (const auto* refusal = std::get_if<image::BuildRefusal>(&outcome)) {
        context.err << files::utf8Name(path) << ": ";
        printMessage(context.err, refusal->message);
        return std::nullopt;
    }
    auto& built = std::get<image::BuiltImage>(outcome);
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

int printImageAsConfig(const image::EepromImage& image, CliContext& context) {
    const image::ImageContents contents = image::decodeImage(image);
    context.out << config::writeConfig(contents.settings, contents.rows);
    return reportReadOutcome(contents, context);
}

int reportImageReadable(const image::EepromImage& image, CliContext& context) {
    return reportReadOutcome(image::decodeImage(image), context);
}

}  // namespace vostrel::cli
