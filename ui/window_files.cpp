// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/window_files.h"

#include "config/config_file.h"
#include "files/utf8_path.h"
#include "files/whole_file.h"
#include "image/image_reader.h"

namespace vostrel::ui {

using texts::keys;
namespace {

FileProblem problem(texts::TextKey key, std::string detail) {
    return {{key, texts::Title::Error, {}}, std::move(detail)};
}

}  // namespace

std::variant<OpenedFile, FileProblem> openWindowFile(const std::filesystem::path& path,
                                                     const image::PagerTextSettings& imageText) {
    // The window must not wait: reading a FIFO or a device could last for ever.
    std::error_code error;
    if (std::filesystem::exists(path, error) && !std::filesystem::is_regular_file(path, error)) {
        return problem(keys::kCannotReadFile, files::utf8Name(path) + ": not a regular file");
    }
    const auto bytes = files::readWholeFile(path, files::kMaxFileBytes);
    if (const auto* error = std::get_if<files::FileError>(&bytes)) return problem(keys::kCannotReadFile, error->what);
    texts::FileEncoding readAs = texts::FileEncoding::Utf8;
    const config::ConfigOrImage parsed = config::parseConfigOrImage(std::get<std::string>(bytes), &readAs);
    if (const auto* error = std::get_if<config::ConfigError>(&parsed)) {
        return problem(keys::kNotConfigurationOrImage,
                       files::utf8Name(path) + ':' + std::to_string(error->line) + ": " + error->what);
    }
    if (const auto* entries = std::get_if<image::ProgrammerEntries>(&parsed)) {
        OpenedFile opened{*entries, {}, {}};
        if (readAs == texts::FileEncoding::Windows1252) {
            opened.note = texts::Message{keys::kReadAsWindows1252, texts::Title::Warn, {texts::Text{files::utf8Name(path)}}};
        }
        return opened;
    }
    const image::ImageContents contents = image::decodeImage(std::get<image::EepromImage>(parsed), imageText);
    return OpenedFile{image::shownEntries(contents, imageText), contents.readErrorRow, {}};
}

std::optional<FileProblem> saveWindowFile(const std::filesystem::path& path, const image::ProgrammerEntries& entries) {
    if (auto error = files::writeWholeFile(path, config::writeConfig(entries))) {
        return problem(keys::kCannotSaveFile, std::move(error->what));
    }
    return std::nullopt;
}

}  // namespace vostrel::ui
