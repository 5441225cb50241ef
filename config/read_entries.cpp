// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "config/read_entries.h"

#include "config/config_file.h"
#include "config/label_list.h"
#include "config/row_fields.h"
#include "image/image_reader.h"
#include "texts/message_format.h"

namespace vostrel::config {
namespace {

// The one place a guessed encoding is said: every reader's entries carry it.
std::vector<texts::Message> encodingNotes(texts::FileEncoding readAs, std::string_view fileName) {
    if (readAs != texts::FileEncoding::Windows1252) return {};
    return {texts::readAsWindows1252Note(std::string(fileName))};
}

ReadProblem configurationProblem(const ConfigError& error) {
    return {ReadProblem::Kind::Configuration, error.line, error.column, std::nullopt, error.what};
}

ReadProblem labelListProblem(const LabelListError& error) {
    return {ReadProblem::Kind::LabelList, error.line, error.column, std::nullopt, error.what};
}

// The alphabet every row of the list shares, so that a configuration names it once;
// US when they differ.
paging::Alphabet sharedAlphabet(const SiteList& list) {
    std::optional<paging::Alphabet> shared;
    for (const auto& alphabet : list.alphabets) {
        if (!alphabet) continue;
        if (shared && *shared != *alphabet) return paging::Alphabet::US;
        shared = alphabet;
    }
    return shared.value_or(paging::Alphabet::US);
}

}  // namespace

texts::Message locatedProblem(std::string_view fileName, const ReadProblem& problem, std::string what) {
    using texts::keys;
    const texts::Text name{std::string(fileName)};
    const texts::Text worded{std::move(what)};
    if (problem.column > 0 && problem.row) {
        return {keys::kProblemInRowCell, texts::Title::Error, {name, problem.line, problem.column, *problem.row, worded}};
    }
    if (problem.column > 0) return {keys::kProblemInCell, texts::Title::Error, {name, problem.line, problem.column, worded}};
    if (problem.line > 0) return {keys::kProblemOnLine, texts::Title::Error, {name, problem.line, worded}};
    return {keys::kProblemInFile, texts::Title::Error, {name, worded}};
}

texts::Message unusedColumnNote(const UnusedColumn& column) {
    return {texts::keys::kColumnNotUsed, texts::Title::Warn, {column.column, fileText(column.heading)}};
}

texts::Message knownHeadingsNote(const SiteHeadings& shown) {
    const auto joined = [](const SiteHeadings& headings) {
        std::string text;
        for (const std::string& heading : headings) text.append(text.empty() ? "" : ", ").append(heading);
        return text;
    };
    std::string list = joined(shown);
    if (shown != englishSiteHeadings()) list += " / " + joined(englishSiteHeadings());
    return {texts::keys::kHeadingsRead, texts::Title::Warn, {texts::Text{list}}};
}

std::variant<EntriesRead, ReadProblem> readConfigOrImage(std::string_view bytes, std::string_view fileName,
                                                         const image::PagerTextSettings& imageText) {
    texts::FileEncoding readAs = texts::FileEncoding::Utf8;
    ConfigOrImage parsed = parseConfigOrImage(bytes, &readAs);
    if (const auto* error = std::get_if<ConfigError>(&parsed)) return configurationProblem(*error);
    if (auto* entries = std::get_if<image::ProgrammerEntries>(&parsed)) {
        return EntriesRead{std::move(*entries), {}, {}, encodingNotes(readAs, fileName), {}, {}};
    }
    const auto& image = std::get<image::EepromImage>(parsed);
    const image::ImageContents contents = image::decodeImage(image, imageText);
    return EntriesRead{image::shownEntries(contents, imageText), image, contents.readErrorRow,
                       contents.hiddenWordsMessages(), {}, {}};
}

std::variant<EntriesRead, ReadProblem> readConfiguration(std::string_view bytes, std::string_view fileName) {
    if (image::isImageFile(bytes)) {
        return ReadProblem{ReadProblem::Kind::ImageNotWanted, 0, 0, std::nullopt,
                           readProblem(texts::keys::kImageNotConfiguration)};
    }
    return readConfigOrImage(bytes, fileName);
}

std::variant<EntriesRead, ReadProblem> readSiteListInto(std::string_view bytes, std::string_view fileName,
                                                        const image::ProgrammerEntries& base,
                                                        const SiteListReading& reading, ListAlphabet alphabet) {
    auto read = readSiteList(bytes, reading);
    if (auto* error = std::get_if<SiteListError>(&read)) {
        return ReadProblem{ReadProblem::Kind::SiteList, error->line, error->column, error->row, std::move(error->what)};
    }
    auto& list = std::get<SiteList>(read);
    EntriesRead result{base, {}, {}, encodingNotes(list.encoding, fileName), std::move(list.unusedColumns), {}};
    if (alphabet == ListAlphabet::SharedByTheRows) result.entries.text.alphabet = sharedAlphabet(list);
    applySiteList(result.entries, list);
    return result;
}

std::variant<EntriesRead, ReadProblem> readLabelListInto(std::string_view bytes, std::string_view fileName,
                                                         const image::ProgrammerEntries& entries) {
    const auto list = readLabelList(bytes);
    if (const auto* error = std::get_if<LabelListError>(&list)) return labelListProblem(*error);
    const auto& labels = std::get<LabelList>(list);
    EntriesRead result{entries, {}, {}, encodingNotes(labels.encoding, fileName), {}, {}};
    auto filled = fillLabels(result.entries, labels);
    if (const auto* error = std::get_if<LabelListError>(&filled)) return labelListProblem(*error);
    result.labelledRows = std::get<std::vector<unsigned>>(std::move(filled));
    return result;
}

}  // namespace vostrel::config
