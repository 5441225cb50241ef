// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "files/whole_file.h"

#include <cstring>
#include <fstream>
#include <system_error>

#include "files/error_text.h"

namespace vostrel::files {
using detail::failure;
using detail::systemFailure;

std::string_view imageBytes(const image::EepromImage& image) {
    return {reinterpret_cast<const char*>(image.bytes.data()), image.bytes.size()};
}

#if !defined(_WIN32)
// Windows': files/safe_write_windows.cpp, with Windows' own reasons for a failure.
std::variant<std::string, FileError> readWholeFile(const std::filesystem::path& path, std::size_t maxBytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return systemFailure(path, "cannot open");
    std::string bytes(maxBytes + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) return systemFailure(path, "cannot read");
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > maxBytes) return failure(path, "file is larger than " + std::to_string(maxBytes) + " bytes");
    return bytes;
}
#endif

std::optional<FileError> refuseSameFile(const std::filesystem::path& output, const std::filesystem::path& input) {
    std::error_code error;
    if (!std::filesystem::equivalent(output, input, error) || error) return std::nullopt;
    return failure(output, "is the same file as the input " + utf8Name(input) + "; nothing was written");
}

std::variant<image::EepromImage, FileError> loadImageFile(const std::filesystem::path& path) {
    auto bytes = readWholeFile(path, kMaxFileBytes);
    if (auto* error = std::get_if<FileError>(&bytes)) return std::move(*error);
    const std::string& content = std::get<std::string>(bytes);
    if (content.size() != image::kImageBytes) {
        return failure(path, "not an EEPROM image: " + std::to_string(content.size()) + " bytes instead of " +
                                 std::to_string(image::kImageBytes));
    }
    // Text of that size is a configuration, never an image to send.
    if (!image::isImageFile(content)) {
        return failure(path, "not an EEPROM image: 512 bytes of text (an image holds a NUL or a byte that is not UTF-8)");
    }
    image::EepromImage image;
    std::memcpy(image.bytes.data(), content.data(), image.bytes.size());
    return image;
}

std::optional<FileError> saveImageFile(const std::filesystem::path& path, const image::EepromImage& image,
                                       IfExists ifExists) {
    return writeWholeFile(path, imageBytes(image), ifExists);
}

}  // namespace vostrel::files
