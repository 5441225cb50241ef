#include "ui/window_files.h"

#include "config/config_file.h"
#include "files/whole_file.h"
#include "image/image_reader.h"

namespace vostrel::ui {
namespace {

FileProblem problem(std::string_view key, std::string detail) {
    return {{key, texts::Title::Error, {}}, std::move(detail)};
}

}  // namespace

std::variant<OpenedFile, FileProblem> openWindowFile(const std::filesystem::path& path) {
    const auto bytes = files::readWholeFile(path, files::kMaxFileBytes);
    if (const auto* error = std::get_if<files::FileError>(&bytes)) return problem(keys::kCannotReadFile, error->what);
    const config::ConfigOrImage parsed = config::parseConfigOrImage(std::get<std::string>(bytes));
    if (const auto* error = std::get_if<config::ConfigError>(&parsed)) {
        return problem(keys::kNotConfigurationOrImage,
                       path.string() + ':' + std::to_string(error->line) + ": " + error->what);
    }
    if (const auto* entries = std::get_if<image::ProgrammerEntries>(&parsed)) return OpenedFile{*entries, {}};
    const image::ImageContents contents = image::readImage(std::get<image::EepromImage>(parsed));
    return OpenedFile{image::shownEntries(contents), contents.readErrorRow};
}

std::optional<FileProblem> saveWindowFile(const std::filesystem::path& path, const image::ProgrammerEntries& entries) {
    if (auto error = files::writeWholeFile(path, config::writeConfig(entries))) {
        return problem(keys::kCannotSaveFile, std::move(error->what));
    }
    return std::nullopt;
}

}  // namespace vostrel::ui
