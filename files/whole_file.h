// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Reading and writing the tool's files: configurations, 512-byte image files and audio.
// Errors come back as texts that name the file as the user gave it, with the system's
// reason.

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
    // Set when a file that had to be new already exists.
    bool alreadyExists = false;
};

// The whole file; a file larger than `maxBytes` is refused rather than read.
std::variant<std::string, FileError> readWholeFile(const std::filesystem::path& path, std::size_t maxBytes);

// Writes `bytes` as the whole of `path` without ever leaving it half written or
// destroying what is not a plain file:
// - a regular file (a symlink's target, for a symlink) is replaced atomically by a
//   uniquely named temporary file beside it, keeping its mode; one with other hard
//   links is rewritten in place, so that every name keeps seeing it;
// - anything else that exists (a character device, a FIFO) is written in place;
// - a file the user may not write, or that has no write permission at all, is refused.
// With `mustBeNew`, the file appears whole or not at all, and an existing one is an
// error (`alreadyExists`) and is left as it was.
std::optional<FileError> writeWholeFile(const std::filesystem::path& path, std::string_view bytes,
                                        bool mustBeNew = false);

// An error when `output` names the same file as `input` (through any link), so that
// writing it would destroy the input; checked before anything is written.
std::optional<FileError> refuseSameFile(const std::filesystem::path& output, const std::filesystem::path& input);

// The image's 512 bytes as they go into a file.
std::string_view imageBytes(const image::EepromImage& image);

// An image file must be exactly 512 bytes; any other size is an error naming it.
std::variant<image::EepromImage, FileError> loadImageFile(const std::filesystem::path& path);
std::optional<FileError> saveImageFile(const std::filesystem::path& path, const image::EepromImage& image,
                                       bool mustBeNew = false);

}  // namespace vostrel::files
