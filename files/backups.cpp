// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "files/backups.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <system_error>
#include <tuple>
#include <vector>

#include "files/error_text.h"
#include "files/utf8_path.h"

namespace vostrel::files {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTimeFormat = "%Y%m%d-%H%M%S";
constexpr std::size_t kTimeLength = 15;  // YYYYmmdd-HHMMSS
constexpr std::size_t kMaxDeviceNameLength = 64;
constexpr int kMaxNumberedName = 999;

// The backup folder in the program's data folder, or why there is none.
std::variant<fs::path, FileError> backupsIn(std::variant<fs::path, FileError> programFolder) {
    if (const auto* error = std::get_if<FileError>(&programFolder)) {
        return FileError{"No folder for backups: " + error->what};
    }
    return std::get<fs::path>(programFolder) / "backups";
}

std::tm localTimeNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local;
}

bool safeInName(char character) {
    const auto byte = static_cast<unsigned char>(character);
    return byte < 0x80 && (std::isalnum(byte) != 0 || character == '_');
}

// A device path as part of a file name: letters, digits and '_', every run of other
// characters one '-'. So no separators, nothing a file system refuses, no dot that
// would hide the file or pass for an extension. Windows' HID paths end in the HID
// class's interface identifier, the same for every device: it is left out.
std::string deviceName(std::string_view devicePath) {
    if (devicePath.ends_with('}')) {
        if (const std::size_t brace = devicePath.rfind('{'); brace != std::string_view::npos) {
            devicePath = devicePath.substr(0, brace);
        }
    }
    std::string name;
    for (const char character : devicePath) {
        const char kept = safeInName(character) ? character : '-';
        if (kept == '-' && (name.empty() || name.back() == '-')) continue;
        name += kept;
        if (name.size() == kMaxDeviceNameLength) break;
    }
    if (!name.empty() && name.back() == '-') name.pop_back();
    return name.empty() ? std::string("transmitter") : name;
}

// YYYYmmdd-HHMMSS-anything.bin
bool isBackupName(const std::string& name) {
    if (name.size() < kTimeLength + 2 + 4 || !name.ends_with(".bin") || name[kTimeLength] != '-') return false;
    for (std::size_t i = 0; i < kTimeLength; ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(name[i])) != 0;
        if (i == 8 ? name[i] != '-' : !digit) return false;
    }
    return true;
}

// Removes the oldest backups in `folder` beyond kBackupsKept, never `kept`. Age is the
// time in the name; within one second, the time the file was written. A backup that
// cannot be removed stays: nothing is lost by that.
void removeOldBackups(const fs::path& folder, const fs::path& kept) {
    struct Backup {
        std::string time;
        fs::file_time_type written;
        fs::path path;
    };
    std::vector<Backup> backups;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = utf8Name(entry->path().filename());
        std::error_code ignored;
        // Only files this tool names so; links, folders and the user's own files stay.
        if (!isBackupName(name) || !entry->is_regular_file(ignored) || entry->is_symlink(ignored)) continue;
        if (fs::equivalent(entry->path(), kept, ignored)) continue;
        backups.push_back({name.substr(0, kTimeLength), entry->last_write_time(ignored), entry->path()});
    }
    std::ranges::sort(backups, [](const Backup& a, const Backup& b) {
        return std::tie(a.time, a.written, a.path) > std::tie(b.time, b.written, b.path);
    });
    for (std::size_t i = kBackupsKept - 1; i < backups.size(); ++i) {
        std::error_code ignored;
        fs::remove(backups[i].path, ignored);
    }
}

}  // namespace

std::variant<fs::path, FileError> backupFolder(const DataEnvironment& environment) {
    return backupsIn(programDataFolder(environment));
}

std::variant<fs::path, FileError> backupFolder() { return backupsIn(programDataFolder()); }

std::string backupStem(const std::tm& localTime, std::string_view devicePath) {
    char time[32];
    const std::size_t length = std::strftime(time, sizeof time, kTimeFormat.data(), &localTime);
    // Appended one by one: GCC 12 misreads the chained + at -O3 (-Wrestrict).
    std::string stem(time, length);
    stem += '-';
    stem += deviceName(devicePath);
    return stem;
}

std::variant<fs::path, FileError> saveNewImageFile(const fs::path& stem, const image::EepromImage& image) {
    for (int number = 0;; ++number) {
        fs::path file = stem;
        if (number > 0) {
            file += "-";
            file += std::to_string(number);
        }
        file += ".bin";
        std::optional<FileError> error = saveImageFile(file, image, IfExists::Refuse);
        if (!error) return file;
        if (!error->alreadyExists || number == kMaxNumberedName) return std::move(*error);
    }
}

std::variant<fs::path, FileError> saveBackup(const fs::path& folder, std::string_view devicePath,
                                             const image::EepromImage& image) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) return detail::failure(folder, "cannot make the folder: " + error.message());
    auto saved = saveNewImageFile(folder / pathFromUtf8(backupStem(localTimeNow(), devicePath)), image);
    if (const auto* file = std::get_if<fs::path>(&saved)) removeOldBackups(folder, *file);
    return saved;
}

}  // namespace vostrel::files
