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

#include "files/file_error.h"
#include "image/eeprom_image.h"

namespace vostrel::files {

// Far more than any configuration or image; keeps a wrong path (a disk image, a
// device) from being read whole.
inline constexpr std::size_t kMaxFileBytes = 1 << 20;

// The whole file; a file larger than `maxBytes` is refused rather than read.
std::variant<std::string, FileError> readWholeFile(const std::filesystem::path& path, std::size_t maxBytes);

// What writeWholeFile does when the name is taken.
enum class IfExists {
    Replace,  // the file gets the new contents, as described below
    Refuse,   // the file appears whole or not at all; a taken name is `alreadyExists`
};

// Writes `bytes` as the whole of `path` without ever leaving it half written or
// destroying what is not a plain file. Symlinks are followed by the kernel's rules,
// each link read once through the directory that holds it (a link another user owns in
// a sticky world-writable directory such as /tmp is refused, as fs.protected_symlinks
// does); what the writer then opens is what it replaces, so renaming or swapping a
// name meanwhile never sends the bytes elsewhere.
// - A regular file is replaced atomically: the bytes go to an unnamed file in its
//   directory (a short fixed-length hidden name where the system has none), flushed,
//   then renamed over it, with its owner, group, mode, ACLs and extended attributes.
// - It is rewritten in place instead when replacing would lose something: other hard
//   links share it, its owner or group or an attribute cannot be given to a new file
//   (another user's file in a shared group), or its directory is not writable. The
//   space is reserved first, so a full disk leaves it unchanged; an interruption while
//   writing can leave it mixed.
// - Anything else that exists (a character device, a FIFO) is written in place.
// - /dev/stdout, /dev/stderr, /dev/fd/N and /proc/self/fd/N are the open descriptor,
//   written where it stands (appending when it was opened to append), never replaced.
// - A file the user may not write, or that has no write permission at all, is refused.
// With IfExists::Refuse a dangling symlink's target is created whole.
std::optional<FileError> writeWholeFile(const std::filesystem::path& path, std::string_view bytes,
                                        IfExists ifExists = IfExists::Replace);

// An error when `output` names the same file as `input` (through any link), so that
// writing it would destroy the input; checked before anything is written.
std::optional<FileError> refuseSameFile(const std::filesystem::path& output, const std::filesystem::path& input);

// The image's 512 bytes as they go into a file.
std::string_view imageBytes(const image::EepromImage& image);

// An image file must be exactly 512 bytes and hold what only images hold
// (image::isImageFile); anything else is an error naming it.
std::variant<image::EepromImage, FileError> loadImageFile(const std::filesystem::path& path);
std::optional<FileError> saveImageFile(const std::filesystem::path& path, const image::EepromImage& image,
                                       IfExists ifExists = IfExists::Replace);

}  // namespace vostrel::files
