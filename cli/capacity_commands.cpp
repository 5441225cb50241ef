// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The commands about what fits in the transmitter (image/capacity.h): fit shows each
// row's words, which rows a Write leaves out and what would make them fit; split writes
// the configurations of the transmitters that together hold every row.

#include <array>
#include <cstdio>

#include "cli/command.h"
#include "config/config_file.h"
#include "files/utf8_path.h"
#include "files/whole_file.h"
#include "image/capacity.h"
#include "texts/message_format.h"

namespace vostrel::cli {
namespace {

constexpr std::string_view kFit = "fit";
constexpr std::string_view kSplit = "split";

// A configuration as a Write takes it, laid out; nothing, with the reason on stderr, when
// it cannot be read or a Write refuses it.
struct PlannedSite {
    image::ProgrammerEntries entries;
    image::SiteCapacity capacity;
};

std::optional<PlannedSite> plannedSite(const Arguments& arguments, CliContext& context) {
    const std::filesystem::path path = files::pathFromUtf8(arguments.positionals[0]);
    auto entries = readConfigFile(path, context);
    if (!entries) return std::nullopt;
    if (chosenTransliteration(arguments) == Transliteration::On) entries->text.transliterate = true;
    const image::BuildOutcome built = image::buildImage(*entries);
    if (const auto* refusal = std::get_if<image::BuildRefusal>(&built)) {
        failure(context, files::utf8Name(path) + ": " + texts::formatMessage(refusal->message));
        return std::nullopt;
    }
    image::SiteCapacity capacity = image::siteCapacity(*entries, image::layOutRows(*entries));
    return PlannedSite{std::move(*entries), std::move(capacity)};
}

std::string capcodeWithTone(const image::PagerItem& item) {
    return item.capcode + ' ' + static_cast<char>('A' + item.tone % image::kToneCount);
}

int words(std::size_t codewords) { return static_cast<int>(image::kWordsPerCodeword * codewords); }

std::string text(texts::TextKey key, std::vector<texts::MessageArgument> arguments) {
    return texts::formatMessage({key, texts::Title::Warn, std::move(arguments)});
}

// ---- fit ------------------------------------------------------------------------------

void printFitTable(const PlannedSite& site, std::ostream& out) {
    out << "row  capcode    frame  words  stored    label\n";
    for (const image::CapacityRow& row : site.capacity.rows) {
        const image::PagerItem& item = site.entries.rows[row.row];
        const std::string frame = row.cost ? std::to_string(row.cost->frame) : "-";
        const std::string taken = row.cost ? std::to_string(words(row.cost->codewords)) : "-";
        char line[96];
        std::snprintf(line, sizeof line, "%3u  %-9s  %5s  %5s  %-8s  ", row.row + 1, capcodeWithTone(item).c_str(),
                      frame.c_str(), taken.c_str(), row.stored ? "yes" : "left out");
        out << line << terminalText(site.entries.labels[row.row]) << '\n';
    }
}

void printFitSummary(const PlannedSite& site, const std::vector<image::Advice>& advice, std::ostream& out) {
    const image::SiteCapacity& capacity = site.capacity;
    std::string used = text(texts::keys::kWordsUsed, {words(capacity.storedCodewords), words(image::kAreaCodewords)});
    const std::vector<unsigned> leftOut = capacity.leftOut();
    if (!leftOut.empty()) used += "; left out: rows " + image::rowList(leftOut);
    out << used << '\n'
        << "All rows take " << words(capacity.neededCodewords()) << " words, as tone-only calls "
        << words(capacity.toneOnlyCodewords()) << ". " << texts::formatMessage(image::settingsDoNotChangeFit())
        << ".\n";
    for (const image::Advice& each : advice) {
        std::string line;
        for (const texts::Message& part : image::adviceMessages(each)) line += (line.empty() ? "" : "; ") + texts::formatMessage(part);
        if (std::holds_alternative<image::Transmitters>(each)) line += " (" + std::string(kProgramName) + " split)";
        out << line << '\n';
    }
}

void printRowNumbers(const std::vector<unsigned>& rows, std::ostream& out) {
    out << '[';
    for (std::size_t i = 0; i < rows.size(); ++i) out << (i ? ", " : "") << rows[i] + 1;
    out << ']';
}

// An advice as what it changes: {"row": 12, "frame_at_most": 1}.
void printAdviceJson(const image::Advice& advice, std::ostream& out) {
    if (const auto* shorter = std::get_if<image::ShorterMessage>(&advice)) {
        out << "{\"row\": " << shorter->row + 1 << ", \"fewer_characters\": " << shorter->characters << '}';
    } else if (const auto* toneOnly = std::get_if<image::ToneOnlyCall>(&advice)) {
        out << "{\"row\": " << toneOnly->row + 1 << ", \"tone_only\": true}";
    } else if (const auto* frame = std::get_if<image::EarlierFrame>(&advice)) {
        out << "{\"row\": " << frame->row + 1 << ", \"frame_at_most\": " << frame->frame << '}';
    } else if (const auto* order = std::get_if<image::OtherOrder>(&advice)) {
        out << "{\"order_stores\": ";
        printRowNumbers(order->rows, out);
        out << '}';
    } else if (const auto* never = std::get_if<image::NeverAll>(&advice)) {
        out << "{\"most_rows_ever\": " << never->most << '}';
    } else {
        out << "{\"transmitters\": [";
        const auto& rows = std::get<image::Transmitters>(advice).rows;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            out << (i ? ", " : "");
            printRowNumbers(rows[i], out);
        }
        out << "]}";
    }
}

void printFitJson(const PlannedSite& site, const std::vector<image::Advice>& advice, std::ostream& out) {
    const image::SiteCapacity& capacity = site.capacity;
    out << "{\"capacity_words\": " << words(image::kAreaCodewords) << ", \"used_words\": "
        << words(capacity.storedCodewords) << ", \"needed_words\": " << words(capacity.neededCodewords())
        << ", \"tone_only_words\": " << words(capacity.toneOnlyCodewords())
        << ", \"most_rows_ever\": " << capacity.mostRowsEver() << ", \"rows\": [";
    for (std::size_t i = 0; i < capacity.rows.size(); ++i) {
        const image::CapacityRow& row = capacity.rows[i];
        const image::PagerItem& item = site.entries.rows[row.row];
        out << (i ? ", " : "") << "{\"row\": " << row.row + 1 << ", \"label\": " << jsonString(site.entries.labels[row.row])
            << ", \"capcode\": " << jsonString(item.capcode) << ", \"tone\": \""
            << static_cast<char>('A' + item.tone % image::kToneCount) << '"';
        if (const auto& cost = row.cost) {
            out << ", \"frame\": " << cost->frame << ", \"words\": " << words(cost->codewords)
                << ", \"idle_words\": " << words(cost->idleFill()) << ", \"message_words\": "
                << words(cost->messageCodewords);
        }
        out << ", \"stored\": " << (row.stored ? "true" : "false") << '}';
    }
    out << "], \"left_out_rows\": ";
    printRowNumbers(capacity.leftOut(), out);
    out << ", \"advice\": [";
    for (std::size_t i = 0; i < advice.size(); ++i) {
        out << (i ? ", " : "");
        printAdviceJson(advice[i], out);
    }
    out << "]}\n";
}

int runFit(const Arguments& arguments, CliContext& context) {
    if (arguments.positionals.size() != 1) return usageError(context, kFit, "expected one CONFIG");
    if (const auto empty = refuseEmptyFileName(context, kFit, {arguments.positionals[0]})) return *empty;
    const auto site = plannedSite(arguments, context);
    if (!site) return kExitFailure;
    const std::vector<image::Advice> advice = image::capacityAdvice(site->capacity, site->entries);
    if (arguments.has("json")) {
        printFitJson(*site, advice, context.out);
    } else {
        printFitTable(*site, context.out);
        printFitSummary(*site, advice, context.out);
    }
    return site->capacity.allStored() ? kExitSuccess : kExitFailure;
}

// ---- split ----------------------------------------------------------------------------

// The plan, or the refusal of a row after the first left out that keeps it from being
// planned (a Write of the whole site never reaches that row).
std::optional<std::vector<std::vector<unsigned>>> planOrRefusal(const PlannedSite& site, const std::string& name,
                                                                CliContext& context) {
    if (auto plan = image::transmitterPlan(site.capacity)) return plan;
    for (const image::CapacityRow& row : site.capacity.rows) {
        if (row.cost) continue;
        const auto sent = image::sentCodes(site.entries, row.row);
        failure(context, name + ": " + texts::formatMessage(std::get<image::BuildRefusal>(sent).message));
        break;
    }
    return std::nullopt;
}

int runSplit(const Arguments& arguments, CliContext& context) {
    if (arguments.positionals.size() != 2) return usageError(context, kSplit, "expected CONFIG and OUT-PREFIX");
    const std::string& input = arguments.positionals[0];
    const std::string& prefix = arguments.positionals[1];
    if (const auto empty = refuseEmptyFileName(context, kSplit, {input, prefix})) return *empty;
    const auto site = plannedSite(arguments, context);
    if (!site) return kExitFailure;
    const auto plan = planOrRefusal(*site, input, context);
    if (!plan) return kExitFailure;
    if (plan->size() <= 1) {
        context.out << terminalText("All " + std::to_string(site->capacity.rows.size()) + " rows of " + input +
                                    " fit one transmitter; nothing was split.")
                    << '\n';
        return kExitSuccess;
    }
    std::vector<std::string> outputs;
    for (std::size_t i = 0; i < plan->size(); ++i) {
        outputs.push_back(prefix + "-" + std::to_string(i + 1) + ".conf");
        if (outputIsInput(outputs.back(), files::pathFromUtf8(input), context)) return kExitFailure;
    }
    const std::vector<image::ProgrammerEntries> parts = image::splitEntries(site->entries, *plan);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (const int status = saveOutput(outputs[i], config::writeConfig(parts[i]), context)) return status;
        const image::SiteCapacity held = image::siteCapacity(parts[i], image::layOutRows(parts[i]));
        context.out << terminalText(outputs[i] + ": rows " + image::rowList((*plan)[i]) + ", " +
                                    std::to_string(words(held.storedCodewords)) + " of " +
                                    std::to_string(words(image::kAreaCodewords)) + " words")
                    << '\n';
    }
    return kExitSuccess;
}

