#pragma once
// Reading and writing the tool's files: configurations, 512-byte image files and audio.
// Errors come back as texts that name the file.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "image/eeprom_image.h"

namespace vostrel::files {

// Far more than any configuration or image; keeps a wrong path (a disk image, a
// device) from being read whole.
inline constexpr std::size_t kMaxFileBytes = 1 << 20;

struct FileError {
    std::string what;
};

// The whole file; a file larger than `maxBytes` is refused rather than read.
std::variant<std::string, FileError> readWholeFile(const std::filesystem::path& path, std::size_t maxBytes);

// Writes through a temporary file beside the target and renames it into place, so a
// failed write never leaves a half-written file under the target's name. With
// `mustBeNew`, an existing file is an error and is left as it was.
std::optional<FileError> writeWholeFile(const std::filesystem::path& path, std::string_view bytes,
                                        bool mustBeNew = false);

// An image file must be exactly 512 bytes; any other size is an error naming it.
std::variant<image::EepromImage, FileError> loadImageFile(const std::filesystem::path& path);
std::optional<FileError> saveImageFile(const std::filesystem::path& path, const image::EepromImage& image,
                                       bool mustBeNew = false);

}  // namespace vostrel::files
