// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The commands about what the pagers show: preview lists each stored row's text as its
// pager will display it; sheet writes the site sheet, the installer's record of a
// transmitter, as an HTML page to print.

#include <array>
#include <cstdio>
#include <ctime>

#include "cli/command.h"
#include "files/utf8_path.h"
#include "files/whole_file.h"
#include "image/image_reader.h"
#include "image/pager_preview.h"
#include "sheet/sheet_html.h"
#include "sheet/site_sheet.h"
#include "texts/language_file.h"

namespace vostrel::cli {
namespace {

constexpr std::string_view kPreview = "preview";
constexpr std::string_view kSheet = "sheet";

// The input's image and the alphabets its rows are shown with: a configuration's own,
// or for an image file --alphabet's. A usage error text for --alphabet with a
// configuration, which names its alphabets itself.
struct ShownInput {
    LoadedInput loaded;
    image::PagerTextSettings text;
};

std::variant<ShownInput, int> shownInput(const Arguments& arguments, std::string_view command, CliContext& context) {
    const std::string& input = arguments.positionals[0];
    const auto alphabet = chosenAlphabet(arguments);
    if (const auto* error = std::get_if<std::string>(&alphabet)) return usageError(context, command, *error);
    auto loaded = loadConfigOrImage(files::pathFromUtf8(input), chosenTransliteration(arguments), context);
    if (!loaded) return kExitFailure;
    if (!loaded->configuration) {
        image::PagerTextSettings text;
        text.alphabet = std::get<paging::Alphabet>(alphabet);
        return ShownInput{std::move(*loaded), text};
    }
    if (arguments.value(kAlphabetOption.name)) {
        return usageError(context, command,
                          "--alphabet is for an image file; " + input + " is a configuration, which names its "
                          "alphabet itself ([Settings] Alphabet)");
    }
    const image::PagerTextSettings text = loaded->configuration->text;
    return ShownInput{std::move(*loaded), text};
}

std::string_view typeName(paging::PagerType type) {
    return type == paging::PagerType::Alphanumeric ? "Alphanumeric" : "Numeric";
}

// A JSON string: the text is UTF-8 already; quotes, backslashes and controls escaped.
std::string jsonString(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

struct PreviewRow {
    unsigned row = 0;  // 0-based
    std::string_view label;  // a configuration's; empty when none
    const image::PagerItem* item = nullptr;
    std::string_view alphabet;  // of an alphanumeric row; empty for a numeric one
    const std::string* shows = nullptr;
};

std::vector<PreviewRow> previewRows(const ShownInput& input, const image::ImageContents& contents,
                                    const image::PagerDisplays& displays) {
    std::vector<PreviewRow> rows;
    for (unsigned row = 0; row < image::kRowCount; ++row) {
        if (!displays[row]) continue;
        const image::PagerItem& item = contents.rows[row];
        const bool alphanumeric = item.type == paging::PagerType::Alphanumeric;
        const std::string_view alphabet = alphanumeric ? paging::alphabetTable(input.text.alphabetOf(row)).name : "";
        std::string_view label;
        if (input.loaded.configuration) label = input.loaded.configuration->labels[row];
        rows.push_back({row, label, &item, alphabet, &*displays[row]});
    }
    return rows;
}

std::string capcodeWithTone(const image::PagerItem& item) {
    return item.capcode + ' ' + static_cast<char>('A' + item.tone);
}

void printPreviewTable(const std::vector<PreviewRow>& rows, std::ostream& out) {
    out << "row  capcode    pager            shows\n";
    for (const PreviewRow& row : rows) {
        std::string pager(typeName(row.item->type));
        if (!row.alphabet.empty()) pager.append(" ").append(row.alphabet);
        char line[64];
        std::snprintf(line, sizeof line, "%3u  %9s  %-15s  ", row.row + 1, capcodeWithTone(*row.item).c_str(),
                      pager.c_str());
        // Quoted, so that the blanks a numeric pager adds can be seen.
        out << line << terminalText("\"" + *row.shows + "\"") << '\n';
    }
}

void printPreviewJson(const std::vector<PreviewRow>& rows, std::ostream& out) {
    out << "{\"rows\": [";
    const char* separator = "";
    for (const PreviewRow& row : rows) {
        out << separator << "{\"row\": " << row.row + 1;
        if (!row.label.empty()) out << ", \"label\": " << jsonString(row.label);
        out << ", \"capcode\": " << row.item->capcode << ", \"tone\": \""
            << static_cast<char>('A' + row.item->tone) << "\", \"type\": \"" << typeName(row.item->type) << '"';
        if (!row.alphabet.empty()) out << ", \"alphabet\": \"" << row.alphabet << '"';
        out << ", \"shows\": " << jsonString(*row.shows) << '}';
        separator = ", ";
    }
    out << "]}\n";
}

int runPreview(const Arguments& arguments, CliContext& context) {
    if (arguments.positionals.size() != 1) return usageError(context, kPreview, "expected one CONFIG or IMAGE");
    if (const auto empty = refuseEmptyFileName(context, kPreview, {arguments.positionals[0]})) return *empty;
    const auto input = shownInput(arguments, kPreview, context);
    if (const int* status = std::get_if<int>(&input)) return *status;
    const auto& shown = std::get<ShownInput>(input);
    const image::ImageContents contents = image::decodeImage(shown.loaded.image, shown.text);
    const image::PagerDisplays displays = image::storedDisplays(shown.loaded.image, shown.text);
    const std::vector<PreviewRow> rows = previewRows(shown, contents, displays);
    if (arguments.has("json")) {
        printPreviewJson(rows, context.out);
    } else {
        printPreviewTable(rows, context.out);
    }
    return kExitSuccess;
}

// The language file's contents: the file --language names, else the one the window
// finds (beside the program, then in the configuration directories); nothing for the
// built-in English texts. A --language file that cannot be read is an error.
std::variant<std::optional<std::string>, int> languageFile(const Arguments& arguments, CliContext& context) {
    const auto named = arguments.value("language");
    if (!named) {
        return texts::readLanguageFile(texts::languageFilePlaces(context.programDirectory, texts::processConfigEnvironment()));
    }
    auto bytes = files::readWholeFile(files::pathFromUtf8(*named), texts::kMaxLanguageFileBytes);
    if (const auto* error = std::get_if<files::FileError>(&bytes)) return failure(context, error->what);
    return std::optional<std::string>(std::move(std::get<std::string>(bytes)));
}

int runSheet(const Arguments& arguments, CliContext& context) {
    if (arguments.positionals.size() != 2) return usageError(context, kSheet, "expected CONFIG or IMAGE, and OUT.html");
    const std::string& input = arguments.positionals[0];
    const std::string& output = arguments.positionals[1];
    if (const auto empty = refuseEmptyFileName(context, kSheet, {input, output})) return *empty;
    if (outputIsInput(output, files::pathFromUtf8(input), context)) return kExitFailure;
    const auto language = languageFile(arguments, context);
    if (const int* status = std::get_if<int>(&language)) return *status;
    const auto shownOrStatus = shownInput(arguments, kSheet, context);
    if (const int* status = std::get_if<int>(&shownOrStatus)) return *status;
    const auto& shown = std::get<ShownInput>(shownOrStatus);

    const auto& configuration = shown.loaded.configuration;
    sheet::SiteSheet siteSheet =
        sheet::siteSheet(shown.loaded.image, shown.text, configuration ? configuration->labels : image::RowLabels());
    if (configuration) siteSheet.site = configuration->site;
    siteSheet.transmitters = sheet::writtenTo(siteSheet.site, siteSheet.fingerprint);
    siteSheet.date = sheet::sheetDate(std::time(nullptr));
    const auto& bytes = std::get<std::optional<std::string>>(language);
    const sheet::Translate translate = [&bytes](texts::TextKey key) {
        return bytes ? texts::lookUpText(*bytes, key.text()) : std::string(key.text());
    };
    return saveOutput(output, sheet::sheetHtml(siteSheet, translate), context);
}

constexpr OptionSpec kImageAlphabetOption = {
    "alphabet", kAlphabetChoices, "the pager alphabet of an IMAGE file (default US); a configuration names its own"};

constexpr std::array kPreviewOptions = {
    kImageAlphabetOption,
    kTransliterateOption,
    OptionSpec{"json", "", "print the rows as one JSON object, for scripts"},
};

constexpr std::array kSheetOptions = {
    kImageAlphabetOption,
    kTransliterateOption,
    OptionSpec{"language", "FILE", "the language file to take the sheet's words from (default: kdx20Lang.ini "
                                   "where the window finds it; without one, English)"},
};

constexpr std::array<Command, 2> kSheetCommands = {{
    {kPreview, "[--alphabet NAME] [--transliterate] [--json] (CONFIG | IMAGE)",
     "what each stored call's pager will show",
     "Prints, for every row the image stores (a configuration is built as a Write would\n"
     "build it; rows left out of it are not listed), its capcode with its tone, its pager\n"
     "and what the pager shows: the row's stored codewords decoded as a Read decodes\n"
     "them, alphanumeric text through the row's alphabet. A numeric text shows the blanks\n"
     "that fill its last group of five, a transliterated one what was sent, one longer\n"
     "than 129 characters what the decoder keeps; control codes show as <BEL>-style\n"
     "names. The text is quoted in the table and a JSON string with --json, which also\n"
     "gives a configuration's labels. An image that decode calls damaged is refused.\n",
     kPreviewOptions, runPreview},
    {kSheet, "[--alphabet NAME] [--transliterate] [--language FILE] (CONFIG | IMAGE) OUT.html",
     "write the site sheet, the record of what the transmitter holds, as HTML",
     "Writes one self-contained HTML page (UTF-8, styles inline) that prints on one A4\n"
     "page: the site's name ([Settings] Site), today's date, the settings, the pager\n"
     "alphabet and the time on air of one trigger of every row, then per stored row its\n"
     "capcode with its tone, its pager type, what the pager shows (as preview prints it)\n"
     "and its seconds on air per trigger; then the transmitters this computer wrote the\n"
     "site to (by its name, else by its fingerprint: name, port, date and fingerprint,\n"
     "from the record kept beside the backups) and fields for the installer's date, name\n"
     "and signature. The words come from the language file, with its decimal comma where\n"
     "it writes one. OUT.html '-' is standard output.\n",
     kSheetOptions, runSheet},
}};

}  // namespace

std::span<const Command> sheetCommands() { return kSheetCommands; }

}  // namespace vostrel::cli
