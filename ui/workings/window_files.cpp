// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/workings/window_files.h"

#include "config/config_file.h"
#include "files/utf8_path.h"
#include "files/whole_file.h"

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

// The message each kind of file the window reads is refused with.
texts::TextKey refusalKey(config::ReadProblem::Kind kind) {
    switch (kind) {
    case config::ReadProblem::Kind::Configuration:
    case config::ReadProblem::Kind::ImageNotWanted: return keys::kNotConfigurationOrImage;
    case config::ReadProblem::Kind::SiteList: return keys::kCannotImportList;
    case config::ReadProblem::Kind::LabelList: return keys::kCannotReadFile;
    }
    return keys::kCannotReadFile;
}

// The file's bytes through `reader`, its problem worded for the window.
template <typename Reader>
std::variant<config::EntriesRead, FileProblem> readWith(const std::filesystem::path& path, const LanguageTexts& texts,
                                                        const Reader& reader) {
    const auto bytes = readWindowFile(path);
    if (const auto* failed = std::get_if<FileProblem>(&bytes)) return *failed;
    const std::string name = files::utf8Name(path);
    auto read = reader(std::get<std::string>(bytes), name);
    if (const auto* error = std::get_if<config::ReadProblem>(&read)) {
        const std::string what = texts.messageText(error->what).toStdString();
        return problem(refusalKey(error->kind), texts.messageText(config::locatedProblem(name, *error, what)).toStdString());
    }
    return std::get<config::EntriesRead>(std::move(read));
}

}  // namespace

std::variant<config::EntriesRead, FileProblem> openWindowFile(const std::filesystem::path& path,
                                                              const image::PagerTextSettings& imageText,
                                                              const LanguageTexts& texts) {
    return readWith(path, texts, [&](std::string_view bytes, const std::string& name) {
        return config::readConfigOrImage(bytes, name, imageText);
    });
}

std::variant<config::EntriesRead, FileProblem> importSiteListFile(const std::filesystem::path& path,
                                                                  const image::ProgrammerEntries& entries,
                                                                  const config::SiteListReading& reading,
                                                                  const LanguageTexts& texts) {
    return readWith(path, texts, [&](std::string_view bytes, const std::string& name) {
        return config::readSiteListInto(bytes, name, entries, reading);
    });
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

std::variant<config::EntriesRead, FileProblem> labelsFromListFile(const std::filesystem::path& path,
                                                                  const image::ProgrammerEntries& entries,
                                                                  const LanguageTexts& texts) {
    return readWith(path, texts, [&](std::string_view bytes, const std::string& name) {
        return config::readLabelListInto(bytes, name, entries);
    });
}

std::optional<FileProblem> saveWindowFile(const std::filesystem::path& path, const image::ProgrammerEntries& entries) {
    if (auto error = files::writeWholeFile(path, config::writeConfig(entries))) {
        return problem(keys::kCannotSaveFile, std::move(error->what));
    }
    return std::nullopt;
}

}  // namespace vostrel::ui
