// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The commands about what the pagers show: preview lists each stored row's text as its
// pager will display it; sheet writes the site sheet, the installer's record of a
// transmitter, as an HTML page to print.

#include <algorithm>
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
#include "texts/message_format.h"
#include "texts/text_codec.h"
#include "texts/translation.h"

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

// The label column's cell: the label filled with blanks to `width` characters.
std::string labelCell(std::string_view label, std::size_t width) {
    return terminalText(label) + std::string(width - std::min(width, texts::codePointCount(label)), ' ') + "  ";
}

void printPreviewTable(const std::vector<PreviewRow>& rows, std::ostream& out) {
    // The label column is there when a row has a label, as wide as the longest.
    std::size_t labelWidth = 0;
    for (const PreviewRow& row : rows) labelWidth = std::max(labelWidth, texts::codePointCount(row.label));
    const auto labelColumn = [labelWidth](std::string_view text) {
        return labelWidth == 0 ? std::string() : labelCell(text, std::max(labelWidth, std::string_view("label").size()));
    };
    out << "row  " << labelColumn("label") << "capcode    pager            shows\n";
    for (const PreviewRow& row : rows) {
        std::string pager(typeName(row.item->type));
        if (!row.alphabet.empty()) pager.append(" ").append(row.alphabet);
        char number[8];
        std::snprintf(number, sizeof number, "%3u  ", row.row + 1);
        char line[64];
        std::snprintf(line, sizeof line, "%9s  %-15s  ", capcodeWithTone(*row.item).c_str(), pager.c_str());
        // Quoted, so that the blanks a numeric pager adds can be seen.
        out << number << labelColumn(row.label) << line << terminalText("\"" + *row.shows + "\"") << '\n';
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

// The sheet's words: with --language a built-in language (de, en, fr) alone or a
// language file over English; without it the window's choice (texts/translation.h):
// kdx20Lang.ini where the window finds it, over the user's language. A --language
// file that cannot be read is an error.
std::variant<texts::Translation, int> sheetTranslation(const Arguments& arguments, CliContext& context) {
    const auto named = arguments.value("language");
    if (!named) {
        return texts::processTranslation(
            texts::languageFilePlaces(context.programDirectory, texts::processConfigEnvironment()));
    }
    if (const auto language = texts::languageCoded(*named)) return texts::Translation(*language);
    const std::filesystem::path file = files::pathFromUtf8(*named);
    auto bytes = files::readWholeFile(file, texts::kMaxLanguageFileBytes);
    if (const auto* error = std::get_if<files::FileError>(&bytes)) return failure(context, error->what);
    return texts::Translation(texts::Language::English, {file});
}

int runSheet(const Arguments& arguments, CliContext& context) {
    if (arguments.positionals.size() != 2) return usageError(context, kSheet, "expected CONFIG or IMAGE, and OUT.html");
    const std::string& input = arguments.positionals[0];
    const std::string& output = arguments.positionals[1];
    if (const auto empty = refuseEmptyFileName(context, kSheet, {input, output})) return *empty;
    if (outputIsInput(output, files::pathFromUtf8(input), context)) return kExitFailure;
    const auto site = arguments.value("site");
    if (const auto problem = site ? config::siteNameProblem(*site) : std::nullopt) {
        return usageError(context, kSheet, "--site: " + texts::formatMessage(*problem));
    }
    const auto language = sheetTranslation(arguments, context);
    if (const int* status = std::get_if<int>(&language)) return *status;
    const auto shownOrStatus = shownInput(arguments, kSheet, context);
    if (const int* status = std::get_if<int>(&shownOrStatus)) return *status;
    const auto& shown = std::get<ShownInput>(shownOrStatus);

    const auto& configuration = shown.loaded.configuration;
    sheet::SiteSheet siteSheet =
        sheet::siteSheet(shown.loaded.image, shown.text, configuration ? configuration->labels : image::RowLabels());
    if (configuration) {
        siteSheet.site = configuration->site;
        sheet::addRowsNotStored(siteSheet, *configuration);
    }
    if (site) siteSheet.site = *site;
    siteSheet.transmitters = sheet::writtenTo(siteSheet.site, siteSheet.fingerprint);
    siteSheet.date = sheet::sheetDate(std::time(nullptr));
    const auto& translation = std::get<texts::Translation>(language);
    const sheet::Translate translate = [&translation](texts::TextKey key) { return translation.text(key); };
    return saveOutput(output, sheet::sheetHtml(siteSheet, translate), context, OutputKind::Text);
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
    OptionSpec{"language", "de|en|fr|FILE",
               "the sheet's language, or the language file to take its words from (default: the window's, "
               "kdx20Lang.ini where it finds one over the user's language)"},
    OptionSpec{"site", "NAME", "the site's name on the sheet, in place of the configuration's ([Settings] Site); "
                               "an image file names none"},
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
     "names. The text is quoted in the table and a JSON string with --json. A\n"
     "configuration's labels have a column of their own (an image file has none). An\n"
     "image that decode calls damaged is refused.\n",
     kPreviewOptions, runPreview},
    {kSheet, "[--alphabet NAME] [--transliterate] [--language de|en|fr|FILE] [--site NAME] (CONFIG | IMAGE) OUT.html",
     "write the site sheet, the record of what the transmitter holds, as HTML",
     "Writes one self-contained HTML page (UTF-8, styles inline) that prints on one A4\n"
     "page: the site's name ([Settings] Site, or --site), today's date, the settings, the\n"
     "pager alphabet and the time on air of one trigger of every row, then per stored row\n"
     "its capcode, its tone, its pager type, what the pager shows (as preview prints it)\n"
     "and its seconds on air per trigger; a row of CONFIG that does not fit the\n"
     "transmitter is listed as not stored; then the transmitters this computer wrote the\n"
     "site to (by its name, else by its fingerprint: name, port, date and fingerprint,\n"
     "from the record kept beside the backups) and fields for the installer's date, name\n"
     "and signature. The sheet is in the window's language (German or French where the\n"
     "user's is, else English; VOSTREL_LANGUAGE=de|en|fr chooses one), with its date\n"
     "and decimal comma. OUT.html '-' is standard output.\n",
     kSheetOptions, runSheet},
}};

}  // namespace

std::span<const Command> sheetCommands() { return kSheetCommands; }

}  // namespace vostrel::cli
