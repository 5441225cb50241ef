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

#if defined(_WIN32)
#include <initguid.h>
#include <knownfolders.h>
#include <shlobj.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace vostrel::files {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTimeFormat = "%Y%m%d-%H%M%S";
constexpr std::size_t kTimeLength = 15;  // YYYYmmdd-HHMMSS
constexpr std::size_t kMaxDeviceNameLength = 64;
constexpr int kMaxNumberedName = 999;

fs::path backupsBelow(const fs::path& dataFolder) { return dataFolder / "vostrel-programmer" / "backups"; }

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

DataEnvironment processDataEnvironment() {
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value != nullptr ? value : "");
    };
    DataEnvironment environment{variable("XDG_DATA_HOME"), variable("HOME")};
#if !defined(_WIN32)
    // A service or a cleared environment may lack HOME; the account still has one.
    if (environment.home.empty()) {
        if (const passwd* account = ::getpwuid(::getuid()); account != nullptr && account->pw_dir != nullptr) {
            environment.home = account->pw_dir;
        }
    }
#endif
    return environment;
}

std::variant<fs::path, FileError> backupFolder(const DataEnvironment& environment) {
    const fs::path dataHome = pathFromUtf8(environment.xdgDataHome);
    if (dataHome.is_absolute()) return backupsBelow(dataHome);
    const fs::path home = pathFromUtf8(environment.home);
    if (home.is_absolute()) return backupsBelow(home / ".local" / "share");
    return FileError{"No folder for backups: neither XDG_DATA_HOME nor HOME names an absolute folder"};
}

std::variant<fs::path, FileError> backupFolder() {
#if defined(_WIN32)
    // %LOCALAPPDATA% names the same folder, and lets the tests (or a portable setup)
    // keep backups elsewhere. std::filesystem takes a network share's "\\server\..."
    // for a relative path; folder redirection may put the folder there.
    if (const wchar_t* variable = _wgetenv(L"LOCALAPPDATA")) {
        const fs::path dataFolder(variable);
        const std::wstring& text = dataFolder.native();
        const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
        const bool share = text.size() > 2 && separator(text[0]) && separator(text[1]);
        if (dataFolder.is_absolute() || share) return backupsBelow(dataFolder);
    }
    PWSTR folder = nullptr;
    const HRESULT found = ::SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &folder);
    const fs::path dataFolder = SUCCEEDED(found) ? fs::path(folder) : fs::path();
    ::CoTaskMemFree(folder);
    if (dataFolder.empty()) return FileError{"No folder for backups: the local application data folder is unknown"};
    return backupsBelow(dataFolder);
#else
    return backupFolder(processDataEnvironment());
#endif
}

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
