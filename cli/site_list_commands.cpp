// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The commands between a configuration and a site's list in a spreadsheet:
// csv-export and csv-import.

#include <array>

#include "cli/command.h"
#include "config/config_file.h"
#include "config/label_list.h"
#include "config/site_list.h"
#include "files/utf8_path.h"
#include "files/whole_file.h"
#include "image/image_reader.h"
#include "texts/message_format.h"

namespace vostrel::cli {
namespace {

constexpr std::string_view kExport = "csv-export";
constexpr std::string_view kImport = "csv-import";
constexpr std::string_view kSettingsOption = "settings";

std::variant<char, std::string> chosenSeparator(const Arguments& arguments) {
    const std::string name = arguments.value("separator").value_or(";");
    if (name == ";" || name == ",") return name[0];
    if (name == "tab" || name == "\t") return '\t';
    return "--separator must be ';', ',' or tab, not '" + name + "'";
}

// The entries a configuration or an image file holds; an image as a Read shows it.
std::optional<image::ProgrammerEntries> entriesOfFile(const std::string& name, paging::Alphabet alphabet,
                                                      CliContext& context) {
    image::PagerTextSettings text;
    text.alphabet = alphabet;
    const auto read = readEntriesFile(files::pathFromUtf8(name), [&](std::string_view bytes, std::string_view shown) {
        return config::readConfigOrImage(bytes, shown, text);
    }, context);
    if (!read) return std::nullopt;
    // A list that silently lacks the rows after a damaged one would be taken for the
    // whole site.
    if (read->readErrorRow) {
        printMessage(context.err, {texts::keys::kEepromReadError, texts::Title::Error, {}});
        return std::nullopt;
    }
    return read->entries;
}

int runExport(const Arguments& arguments, CliContext& context) {
    if (arguments.positionals.size() != 2) return usageError(context, kExport, "expected CONFIG|IMAGE and OUT.csv");
    const std::string& input = arguments.positionals[0];
    const std::string& output = arguments.positionals[1];
    if (const auto empty = refuseEmptyFileName(context, kExport, {input, output})) return *empty;
    const auto separator = chosenSeparator(arguments);
    if (const auto* error = std::get_if<std::string>(&separator)) return usageError(context, kExport, *error);
    const auto alphabet = chosenAlphabet(arguments);
    if (const auto* error = std::get_if<std::string>(&alphabet)) return usageError(context, kExport, *error);
    if (outputIsInput(output, files::pathFromUtf8(input), context)) return kExitFailure;
    const auto entries = entriesOfFile(input, std::get<paging::Alphabet>(alphabet), context);
    if (!entries) return kExitFailure;
    config::SiteListFormat format;
    format.separator = std::get<char>(separator);
    return saveOutput(output, config::writeSiteList(*entries, format), context, OutputKind::Text);
}

// The settings (and alphabet) of --settings, or the window's initial ones.
std::optional<image::ProgrammerEntries> baseEntries(const Arguments& arguments, CliContext& context) {
    const auto settings = arguments.value(kSettingsOption);
    if (!settings) return image::ProgrammerEntries{};
    return readConfigFile(files::pathFromUtf8(*settings), context,
                          "nothing was written (--settings takes a configuration, whose settings the list's rows "
                          "join; decode turns an image into one)");
}

int runImport(const Arguments& arguments, CliContext& context) {
    if (arguments.positionals.size() != 2) return usageError(context, kImport, "expected IN.csv and OUT.conf");
    const std::string& input = arguments.positionals[0];
    const std::string& output = arguments.positionals[1];
    const std::vector<std::string> labels = arguments.valuesOf(kLabelsOption.name);
    if (const auto empty = refuseEmptyFileName(context, kImport, {input, output,
                                                                  arguments.value(kSettingsOption).value_or("-")})) {
        return *empty;
    }
    // The configuration given with --settings may be the output: its rows are replaced.
    if (outputIsInput(output, files::pathFromUtf8(input), context)) return kExitFailure;
    for (const std::string& file : labels) {
        if (const auto empty = refuseEmptyFileName(context, kImport, {file})) return *empty;
        if (outputIsInput(output, files::pathFromUtf8(file), context)) return kExitFailure;
    }
    const auto namedAlphabet = chosenAlphabet(arguments);
    if (const auto* error = std::get_if<std::string>(&namedAlphabet)) return usageError(context, kImport, *error);
    auto entries = baseEntries(arguments, context);
    if (!entries) return kExitFailure;
    // --alphabet names the pagers' alphabet, before the one of --settings.
    const bool alphabetGiven = arguments.value(kAlphabetOption.name).has_value();
    if (alphabetGiven) entries->text.alphabet = std::get<paging::Alphabet>(namedAlphabet);
    if (chosenTransliteration(arguments) == Transliteration::On) entries->text.transliterate = true;
    const config::SiteListReading reading{{}, entries->text.alphabet, entries->text.transliterate};
    const auto alphabet = alphabetGiven || arguments.value(kSettingsOption) ? config::ListAlphabet::OfBase
                                                                            : config::ListAlphabet::SharedByTheRows;
    auto read = readEntriesFile(files::pathFromUtf8(input), [&](std::string_view bytes, std::string_view name) {
        return config::readSiteListInto(bytes, name, *entries, reading, alphabet);
    }, context);
    if (!read) return kExitFailure;
    for (const config::UnusedColumn& column : read->unusedColumns) {
        context.err << terminalText(input + ": " + texts::formatMessage(config::unusedColumnNote(column))) << '\n';
    }
    if (!read->unusedColumns.empty()) {
        context.err << terminalText(input + ": " + texts::formatMessage(config::knownHeadingsNote())) << '\n';
    }
    entries = std::move(read->entries);
    // The first list that names a capcode wins: each fills only the labels still empty.
    for (const std::string& file : labels) {
        const auto labelled = labelRowsFromList(file, *entries, context);
        if (!labelled) return kExitFailure;
        context.err << terminalText(file + ": labels for " + std::to_string(labelled->size()) + " of the rows") << '\n';
    }
    // Built as a Write will build it, for what it tells: each character sent replaced,
    // and the rows a Write would leave out (the list is taken whole).
    if (!buildConfigEntries(files::pathFromUtf8(input), *entries, Transliteration::AsConfigured, context)) {
        return kExitFailure;
    }
    return saveOutput(output, config::writeConfig(*entries), context, OutputKind::Text);
}

constexpr std::array kExportOptions = {
    OptionSpec{"separator", ";|,|tab", "the separator between cells (default ';', as German Excel opens it)"},
    kAlphabetOption,
};
constexpr std::array kImportOptions = {
    OptionSpec{kSettingsOption, "CONFIG", "take the settings and the pager alphabet from this configuration; it "
                                          "may be OUT.conf itself, whose rows are then replaced"},
    OptionSpec{kAlphabetOption.name, kAlphabetChoices, "the pager alphabet of the list's rows that name none in an "
                                                       "Alphabet column, before the one of --settings (without "
                                                       "either: the one all the list's rows name, else US)"},
    kLabelsOption,
    kTransliterateOption,
};

constexpr std::array<Command, 2> kSiteListCommands = {{
    {kExport, "[--separator ;|,|tab] [--alphabet NAME] CONFIG|IMAGE OUT.csv",
     "write a configuration's or an image's rows as a site list for spreadsheets",
     "Writes one line per row that holds a call or a label: Row;Label;CapCode;Tone;Type;\n"
     "Message, and Alphabet when a row's pager alphabet is not US. The file opens in\n"
     "columns in German Excel and LibreOffice: ';' between cells, UTF-8 with a byte-order\n"
     "mark, CRLF line ends, cells quoted where they must be. An image's rows are shown\n"
     "as pagers with --alphabet show them and have no labels; a damaged image writes\n"
     "nothing and exits 1 (\"EEPROM read error\"). OUT.csv '-' is standard output.\n",
     kExportOptions, runExport},
    {kImport, "[--settings CONFIG] [--alphabet NAME] [--labels FILE]... [--transliterate] IN.csv OUT.conf",
     "read a site list from a spreadsheet into a configuration",
     "Reads IN.csv as spreadsheets save it: ';', ',' or tab between cells (found from the\n"
     "first line, or named by a first line sep=;), UTF-8 with or without byte-order mark\n"
     "or Windows-1252, any line ends. The first line names the columns in any order, in\n"
     "English or German: Row (Zeile), Label (Bezeichnung), CapCode (RIC, Rufnummer), Tone\n"
     "(Ton), Type (Typ), Message (Nachricht), Alphabet; other columns are left out with a\n"
     "note. Without Row, the lines fill rows 1 to 16 in order. A capcode may carry its\n"
     "sub-address letter (1234567A or 1234567 a), which gives the tone. Every row is\n"
     "checked as a configuration and a Write check it, messages at most 20 characters\n"
     "on numeric rows and 40 on alphanumeric ones; the first cell that fails is named\n"
     "by its line and column, and nothing is written. Rows the list leaves out are\n"
     "empty. When not all rows would fit the transmitter, those a Write leaves out are\n"
     "named on stderr ('fit' says why).\n",
     kImportOptions, runImport},
}};

}  // namespace

std::span<const Command> siteListCommands() { return kSiteListCommands; }

}  // namespace vostrel::cli
