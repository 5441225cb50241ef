// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/workings/window_files.h"

#include "config/config_file.h"
#include "config/label_list.h"
#include "files/utf8_path.h"
#include "files/whole_file.h"
#include "image/image_reader.h"
#include "texts/message_format.h"

namespace vostrel::ui {

using texts::keys;
namespace {

FileProblem problem(texts::TextKey key, std::string detail) {
    return {{key, texts::Title::Error, {}}, std::move(detail)};
}

// The bytes of a file the window reads. The window must not wait: reading a FIFO or a
// device could last for ever.
std::variant<std::string, FileProblem> readWindowFile(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::exists(path, error) && !std::filesystem::is_regular_file(path, error)) {
        return problem(keys::kCannotReadFile, files::utf8Name(path) + ": not a regular file");
    }
    auto bytes = files::readWholeFile(path, files::kMaxFileBytes);
    if (const auto* error = std::get_if<files::FileError>(&bytes)) return problem(keys::kCannotReadFile, error->what);
    return std::get<std::string>(std::move(bytes));
}

}  // namespace

std::variant<OpenedFile, FileProblem> openWindowFile(const std::filesystem::path& path,
                                                     const image::PagerTextSettings& imageText) {
    const auto bytes = readWindowFile(path);
    if (const auto* failed = std::get_if<FileProblem>(&bytes)) return *failed;
    texts::FileEncoding readAs = texts::FileEncoding::Utf8;
    const config::ConfigOrImage parsed = config::parseConfigOrImage(std::get<std::string>(bytes), &readAs);
    if (const auto* error = std::get_if<config::ConfigError>(&parsed)) {
        return problem(keys::kNotConfigurationOrImage,
                       files::utf8Name(path) + ':' + std::to_string(error->line) + ": " + error->what);
    }
    if (const auto* entries = std::get_if<image::ProgrammerEntries>(&parsed)) {
        OpenedFile opened{*entries, {}, {}};
        if (readAs == texts::FileEncoding::Windows1252) {
            opened.note = texts::readAsWindows1252Note(files::utf8Name(path));
        }
        return opened;
    }
    const image::ImageContents contents = image::decodeImage(std::get<image::EepromImage>(parsed), imageText);
    return OpenedFile{image::shownEntries(contents, imageText), contents.readErrorRow, {}};
}

std::variant<ImportedList, FileProblem> importSiteListFile(const std::filesystem::path& path,
                                                           const image::ProgrammerEntries& entries,
                                                           const config::SiteListReading& reading) {
    const auto bytes = readWindowFile(path);
    if (const auto* failed = std::get_if<FileProblem>(&bytes)) return *failed;
    const auto read = config::readSiteList(std::get<std::string>(bytes), reading);
    if (const auto* error = std::get_if<config::SiteListError>(&read)) {
        // Formatted in English here, as a configuration's line is: it is the system's detail.
        const std::string what = error->refusal ? texts::formatMessage(*error->refusal) : error->what;
        return problem(keys::kCannotImportList, files::utf8Name(path) + ": line " + std::to_string(error->line) +
                                                    ", column " + std::to_string(error->column) + ": " + what);
    }
    const auto& list = std::get<config::SiteList>(read);
    ImportedList imported{entries, list.notes, {}};
    if (list.encoding == texts::FileEncoding::Windows1252) imported.note = texts::readAsWindows1252Note(files::utf8Name(path));
    config::applySiteList(imported.entries, list);
    return imported;
}

std::optional<FileProblem> exportSiteListFile(const std::filesystem::path& path, const image::ProgrammerEntries& entries,
                                              const config::SiteHeadings& headings) {
    config::SiteListFormat format;
    format.headings = headings;
    if (auto error = files::writeWholeFile(path, config::writeSiteList(entries, format))) {
        return problem(keys::kCannotSaveFile, std::move(error->what));
    }
    return std::nullopt;
}

std::variant<LabelledEntries, FileProblem> labelsFromListFile(const std::filesystem::path& path,
                                                              const image::ProgrammerEntries& entries) {
    const auto bytes = readWindowFile(path);
    if (const auto* failed = std::get_if<FileProblem>(&bytes)) return *failed;
    const auto listProblem = [&](const config::LabelListError& error) {
        return problem(keys::kCannotReadFile, files::utf8Name(path) + ':' + std::to_string(error.line) + ": " + error.what);
    };
    const auto list = config::readLabelList(std::get<std::string>(bytes));
    if (const auto* error = std::get_if<config::LabelListError>(&list)) return listProblem(*error);
    LabelledEntries labelled{entries, 0, {}};
    if (std::get<config::LabelList>(list).encoding == texts::FileEncoding::Windows1252) {
        labelled.note = texts::readAsWindows1252Note(files::utf8Name(path));
    }
    const auto filled = config::fillLabels(labelled.entries, std::get<config::LabelList>(list));
    if (const auto* error = std::get_if<config::LabelListError>(&filled)) return listProblem(*error);
    labelled.labelled = static_cast<int>(std::get<std::vector<unsigned>>(filled).size());
    return labelled;
}

std::optional<FileProblem> saveWindowFile(const std::filesystem::path& path, const image::ProgrammerEntries& entries) {
    if (auto error = files::writeWholeFile(path, config::writeConfig(entries))) {
        return problem(keys::kCannotSaveFile, std::move(error->what));
    }
    return std::nullopt;
}

}  // namespace vostrel::ui
