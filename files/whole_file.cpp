#include "files/whole_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "files/utf8_path.h"

namespace vostrel::files {
namespace {

FileError failure(const std::filesystem::path& path, std::string_view what) {
    return {utf8Name(path) + ": " + std::string(what)};
}

FileError systemFailure(const std::filesystem::path& path, std::string_view doing) {
    return failure(path, std::string(doing) + ": " + std::strerror(errno));
}

std::string_view bytesOf(const image::EepromImage& image) {
    return {reinterpret_cast<const char*>(image.bytes.data()), image.bytes.size()};
}

}  // namespace

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

std::optional<FileError> writeWholeFile(const std::filesystem::path& path, std::string_view bytes,
                                        bool mustBeNew) {
    std::error_code error;
    if (mustBeNew && std::filesystem::exists(path, error)) return failure(path, "file already exists");
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return systemFailure(temporary, "cannot create");
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::filesystem::remove(temporary, error);
            return failure(temporary, "cannot write");
        }
    }
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return failure(path, "cannot replace: " + error.message());
    }
    return std::nullopt;
}

std::variant<image::EepromImage, FileError> loadImageFile(const std::filesystem::path& path) {
    auto bytes = readWholeFile(path, kMaxFileBytes);
    if (auto* error = std::get_if<FileError>(&bytes)) return std::move(*error);
    const std::string& content = std::get<std::string>(bytes);
    if (content.size() != image::kImageBytes) {
        return failure(path, "not an EEPROM image: " + std::to_string(content.size()) + " bytes instead of " +
                                 std::to_string(image::kImageBytes));
    }
    image::EepromImage image;
    std::memcpy(image.bytes.data(), content.data(), image.bytes.size());
    return image;
}

std::optional<FileError> saveImageFile(const std::filesystem::path& path, const image::EepromImage& image,
                                       bool mustBeNew) {
    return writeWholeFile(path, bytesOf(image), mustBeNew);
}

}  // namespace vostrel::files