constexpr std::array kFitOptions = {
    kTransliterateOption,
    OptionSpec{"json", "", "print the rows, the totals and the advice as one JSON object, for scripts"},
};
constexpr std::array kSplitOptions = {kTransliterateOption};

constexpr std::array<Command, 2> kCapacityCommands = {{
    {kFit, "[--transliterate] [--json] CONFIG", "which rows fit in the transmitter, why, and what would fit",
     "Prints, for every row in use, its capcode with its tone, its frame (capcode mod 8:\n"
     "each frame before it costs 4 words of idle fill), the words its call takes and\n"
     "whether a Write stores it or leaves it out, with its label; then the words used of\n"
     "238, what all rows take with their messages and as tone-only calls, and, when rows\n"
     "are left out, what alone would make the first of them fit (a shorter message, a\n"
     "tone-only call, a capcode in an earlier frame), how many rows another order would\n"
     "store (only as advice: a row is the transmitter's call input), the most these\n"
     "capcodes ever fit, and the transmitters that would hold all rows in order. The data\n"
     "rate, preamble and repeat take no room. --json gives the same as one object\n"
     "(\"rows\", \"left_out_rows\", \"advice\"). Exits 0 when every row fits, 1 when rows\n"
     "are left out or CONFIG cannot be read or is refused.\n",
     kFitOptions, runFit},
    {kSplit, "[--transliterate] CONFIG OUT-PREFIX", "write the configurations of the transmitters that hold all rows",
     "Splits the rows of CONFIG, in row order, over as few transmitters as hold them all,\n"
     "each filled before the next is begun, and writes OUT-PREFIX-1.conf, OUT-PREFIX-2.conf,\n"
     "...: each with the settings and alphabets of CONFIG and its own rows, in their\n"
     "places (a row is the call input it is wired to) and with their labels. Each one\n"
     "builds and writes whole. A site that fits one transmitter is not split.\n",
     kSplitOptions, runSplit},
}};

}  // namespace

std::span<const Command> capacityCommands() { return kCapacityCommands; }

}  // namespace vostrel::cli
