// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "cli/cli.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <vector>

#include "device/hid/system_hid_transport.h"
#include "files/backups.h"
#include "files/data_folder.h"
#include "files/user_guide.h"
#include "image/image_builder.h"
#include "image/transmitter_settings.h"
#include "version.h"

namespace vostrel::cli {
namespace {

// The widest line of the help texts, as their literals are wrapped.
constexpr std::size_t kHelpWidth = 84;

constexpr std::string_view kConfigurationHelp =
    "Configuration files are UTF-8 text (a file that is not is read as Windows-1252);\n"
    "section and key names ignore case, and '#' or ';' starts a comment outside quotes.\n";
// Said from the entries a configuration starts from, so that it can never tell
// another default than the one a missing key gets.
std::string missingSettingsHelp() {
    const image::ProgrammerEntries initial;
    return "Missing settings keep " + std::to_string(image::kDataRates.at(static_cast<std::size_t>(initial.dataRateIndex))) +
           ", " + initial.preambleText + " and " + std::to_string(initial.repeatIndex + 1) +
           "; a missing [ItemNN] section is an empty row.\n";
}
constexpr std::string_view kConfigurationExample =
    "  [Settings]\n"
    "  DataRate = 1200      # 512, 1200, 2400 (or none, as decode prints index 3)\n"
    "  Preamble = 576       # as typed in the preamble box (576 to 1023)\n"
    "  Repeat = 2           # 1 to 4 times\n"
    "  Alphabet = DE        # the pagers' alphabet: US (default), DE, DK, NO, SE, FR,\n"
    "                       # ES, IT or YU\n"
    "  Transliterate = yes  # replace what the alphabet lacks (default no)\n"
    "  Site = \"Zur Post\"   # the site's name, for its site sheet (sheet)\n"
    "  [Item01]             # Item01 .. Item16\n"
    "  Label = \"Kitchen\"    # what the row is for (never sent; at most 40 characters)\n"
    "  CapCode = 1234567    # decimal digits; empty = row not in use; 1234567B gives\n"
    "                       # the tone too (the sub-address letter)\n"
    "  Tone = D             # A, B, C or D: D for alphanumeric pagers, B and C are\n"
    "                       # tone-only calls, A a numeric call\n"
    "  Type = Alphanumeric  # Numeric or Alphanumeric\n"
    "  Alphabet = SE        # this row's pager, when it differs\n"
    "  Message = \"HELLO\"    # double quotes; \\\" \\\\ and \\xNN escapes; what the pager\n"
    "                       # shows: the characters of its alphabet\n";

std::vector<Command> allCommands() {
    std::vector<Command> commands(fileCommands().begin(), fileCommands().end());
    commands.insert(commands.end(), checkCommands().begin(), checkCommands().end());
    commands.insert(commands.end(), deviceCommands().begin(), deviceCommands().end());
    commands.insert(commands.end(), transmitterCommands().begin(), transmitterCommands().end());
    commands.insert(commands.end(), audioCommands().begin(), audioCommands().end());
    commands.insert(commands.end(), sheetCommands().begin(), sheetCommands().end());
    commands.insert(commands.end(), capacityCommands().begin(), capacityCommands().end());
    commands.insert(commands.end(), siteListCommands().begin(), siteListCommands().end());
    return commands;
}

void printOverview(std::ostream& stream, std::span<const Command> commands) {
    stream << "Usage: " << kProgramName << " COMMAND [OPTIONS]\n"
           << "Programs the POCSAG paging transmitter and works with its EEPROM images.\n\nCommands:\n";
    const std::size_t width =
        std::ranges::max(commands, {}, [](const Command& command) { return command.name.size(); }).name.size();
    for (const Command& command : commands) {
        stream << "  " << command.name << std::string(width + 2 - command.name.size(), ' ') << command.summary << '\n';
    }
    stream << "\nRun '" << kProgramName << " COMMAND --help' for a command's options, '" << kProgramName
           << " --version' for the version.\n"
           << "Exit status: 0 success, 1 failure, 2 usage error.\n"
           << "The user guide, to open in a web browser:\n" VOSTREL_HELP_USER_GUIDE ".\n\n"
           << kConfigurationHelp << missingSettingsHelp() << kConfigurationExample;
}

void printOptionsHelp(std::ostream& stream, std::span<const OptionSpec> options) {
    stream << "\nOptions:\n";
    for (const OptionSpec& option : options) {
        stream << "  --" << option.name;
        if (option.takesValue()) stream << ' ' << option.valueName;
        stream << "\n        " << option.help << '\n';
    }
}

// A command's details with each "{name}" filled in by the code that defines it.
std::string filledDetails(std::string_view details) {
    const std::pair<std::string_view, std::string> fills[] = {
        {"{backup-folder}", files::dataFolderHelp(files::kBackupFolderName, kProgramName, kHelpWidth)},
        {"{backups-kept}", std::to_string(files::kBackupsKept)},
    };
    std::string text(details);
    for (const auto& [name, fill] : fills) {
        for (auto at = text.find(name); at != std::string::npos; at = text.find(name, at + fill.size())) {
            text.replace(at, name.size(), fill);
        }
    }
    return text;
}

void printCommandHelp(std::ostream& stream, const Command& command) {
    stream << "Usage: " << kProgramName << ' ' << command.name << ' ' << command.synopsis << "\n"
           << command.summary << ".\n\n"
           << filledDetails(command.details);
    if (!command.options.empty()) printOptionsHelp(stream, command.options);
}

// Output that never arrived (a full disk, a closed pipe) makes the command fail.
int finishOutput(CliContext& context, int status) {
    errno = 0;
    if (context.out.flush()) return status;
    const std::string reason = errno != 0 ? std::string(": ") + std::strerror(errno) : std::string();
    return failure(context, std::string(kProgramName) + ": cannot write to standard output" + reason);
}

int dispatch(std::span<const std::string> arguments, CliContext& context) {
    const std::vector<Command> commands = allCommands();
    if (arguments.empty()) {
        printOverview(context.err, commands);
        return kExitUsage;
    }
    const std::string& name = arguments.front();
    if (name == "--help" || name == "-h" || name == "help") {
        printOverview(context.out, commands);
        return kExitSuccess;
    }
    if (name == "--version") {
        context.out << kProgramName << ' ' << kVersion << '\n';
        return kExitSuccess;
    }
    const auto command = std::ranges::find(commands, name, &Command::name);
    if (command == commands.end()) {
        context.err << kProgramName << ": unknown command '" << terminalText(name) << "'\nTry '" << kProgramName
                    << " --help'.\n";
        return kExitUsage;
    }
    const auto parsed = parseArguments(arguments.subspan(1), command->options);
    if (const auto* error = std::get_if<UsageError>(&parsed)) return usageError(context, command->name, error->what);
    const auto& parsedArguments = std::get<Arguments>(parsed);
    if (parsedArguments.help) {
        printCommandHelp(context.out, *command);
        return kExitSuccess;
    }
    try {
        return command->run(parsedArguments, context);
    } catch (const std::exception& error) {
        // A transport that cannot start, or an emulator file that cannot be kept.
        return failure(context, std::string(kProgramName) + ": " + error.what());
    }
}

}  // namespace

std::unique_ptr<device::HidTransport> makeHardwareTransport() {
    return device::makeSystemHidTransport();
}

int runCli(std::span<const std::string> arguments, CliContext& context) {
    return finishOutput(context, dispatch(arguments, context));
}

}  // namespace vostrel::cli
